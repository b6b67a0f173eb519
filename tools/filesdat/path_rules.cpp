// How setup treats the paths of a script.
#include "path_rules.h"

#include <cstring>
#include <vector>

#include "member_name.h"

const char kRefusedBySetup[] = "/*?\"<>|";
const char kRefusedByWindows[] = "*?\"<>|";
const char kTypicalWindowsDir[] = "C:\\WINDOWS";
const char kTypicalSystemDir[] = "C:\\WINDOWS\\SYSTEM";
const char kTypicalProgramsDir[] = "C:\\WINDOWS\\Start Menu\\Programs";

namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> parts_of(const std::string &path) {
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !is_separator(path[i])) {
      part += path[i];
    } else {
      parts.push_back(part);
      part.clear();
    }
  }
  return parts;
}

// Parts made only of dots and blanks, "." aside, lead to a parent folder once Windows drops
// their trailing dots and blanks.
bool climbs(const std::string &part) {
  if (part.empty() || part == ".") return false;
  for (char c : part)
    if (c != '.' && c != ' ') return false;
  return true;
}

// The device a part names ("con", "nul.txt", "COM1"), or "".
std::string device_of(const std::string &part) {
  static const char *const kDevices[] = {"con",  "prn",  "aux",  "nul",  "clock$", "com1", "com2", "com3",
                                         "com4", "com5", "com6", "com7", "com8",   "com9", "lpt1", "lpt2",
                                         "lpt3", "lpt4", "lpt5", "lpt6", "lpt7",   "lpt8", "lpt9"};
  std::string stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (const char *device : kDevices)
    if (same_name(stem, device)) return device;
  return "";
}

std::string quoted_char(char c) { return std::string("'") + c + "'"; }

}  // namespace

bool is_refused(char c, const char *refused) { return c != 0 && strchr(refused, c) != nullptr; }

size_t digit_code(const std::string &text, size_t from) {
  for (size_t i = from; i + 1 < text.size(); ++i)
    if (text[i] == '%' && text[i + 1] >= '0' && text[i + 1] <= '9') return i;
  return std::string::npos;
}

std::string relative_path_fault(const std::string &path, const char *refused) {
  if (path.empty()) return "is empty";
  for (unsigned char c : path)
    if (c < 0x20) return "contains control characters";
  if (is_separator(path[0])) return "is absolute (starts with a separator)";
  if (path.find(':') != std::string::npos) return "has a drive letter or stream name (':')";
  for (char c : path)
    if (is_refused(c, refused)) return "contains " + quoted_char(c) + ", which setup refuses in paths";
  for (const std::string &part : parts_of(path)) {
    if (climbs(part)) return "climbs out of its folder ('" + part + "')";
    std::string device = device_of(part);
    if (!device.empty()) return "names the device " + device + " ('" + part + "')";
    if (part != "." && (part.back() == '.' || part.back() == ' '))
      return "has a name ending in a dot or blank ('" + part + "'), which Windows does not create";
  }
  size_t code = digit_code(path, 0);
  if (code != std::string::npos) return "has " + path.substr(code, 2) + ", which setup does not expand here";
  return "";
}

std::string install_folder_fault(const std::string &folder) {
  if (folder.size() > kMaxPathLength)
    return "is " + std::to_string(folder.size()) + " characters long; paths hold at most 259";
  if (folder.back() == '\\') return "ends in a backslash";
  if (folder.back() == ' ') return "ends in a blank";
  for (size_t i = 0; i < folder.size(); ++i) {
    char c = folder[i];
    if (is_refused(c, kRefusedBySetup) || c == ',') return "contains " + quoted_char(c);
    if (c == '\\' && i > 0 && folder[i - 1] == '\\') return "has a doubled backslash";
    if (c == '\\' && i > 0 && folder[i - 1] == ' ') return "has a blank before a backslash";
  }
  return "";
}

bool same_or_parent(const std::string &parent, const std::string &path) {
  if (path.size() < parent.size() || !same_name(path.substr(0, parent.size()), parent)) return false;
  return path.size() == parent.size() || path[parent.size()] == '\\';
}
