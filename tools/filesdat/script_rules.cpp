// The one table of what setup reads from setup.ini.
#include "script_rules.h"

#include <cstring>

#include "member_name.h"
#include "script_values.h"

namespace {

const bool kNumbered = true;
const bool kSingle = false;

}  // namespace

const KeyRule kKeyRules[] = {
    {"PRODUCTNAME", "name", kSingle, ValueKind::kProductName, Need::kRequired,
     "the product has no name: no Add/Remove Programs entry, and the install folder ends in a backslash"},
    {"RESOURCES", "dllname", kSingle, ValueKind::kLibraryName, Need::kRequired, "setup uses its own dialogs and texts"},
    {"DEFAULTDIR", "dir", kSingle, ValueKind::kInstallFolder, Need::kRequired,
     "the install folder starts empty and the user must type one"},
    {"DIRECTORIES", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no folders are created"},
    {"DIRECTORIES", "dir", kNumbered, ValueKind::kFolderDestination, Need::kRequired, "no folder for this number"},
    {"FILES", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no files are installed"},
    {"FILES", "filesrc", kNumbered, ValueKind::kSourceName, Need::kRequired, "the item has no source: its copy fails"},
    {"FILES", "filedst", kNumbered, ValueKind::kFileDestination, Need::kRequired,
     "the item has no destination: its copy fails"},
    {"REGISTRY ENTRIES", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no registry values are written"},
    {"REGISTRY ENTRIES", "base", kNumbered, ValueKind::kRootName, Need::kRequired,
     "the entry has no root key: the install stops at the registry step"},
    {"REGISTRY ENTRIES", "key", kNumbered, ValueKind::kRegistryKey, Need::kRequired,
     "the value is written into the root key itself"},
    {"REGISTRY ENTRIES", "name", kNumbered, ValueKind::kText, Need::kOptional, ""},
    {"REGISTRY ENTRIES", "type", kNumbered, ValueKind::kRegistryType, Need::kRequired,
     "the entry has no type: no value is written"},
    {"REGISTRY ENTRIES", "value", kNumbered, ValueKind::kRegistryValue, Need::kExpected,
     "an empty text or 0 is written"},
    {"STARTMENU ENTRIES", "basepath", kSingle, ValueKind::kText, Need::kRequired,
     "setup ignores the whole section: no Start-menu folder and no shortcuts"},
    {"STARTMENU ENTRIES", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no shortcuts are made"},
    {"STARTMENU ENTRIES", "path", kNumbered, ValueKind::kShortcutFolder, Need::kOptional, ""},
    {"STARTMENU ENTRIES", "name", kNumbered, ValueKind::kShortcutName, Need::kRequired,
     "the shortcut file is named \".lnk\""},
    {"STARTMENU ENTRIES", "prog", kNumbered, ValueKind::kShortcutProgram, Need::kRequired,
     "the shortcut points at the install folder"},
    {"STARTMENU ENTRIES", "args", kNumbered, ValueKind::kText, Need::kOptional, ""},
    {"STARTMENU ENTRIES", "work", kNumbered, ValueKind::kWorkFolder, Need::kOptional, ""},
    {"STARTMENU ENTRIES", "icon", kNumbered, ValueKind::kNumber, Need::kOptional, ""},
    {"ASSOCIATIONS", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no associations are written"},
    {"ASSOCIATIONS", "prog", kNumbered, ValueKind::kAssociationProgram, Need::kRequired,
     "files of the extension open the install folder"},
    {"ASSOCIATIONS", "ext", kNumbered, ValueKind::kExtension, Need::kRequired,
     "the association is written into the root of the file classes"},
    {"ASSOCIATIONS", "icon", kNumbered, ValueKind::kNumber, Need::kOptional, ""},
    {"ASSOCIATIONS", "name", kNumbered, ValueKind::kText, Need::kOptional, ""},
    {"BACKGROUND", "red", kSingle, ValueKind::kColour, Need::kRequired, "black background and no bitmap"},
    {"BACKGROUND", "green", kSingle, ValueKind::kColour, Need::kRequired, "black background and no bitmap"},
    {"BACKGROUND", "blue", kSingle, ValueKind::kColour, Need::kRequired, "black background and no bitmap"},
    {"BITMAP", "name", kSingle, ValueKind::kBitmapName, Need::kRequired, "no bitmap is shown"},
    {"BITMAP", "type", kSingle, ValueKind::kBitmapType, Need::kOptional, ""},
    {"BITMAP", "location", kSingle, ValueKind::kBitmapLocation, Need::kOptional, ""},
    {"DEPEND", "total", kSingle, ValueKind::kTotal, Need::kRequired, "no dependencies are packed"},
    {"DEPEND", "depend", kNumbered, ValueKind::kDependName, Need::kRequired, "nothing is packed for the item"},
    {"EXTRASPACE", "bytes", kSingle, ValueKind::kNumber, Need::kRequired, "no extra space is asked for"},
    {"COPYDELAY", "delay", kSingle, ValueKind::kNumber, Need::kRequired, "setup pauses 333 ms after each file"},
    {"VERSION", "nameprefix", kSingle, ValueKind::kText, Need::kRequired,
     "setup ignores the whole section: no version stamp"},
    {"VERSION", "majorhigh", kSingle, ValueKind::kNumber, Need::kOptional, ""},
    {"VERSION", "majorlow", kSingle, ValueKind::kNumber, Need::kOptional, ""},
    {"VERSION", "minorhigh", kSingle, ValueKind::kNumber, Need::kOptional, ""},
    {"VERSION", "minorlow", kSingle, ValueKind::kNumber, Need::kOptional, ""},
};
const size_t kKeyRuleCount = sizeof kKeyRules / sizeof kKeyRules[0];

const char *known_section(const std::string &name) {
  for (const KeyRule &rule : kKeyRules)
    if (same_name(name, rule.section)) return rule.section;
  return nullptr;
}

bool has_items(const char *section) {
  for (const KeyRule &rule : kKeyRules)
    if (rule.numbered && strcmp(rule.section, section) == 0) return true;
  return false;
}

const KeyRule *find_rule(const char *section, const std::string &key, unsigned long *n) {
  for (const KeyRule &rule : kKeyRules) {
    if (strcmp(rule.section, section) != 0) continue;
    if (rule.numbered ? numbered_key(key, rule.key, n) : same_name(key, rule.key)) return &rule;
  }
  return nullptr;
}
