// Checking and converting member names.
#include "member_name.h"

#include <vector>

#include "file_io.h"
#include "files_dat_format.h"

namespace {

bool is_separator(char c) { return c == '/' || c == '\\'; }

bool refuse(std::string *why, const std::string &text) {
  *why = text;
  return false;
}

// A part made only of dots and spaces other than "." names a parent folder on some systems
// (Windows drops trailing dots and spaces), so it is never accepted.
bool climbs(const std::string &part) {
  for (char c : part)
    if (c != '.' && c != ' ') return false;
  return true;
}

// Splits name into its parts, dropping "." and empty ones. False and *why when a part or the
// name as a whole could point outside the folder it is relative to.
bool split_name(const std::string &name, std::vector<std::string> *parts, std::string *why) {
  if (name.empty()) return refuse(why, "the name is empty");
  if (is_separator(name[0])) return refuse(why, "the name is an absolute path");
  for (unsigned char c : name) {
    if (c == ':') return refuse(why, "the name has a drive letter or stream name (':')");
    if (c < 0x20) return refuse(why, "the name contains control characters");
  }
  std::string part;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i < name.size() && !is_separator(name[i])) {
      part += name[i];
      continue;
    }
    if (!part.empty() && part != ".") {
      if (climbs(part)) return refuse(why, "the name climbs out of its folder ('" + part + "')");
      parts->push_back(part);
    }
    part.clear();
  }
  if (parts->empty()) return refuse(why, "the name has no file name");
  return true;
}

std::string joined(const std::vector<std::string> &parts, char separator) {
  std::string out;
  for (const std::string &part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool stored_name_for(const std::string &given, std::string *stored, std::string *why) {
  std::vector<std::string> parts;
  if (!split_name(given, &parts, why)) return false;
  std::string name = joined(parts, '\\');
  if (name.size() > files_dat::kMaxNameLength) {
    *why = "the name is " + std::to_string(name.size()) + " bytes long; at most " +
           std::to_string(files_dat::kMaxNameLength) + " fit";
    return false;
  }
  *stored = name;
  return true;
}

bool output_path_for(const std::string &stored, std::string *relative, std::string *why) {
  std::vector<std::string> parts;
  if (!split_name(stored, &parts, why)) return false;
  *relative = joined(parts, kSeparator);
  return true;
}

bool same_name(const std::string &a, const std::string &b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

std::string folded_name(std::string name) {
  for (char &c : name) c = fold(c);
  return name;
}
