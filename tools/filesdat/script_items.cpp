// The numbered items of a script section, read as setup reads them.
#include "script_items.h"

#include <algorithm>

#include "member_name.h"
#include "script_values.h"

std::string item_key(const char *stem, unsigned long n) { return stem + std::to_string(n); }

std::vector<std::pair<unsigned long, std::string>> item_values(const IniFile &script, const char *section,
                                                               const char *stem) {
  std::vector<std::pair<unsigned long, std::string>> values;
  const IniSection *found = script.section(section);
  if (!found) return values;
  uint32_t total = setup_number(script.key(found, "total"));
  // Only keys that exist can be present, so walking them equals asking for every n < total.
  for (const IniKey &key : found->keys) {
    unsigned long n = 0;
    if (!numbered_key(key.name, stem, &n) || n >= total || script.key(found, key.name) != &key) continue;
    SetupValue value = setup_value(&key);
    if (value.present) values.push_back({n, value.text});
  }
  std::sort(values.begin(), values.end());
  return values;
}

std::vector<std::string> script_source_names(const IniFile &script) {
  std::vector<std::string> names;
  for (const auto &item : item_values(script, "FILES", "filesrc")) {
    bool seen = false;
    for (const std::string &name : names) seen = seen || same_name(name, item.second);
    if (!seen) names.push_back(item.second);
  }
  return names;
}
