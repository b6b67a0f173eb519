// filesdat product: from a script and a payload folder to a product ready to ship, as a folder or
// as one .exe (setup.exe with the product appended, sdk/bundle_format.h).
#include <cstring>
#include <vector>

#include "bundle_format.h"
#include "commands.h"
#include "file_io.h"
#include "ini_reader.h"
#include "member_name.h"
#include "messages.h"
#include "script_items.h"
#include "staged_file.h"

namespace {

// One file of the product folder: its name there and where it comes from.
struct Part {
  std::string name;
  std::string source;
};

// Appends the whole of source to out (the file target); says what failed.
bool append_file(FILE *out, const std::string &target, const std::string &source) {
  FILE *in = fopen(source.c_str(), "rb");
  if (!in) {
    report("cannot read %s: %s", source.c_str(), error_text().c_str());
    return false;
  }
  std::vector<char> chunk(1 << 16);
  bool written = true;
  for (size_t n; written && (n = fread(chunk.data(), 1, chunk.size(), in)) > 0;)
    written = fwrite(chunk.data(), 1, n, out) == n;
  bool read = !ferror(in);
  fclose(in);
  if (!read) report("cannot read %s: %s", source.c_str(), error_text().c_str());
  if (!written) report("cannot write %s: %s", target.c_str(), error_text().c_str());
  return read && written;
}

// A copy of source at target, written under a temporary name until it is whole.
bool copy_file(const std::string &source, const std::string &target) {
  StagedFile out;
  if (!out.open(target)) return false;
  if (append_file(out.stream(), target, source)) return out.commit();
  out.discard();
  return false;
}

bool file_length(const std::string &path, uint64_t *length) {
  FILE *file = fopen(path.c_str(), "rb");
  bool ok = file && stream_length(file, length);
  if (file) fclose(file);
  return ok;
}

// A name the script gives for a file beside it: a plain file name.
bool plain_name(const std::string &name) {
  return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

// What the product folder holds besides setup.exe and files.dat: the script, the licence, the hook
// library (the maker's beside the script, else the default one), the resource library the script
// names and the [DEPEND] files, each found beside the script or in the payload.
bool collect_parts(const ProductOptions &options, const IniFile &script, std::vector<Part> *parts) {
  std::string beside = parent_of(options.script);
  auto there = [&](const std::string &name) { return join_path(beside, name); };
  parts->push_back({"setup.ini", options.script});
  if (!is_regular_file(there("license.txt"))) {
    report("no license.txt beside %s: setup shows it on the licence page", options.script.c_str());
    return false;
  }
  parts->push_back({"license.txt", there("license.txt")});
  std::string hooks = is_regular_file(there("dsetup.dll")) ? there("dsetup.dll") : options.default_hooks;
  if (!is_regular_file(hooks)) {
    report("no hook library: neither %s nor the default one, %s", there("dsetup.dll").c_str(), hooks.c_str());
    return false;
  }
  parts->push_back({"dsetup.dll", hooks});
  std::vector<std::string> names;
  if (const IniKey *resources = script.key("RESOURCES", "dllname")) names.push_back(resources->value);
  for (const auto &item : item_values(script, "DEPEND", "depend")) names.push_back(item.second);
  for (const std::string &name : names) {
    bool known = false;
    for (const Part &part : *parts) known = known || same_name(part.name, name);
    if (known || same_name(name, "setup.exe")) continue;
    std::string source = is_regular_file(there(name)) ? there(name) : join_path(options.payload, name);
    if (!plain_name(name) || !is_regular_file(source)) {
      report("%s names \"%s\", which is neither beside it nor in %s as a plain file", options.script.c_str(),
             name.c_str(), options.payload.c_str());
      return false;
    }
    parts->push_back({name, source});
  }
  return true;
}

bool write_folder(const std::string &folder, const std::string &setup, const std::string &archive,
                  const std::vector<Part> &parts) {
  if (!make_dirs(folder)) {
    report("cannot create folder %s: %s", folder.c_str(), error_text().c_str());
    return false;
  }
  bool ok = copy_file(setup, join_path(folder, "setup.exe")) && copy_file(archive, join_path(folder, "files.dat"));
  for (const Part &part : parts) ok = ok && copy_file(part.source, join_path(folder, part.name));
  return ok;
}

// setup.exe, the product's archive, an archive of the parts, the trailer.
bool write_one_file(const ProductOptions &options, const std::string &archive, const std::string &work,
                    const std::vector<Part> &parts) {
  std::string support = join_path(work, "support.dat"), staging = join_path(work, "parts");
  std::vector<std::string> names;
  if (!make_dirs(staging)) {
    report("cannot create folder %s: %s", staging.c_str(), error_text().c_str());
    return false;
  }
  for (const Part &part : parts) {
    if (!copy_file(part.source, join_path(staging, part.name))) return false;
    names.push_back(part.name);
  }
  if (run_create(support, staging, PackOptions(), names, true) != 0) return false;
  uint64_t setup_length = 0, archive_length = 0;
  if (!file_length(options.setup, &setup_length) || !file_length(archive, &archive_length) ||
      setup_length + archive_length > 0xFFFFFFFFu) {
    report("cannot put %s and its product into one file of less than 4 GiB", options.setup.c_str());
    return false;
  }
  bundle::Trailer trailer = {static_cast<uint32_t>(setup_length), static_cast<uint32_t>(setup_length + archive_length)};
  unsigned char raw[bundle::kTrailerSize];
  bundle::encode_trailer(trailer, raw);
  StagedFile out;
  if (!out.open(options.output)) return false;
  FILE *file = out.stream();
  bool ok = append_file(file, options.output, options.setup) && append_file(file, options.output, archive) &&
            append_file(file, options.output, support);
  if (ok && fwrite(raw, 1, sizeof raw, file) != sizeof raw) {
    report("cannot write %s: %s", options.output.c_str(), error_text().c_str());
    ok = false;
  }
  if (ok) return out.commit();
  out.discard();
  return false;
}

// Removes what the command made in its work folder.
void remove_work(const std::string &work, const std::vector<Part> &parts) {
  for (const Part &part : parts) remove(join_path(join_path(work, "parts"), part.name).c_str());
  remove(join_path(work, "parts").c_str());
  remove(join_path(work, "files.dat").c_str());
  remove(join_path(work, "support.dat").c_str());
  remove(work.c_str());
}

}  // namespace

int run_product(const ProductOptions &options) {
  if (run_check(options.script, options.payload, true) != 0) {
    report("%s has errors: no product was written", options.script.c_str());
    return 1;
  }
  IniFile script;
  std::vector<Part> parts;
  if (!script.load(options.script)) {
    report("cannot read %s: %s", options.script.c_str(), error_text().c_str());
    return 1;
  }
  if (!is_regular_file(options.setup)) {
    report("setup.exe not found: %s (give it with --setup)", options.setup.c_str());
    return 1;
  }
  if (!collect_parts(options, script, &parts)) return 1;
  std::string work = options.output + ".work-" + std::to_string(process_id());
  if (!make_dirs(work)) {
    report("cannot create folder %s: %s", work.c_str(), error_text().c_str());
    return 1;
  }
  std::string archive = join_path(work, "files.dat");
  bool ok = run_create_from_script(archive, options.payload, PackOptions(), options.script) == 0 &&
            (options.one_file ? write_one_file(options, archive, work, parts)
                              : write_folder(options.output, options.setup, archive, parts));
  remove_work(work, parts);
  if (ok) printf("%s: %s\n", options.one_file ? "one-file installer" : "product folder", options.output.c_str());
  return ok ? 0 : 1;
}
