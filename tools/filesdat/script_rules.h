// The one table of what setup reads from setup.ini: every section, every key and the kind of
// value it holds. The checker walks this table; nothing else knows the keys.
#pragma once

#include <cstddef>
#include <string>

enum class ValueKind {
  kText,
  kProductName,
  kNumber,
  kColour,              // a number of which setup keeps the low byte
  kTotal,               // how many numbered items a section has
  kLibraryName,         // a file beside setup.exe
  kInstallFolder,       // DEFAULTDIR dir: below a drive root, or with @ below Program Files
  kFolderDestination,   // dir%lu: below the install folder, or %1/%2/%3 folders
  kFileDestination,     // filedst%lu: the same forms, naming a file
  kSourceName,          // filesrc%lu: a file in the payload, packed under this name
  kDependName,          // depend%d: a loose file beside setup.exe
  kShortcutFolder,      // path%lu: below the Programs folder of the Start menu
  kShortcutName,        // name%lu of a shortcut: a file name without extension
  kShortcutProgram,     // prog%lu of a shortcut: below the install folder, or %1 for the uninstaller
  kWorkFolder,          // work%lu: below the install folder
  kAssociationProgram,  // prog%lu of an association: below the install folder
  kExtension,
  kRootName,
  kRegistryKey,
  kRegistryType,
  kRegistryValue,  // text or number, as the item's type says
  kBitmapName,
  kBitmapType,
  kBitmapLocation,
};

// What a missing key means: nothing, an error, or a warning. Single keys are needed when their
// section is present; numbered keys by every item that has any key at all.
enum class Need { kOptional, kRequired, kExpected };

struct KeyRule {
  const char *section;
  const char *key;  // for numbered keys the stem: "dir" for dir0, dir1, ...
  bool numbered;
  ValueKind kind;
  Need need;
  const char *if_missing;  // what setup does without the key
};

extern const KeyRule kKeyRules[];
extern const size_t kKeyRuleCount;

// The section's name as setup asks for it, or null when setup does not read the section.
const char *known_section(const std::string &name);
// True when setup reads numbered items (and their "total") from the section.
bool has_items(const char *section);
// The rule of a key of section (as setup names it), null when setup does not read the key.
// For a numbered key *n receives its number.
const KeyRule *find_rule(const char *section, const std::string &key, unsigned long *n);
