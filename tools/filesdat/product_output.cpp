// The output of filesdat product: a product made before may be replaced; anything else only when
// the maker says so.
#include "product_output.h"

#include <cstdio>

#include "bundle_format.h"
#include "file_io.h"
#include "folder_tree.h"
#include "ini_reader.h"
#include "member_name.h"
#include "messages.h"
#include "work_folder.h"

namespace {

// How many names a refusal lists before it only counts.
const size_t kListedNames = 5;

bool is_separator(char c) { return c == '/' || c == kSeparator; }

bool named_in(const std::string &name, const std::vector<std::string> &names) {
  for (const std::string &known : names)
    if (same_name(known, name)) return true;
  return false;
}

// The names in folder that a product holds, judged by the product script there; with *foreign the
// others. A product folder holds setup.exe, setup.ini and files.dat and plain files only.
bool holds_a_product(const std::string &folder, const std::vector<std::string> &names,
                     std::vector<std::string> *foreign) {
  IniFile script;
  std::vector<std::string> product_names;
  if (is_regular_file(join_path(folder, "setup.ini")) && script.load(join_path(folder, "setup.ini")))
    product_names = product_folder_names(script);
  for (const std::string &name : names)
    if (!named_in(name, product_names) || !is_regular_file(join_path(folder, name))) foreign->push_back(name);
  for (const char *needed : {"setup.exe", "setup.ini", "files.dat"})
    if (!named_in(needed, names)) return false;
  return foreign->empty();
}

// A file that ends in a single-file installer's trailer.
bool is_one_file_installer(const std::string &path) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return false;
  uint64_t length = 0;
  unsigned char raw[bundle::kTrailerSize];
  bundle::Trailer trailer;
  bool ok = stream_length(file, &length) && length >= bundle::kTrailerSize &&
            seek_to(file, length - bundle::kTrailerSize) && fread(raw, 1, sizeof raw, file) == sizeof raw &&
            bundle::decode_trailer(raw, length, &trailer);
  fclose(file);
  return ok;
}

std::string some_names(const std::vector<std::string> &names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < kListedNames; ++i) text += (i ? ", " : "") + names[i];
  if (names.size() > kListedNames) text += " and " + std::to_string(names.size() - kListedNames) + " more";
  return text;
}

// Why what stands at output is not a product filesdat wrote; "" when it is one (or nothing is there).
std::string not_a_product(const std::string &output, bool one_file) {
  if (!path_exists(output)) return "";
  if (one_file) {
    if (is_regular_file(output) && is_one_file_installer(output)) return "";
    return is_directory(output) ? "is a folder" : "is not a one-file installer that filesdat wrote";
  }
  if (!is_directory(output)) return "is a file, not a product folder";
  std::vector<std::string> names, foreign;
  if (!list_folder(output, &names)) return "cannot be read: " + error_text();
  if (names.empty() || holds_a_product(output, names, &foreign)) return "";
  if (foreign.empty()) return "holds some of a product's files but not setup.exe, setup.ini and files.dat";
  return "holds files that are not part of a product (" + some_names(foreign) + ")";
}

}  // namespace

std::string product_output_name(const std::string &given, bool one_file) {
  std::string name = given;
  while (name.size() > 1 && is_separator(name.back())) name.pop_back();
  const std::string extension = ".exe";
  if (one_file && (name.size() < extension.size() ||
                   !same_name(name.substr(name.size() - extension.size()), extension)))
    name += extension;
  return name;
}

bool output_usable(const std::string &output, const OutputRules &rules) {
  if (!path_exists(output)) return true;
  for (const std::string &input : rules.inputs) {
    if (!path_exists(input) || !is_inside(input, output)) continue;
    report("%s holds %s, which the product is made from: give another output", output.c_str(), input.c_str());
    return false;
  }
  std::string why = not_a_product(output, rules.one_file);
  if (why.empty() || rules.replace) return true;
  report("%s %s: give a new %s", output.c_str(), why.c_str(),
         rules.one_file ? "name, or --replace to replace it" : "folder, or --replace to replace it and everything in it");
  return false;
}

bool put_in_place(const std::string &made, const std::string &work, const std::string &output) {
  if (is_regular_file(made) && is_regular_file(output)) {
    if (replace_file(made, output)) return true;
    report("cannot write %s: %s", output.c_str(), error_text().c_str());
    return false;
  }
  std::string old = replaced_output(work);
  bool moved_away = path_exists(output);
  if (moved_away && !move_path(output, old)) {
    report("cannot replace %s: %s", output.c_str(), error_text().c_str());
    return false;
  }
  if (move_path(made, output)) return true;
  report("cannot write %s: %s", output.c_str(), error_text().c_str());
  if (moved_away) move_path(old, output);
  return false;
}
