// The checks of one script value by its kind: what setup will make of it on the target system.
#include "value_checks.h"

#include "file_io.h"
#include "member_name.h"
#include "path_rules.h"
#include "script_items.h"
#include "script_values.h"

namespace {

const char *const kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

bool is_separator(char c) { return c == '\\' || c == '/'; }

bool has_separator(const std::string &text) { return text.find_first_of("\\/") != std::string::npos; }

std::string without_trailing_separators(std::string text) {
  while (!text.empty() && is_separator(text.back())) text.pop_back();
  return text;
}

std::string number_text(uint32_t value) { return std::to_string(static_cast<unsigned long>(value)); }

// One value under check, with shorthands for reporting on it.
struct Check {
  const ValueSite &site;
  const std::string &text;
  const ScriptFacts &facts;
  CheckReport *report;

  void error(const std::string &message) const { report->error(site.place, message); }
  void warning(const std::string &message) const { report->warning(site.place, message); }
  // The value setup reads for another key of the same item ("" when missing).
  std::string sibling(const char *stem) const {
    SetupValue value = setup_value(site.script->key(site.section, item_key(stem, site.n)));
    return value.present ? value.text : "";
  }
  void path_length(const std::string &path, const std::string &based_on) const {
    if (path.size() > kMaxPathLength)
      error("makes a path of about " + std::to_string(path.size()) + " characters with " + based_on +
            ": Windows paths hold at most 259");
  }
};

CNumber check_number(const Check &check) {
  CNumber number = c_number(check.text);
  std::string read = number_text(number.value);
  if (!number.digits) {
    check.error("has no digits: setup reads 0");
  } else if (!number.whole) {
    check.error("setup stops reading at '" + std::string(1, number.stop) + "' and takes " + read);
  } else if (number.negative) {
    check.error("is negative: setup reads " + read);
  } else if (number.beyond_32_bits) {
    check.error("does not fit in 32 bits: setup reads " + read);
  } else if (number.octal && number.value >= 8) {
    check.warning("starts with 0, so setup reads it as octal: " + read);
  }
  return number;
}

void check_colour(const Check &check) {
  CNumber number = check_number(check);
  if (number.whole && number.value > 255)
    check.warning("setup keeps only the low byte: " + number_text(number.value & 255));
}

void check_product_name(const Check &check) {
  if (check.text.find('\\') != std::string::npos)
    check.error("has a backslash: the Add/Remove Programs entry would be a nested key");
  for (char c : check.text)
    if (is_refused(c, kRefusedBySetup)) {
      check.error("contains '" + std::string(1, c) + "', which the install folder cannot hold");
      return;
    }
}

void check_install_folder(const Check &check) {
  std::string below = check.text[0] == '@' ? check.text.substr(1) : check.text;
  std::string fault = below.empty() ? "" : relative_path_fault(below, kRefusedBySetup);
  if (!fault.empty()) check.error(fault + ": setup appends it to a drive root");
  std::string folder = check.facts.install_folder;
  std::string refused = install_folder_fault(folder);
  if (fault.empty() && !refused.empty())
    check.error("the default install folder " + folder + " " + refused + ": the directory page refuses it");
}

// A file destination's folder must exist when the file is copied: below the install folder only
// a DIRECTORIES entry makes it; a folder of the Windows folders may exist already.
void check_folder_made(const Check &check, const std::string &code, const std::string &rest) {
  size_t last = rest.find_last_of("\\/");
  if (last == std::string::npos) return;
  std::string wanted = code + rest.substr(0, last);
  for (const std::string &folder : check.facts.folders)
    if (same_or_parent(wanted, folder)) return;
  if (code.empty()) {
    check.error("its folder " + wanted + " is not made: no [DIRECTORIES] entry creates it, so the copy fails");
  } else {
    check.warning("its folder " + wanted + " is not in [DIRECTORIES]: the copy fails unless it exists on the system");
  }
}

void check_destination(const Check &check, bool names_file) {
  const std::string &text = check.text;
  std::string code, rest = text, path, based_on = "the default install folder";
  if (text[0] == '%') {
    char c = text.size() > 1 ? text[1] : 0;
    if (c < '1' || c > '3') {
      check.error(std::string("starts with a % form setup does not expand (only %1, %2 and %3): ") +
                  (names_file ? "the copy fails" : "the install stops"));
      return;
    }
    code = text.substr(0, 2);
    rest = text.substr(2);
    if (!rest.empty() && is_separator(rest[0])) {
      check.warning("a separator follows " + code + ", which ends in one already: the path has a doubled backslash");
      while (!rest.empty() && is_separator(rest[0])) rest.erase(0, 1);
    }
    path = c == '3' ? "C:\\" + rest : std::string(c == '1' ? kTypicalWindowsDir : kTypicalSystemDir) + "\\" + rest;
    based_on = c == '3' ? "the drive root" : c == '1' ? kTypicalWindowsDir : kTypicalSystemDir;
  } else if (!check.facts.install_folder.empty()) {
    path = check.facts.install_folder + "\\" + rest;
  }
  if (rest.empty()) {
    if (names_file) check.error("names a folder, not a file");
    return;
  }
  std::string fault = relative_path_fault(rest, kRefusedBySetup);
  if (!fault.empty()) {
    check.error(fault);
    return;
  }
  if (names_file && is_separator(rest.back())) check.error("names a folder, not a file");
  if (!path.empty()) check.path_length(path, based_on);
  if (names_file) check_folder_made(check, code, rest);
}

// A payload file, for the names that the script takes relative to the source folder.
void check_in_payload(const Check &check, const std::string &tidied, const char *consequence) {
  if (!check.facts.has_payload) return;
  std::string relative, why;
  if (!output_path_for(tidied, &relative, &why)) return;
  std::string path = join_path(check.facts.payload, relative);
  if (is_regular_file(path)) return;
  check.error((is_directory(path) ? "is a folder in the payload folder (" : "is not in the payload folder (") + path +
              "): " + consequence);
}

void check_source(const Check &check) {
  std::string fault = relative_path_fault(check.text, kRefusedByWindows);
  std::string tidied, why;
  if (fault.empty() && !stored_name_for(check.text, &tidied, &why)) fault = why;
  if (!fault.empty()) {
    check.error(fault + ": it cannot be packed into files.dat");
    return;
  }
  check_in_payload(check, tidied, "setup finds neither a loose file nor a member of files.dat");
}

// Where a dependency lies and whether it can be shipped is one of the product's rules
// (product_parts.h); here only what setup itself makes of the name.
void check_depend(const Check &check) {
  const std::string &text = check.text;
  if (is_separator(text[0]) || text.find(':') != std::string::npos) {
    check.warning("is absolute: it cannot be checked here, and at uninstall setup unpacks only plain file names");
    return;
  }
  std::string fault = relative_path_fault(text, kRefusedByWindows);
  if (!fault.empty()) check.error(fault);
}

void check_relative(const Check &check, const char *refused) {
  std::string fault = check.text.empty() ? "" : relative_path_fault(check.text, refused);
  if (!fault.empty()) check.error(fault);
}

void check_shortcut_folder(const Check &check) {
  check_relative(check, kRefusedBySetup);
  check.path_length(std::string(kTypicalProgramsDir) + "\\" + check.text, kTypicalProgramsDir);
}

void check_shortcut_name(const Check &check) {
  if (check.text.empty()) return check.error("is empty: the shortcut file is named \".lnk\"");
  if (has_separator(check.text)) return check.error("has a folder part: the shortcut cannot be made");
  check_relative(check, kRefusedBySetup);
  std::string folder = check.sibling("path");
  std::string file = std::string(kTypicalProgramsDir) + "\\" + (folder.empty() ? "" : folder + "\\") + check.text;
  check.path_length(file + ".lnk", kTypicalProgramsDir);
}

// A program below the install folder should be one the script installs there.
void check_program(const Check &check, bool uninstaller_allowed) {
  if (uninstaller_allowed && check.text == "%1") return;
  std::string fault = relative_path_fault(check.text, kRefusedBySetup);
  if (!fault.empty()) return check.error(fault);
  std::string work = uninstaller_allowed ? without_trailing_separators(check.sibling("work")) : "";
  std::string target = work.empty() ? check.text : work + "\\" + check.text;
  for (const std::string &installed : check.facts.installed)
    if (same_name(installed, target)) return;
  check.warning("no [FILES] entry installs " + target + " into the install folder");
}

void check_extension(const Check &check) {
  if (check.text.empty()) return check.error("is empty: the association would be written into the file classes' root");
  if (has_separator(check.text)) return check.error("has a separator: it is no file extension");
  if (check.text[0] != '.') check.warning("does not start with '.'");
}

void check_root(const Check &check) {
  for (const char *root : kRootNames)
    if (same_name(check.text, root)) return;
  check.error(
      "is not HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or HKEY_USERS: the install stops at "
      "the registry step");
}

void check_registry_key(const Check &check) {
  if (check.text.empty()) return check.warning("is empty: the value is written into the root key itself");
  if (check.text[0] == '\\')
    return check.error("starts with a backslash: the registry refuses the key and the install stops");
  if (digit_code(check.text, 0) != std::string::npos)
    check.warning("has a % code, which setup does not expand in registry keys");
}

bool is_letter(const std::string &text, const char *letter) { return same_name(text, letter); }

void check_registry_value(const Check &check) {
  SetupValue type = setup_value(check.site.script->key(check.site.section, item_key("type", check.site.n)));
  if (!type.present) return;
  if (is_letter(type.text, "d")) {
    check_number(check);
  } else if (is_letter(type.text, "s") && check.text != "%1" && digit_code(check.text, 0) != std::string::npos) {
    check.warning("only a value of exactly %1 becomes the install folder; setup writes this one as it stands");
  }
}

void check_option(const Check &check, const char *first, const char *second, const char *otherwise) {
  if (!is_letter(check.text, first) && !is_letter(check.text, second)) check.warning(otherwise);
}

}  // namespace

ScriptFacts gather_facts(const IniFile &script, const std::string &payload, bool has_payload) {
  ScriptFacts facts;
  facts.payload = payload;
  facts.has_payload = has_payload;
  SetupValue dir = setup_value(script.key("DEFAULTDIR", "dir"));
  if (dir.present) {
    std::string product = setup_value(script.key("PRODUCTNAME", "name")).text;
    bool below_program_files = !dir.text.empty() && dir.text[0] == '@';
    facts.install_folder = "C:\\" + std::string(below_program_files ? "Program Files\\" : "") +
                           dir.text.substr(below_program_files ? 1 : 0) + "\\" + product;
  }
  for (const auto &item : item_values(script, "DIRECTORIES", "dir"))
    facts.folders.push_back(without_trailing_separators(item.second));
  for (const auto &item : item_values(script, "FILES", "filedst"))
    if (!item.second.empty() && item.second[0] != '%') facts.installed.push_back(item.second);
  facts.installed.push_back("setup.exe");
  facts.installed.push_back("dsetup.dll");
  return facts;
}

void check_value(const ValueSite &site, const std::string &text, const ScriptFacts &facts, CheckReport *report) {
  Check check{site, text, facts, report};
  switch (site.rule->kind) {
    case ValueKind::kText:
      return;
    case ValueKind::kProductName:
      return check_product_name(check);
    case ValueKind::kNumber:
    case ValueKind::kTotal:
      check_number(check);
      return;
    case ValueKind::kColour:
      return check_colour(check);
    case ValueKind::kLibraryName:
      return check_relative(check, kRefusedByWindows);
    case ValueKind::kInstallFolder:
      return check_install_folder(check);
    case ValueKind::kFolderDestination:
      return check_destination(check, false);
    case ValueKind::kFileDestination:
      return check_destination(check, true);
    case ValueKind::kSourceName:
      return check_source(check);
    case ValueKind::kDependName:
      return check_depend(check);
    case ValueKind::kShortcutFolder:
      return check_shortcut_folder(check);
    case ValueKind::kShortcutName:
      return check_shortcut_name(check);
    case ValueKind::kShortcutProgram:
      return check_program(check, true);
    case ValueKind::kWorkFolder:
      return check_relative(check, kRefusedBySetup);
    case ValueKind::kAssociationProgram:
      return check_program(check, false);
    case ValueKind::kExtension:
      return check_extension(check);
    case ValueKind::kRootName:
      return check_root(check);
    case ValueKind::kRegistryKey:
      return check_registry_key(check);
    case ValueKind::kRegistryType:
      if (!is_letter(text, "s") && !is_letter(text, "d")) check.error("is neither s nor d: setup writes no value");
      return;
    case ValueKind::kRegistryValue:
      return check_registry_value(check);
    case ValueKind::kBitmapName:
      if (text[0] == '%' && (text.size() < 2 || text[1] != '1'))
        check.error("starts with a % form setup does not expand (only %1): no bitmap is shown");
      return;
    case ValueKind::kBitmapType:
      return check_option(check, "t", "c", "is not t (tile) or c (centre): setup centres the bitmap");
    case ValueKind::kBitmapLocation:
      return check_option(check, "f", "r",
                          "is not f (file) or r (resource): setup loads a bitmap resource of that name");
  }
}
