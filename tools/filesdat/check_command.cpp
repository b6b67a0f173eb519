// filesdat check: reads setup.ini as setup will and reports, one line each, what setup would not
// read, read otherwise than meant, or stumble over.
#include <cstring>
#include <set>

#include "check_report.h"
#include "commands.h"
#include "file_io.h"
#include "ini_reader.h"
#include "messages.h"
#include "product_parts.h"
#include "script_items.h"
#include "script_rules.h"
#include "script_values.h"
#include "value_checks.h"

namespace {

// Item numbers of listed items shown before the rest is only counted.
const size_t kListedItems = 5;

Place section_place(const IniSection &section, const std::string &key = "") {
  return {section.line, section.name, key};
}

std::string line_text(int line) { return "line " + std::to_string(line); }

// A key setup does not ask for; a number written otherwise than setup writes it gets a hint.
void report_unknown_key(const char *section, const IniKey &key, const Place &place, CheckReport *report) {
  for (size_t i = 0; i < kKeyRuleCount; ++i) {
    const KeyRule &rule = kKeyRules[i];
    if (rule.numbered && strcmp(rule.section, section) == 0 && misnumbered_key(key.name, rule.key)) {
      size_t digits = key.name.find_first_not_of('0', strlen(rule.key));
      std::string number = digits == std::string::npos ? "0" : key.name.substr(digits);
      report->error(place, std::string("not read: setup asks for ") + rule.key + number + " (no leading zeros)");
      return;
    }
  }
  report->error(place, "unknown key: setup does not read it");
}

// Everything about one key that does not depend on the others but the total.
void check_key(const IniFile &script, const IniSection &section, const char *known, const IniKey &key,
               const ScriptFacts &facts, CheckReport *report) {
  Place place{key.line, section.name, key.name};
  const IniKey *first = script.key(&section, key.name);
  if (first != &key) {
    std::string message = "repeats the key of " + line_text(first->line) + ": the profile reader takes only the first";
    if (first->value == key.value)
      report->warning(place, message);
    else
      report->error(place, message);
    return;
  }
  unsigned long n = 0;
  const KeyRule *rule = find_rule(known, key.name, &n);
  if (!rule) return report_unknown_key(known, key, place, report);
  SetupValue total = setup_value(script.key(&section, "total"));
  if (rule->numbered && !total.present) return;  // reported once for the section
  uint32_t items = c_number(total.text).value;
  if (rule->numbered && n >= items)
    return report->error(place, "not read: total is " + std::to_string(static_cast<unsigned long>(items)));
  SetupValue value = setup_value(&key);
  if (value.has_fail) return report->error(place, "contains \"fail\": setup reads the key as missing");
  if (value.cut)
    report->error(place, "is " + std::to_string(key.value.size()) + " characters long: setup reads only the first 259");
  if (key.unquoted) report->warning(place, "the enclosing quotes are dropped: setup reads " + value.text);
  check_value({&script, &section, rule, n, place}, value.text, facts, report);
}

// The numbers of the items that have at least one key that setup reads.
std::set<unsigned long> items_with_keys(const IniFile &script, const IniSection &section, const char *known,
                                        uint32_t total) {
  std::set<unsigned long> items;
  for (const IniKey &key : section.keys) {
    unsigned long n = 0;
    const KeyRule *rule = find_rule(known, key.name, &n);
    if (rule && rule->numbered && n < total && script.key(&section, key.name) == &key) items.insert(n);
  }
  return items;
}

void report_missing(const IniSection &section, const KeyRule &rule, const std::string &key, CheckReport *report) {
  Place place = section_place(section, key);
  std::string message = std::string("missing: ") + rule.if_missing;
  if (rule.need == Need::kRequired)
    report->error(place, message);
  else
    report->warning(place, message);
}

// "3, 4, 7" or "3, 4, 5, 6, 7 and 12 more".
std::string some_numbers(const std::vector<unsigned long> &numbers, uint32_t count) {
  std::string text;
  for (size_t i = 0; i < numbers.size() && i < kListedItems; ++i) text += (i ? ", " : "") + std::to_string(numbers[i]);
  if (count > kListedItems)
    text += " and " + std::to_string(static_cast<unsigned long>(count - kListedItems)) + " more";
  return text;
}

// Items from 0 to total-1: each that exists needs its required keys, and none may be absent.
void check_items(const IniFile &script, const IniSection &section, const char *known, CheckReport *report) {
  const IniKey *total_key = script.key(&section, "total");
  SetupValue total_value = setup_value(total_key);
  if (!total_value.present) return;
  uint32_t total = c_number(total_value.text).value;
  std::set<unsigned long> items = items_with_keys(script, section, known, total);
  for (unsigned long n : items) {
    for (size_t i = 0; i < kKeyRuleCount; ++i) {
      const KeyRule &rule = kKeyRules[i];
      if (!rule.numbered || rule.need == Need::kOptional || strcmp(rule.section, known) != 0) continue;
      if (!script.key(&section, item_key(rule.key, n))) report_missing(section, rule, item_key(rule.key, n), report);
    }
  }
  uint32_t absent = total - static_cast<uint32_t>(items.size());
  if (absent == 0) return;
  std::vector<unsigned long> first_absent;
  for (unsigned long n = 0; n < total && first_absent.size() < kListedItems; ++n)
    if (!items.count(n)) first_absent.push_back(n);
  report->error({total_key->line, section.name, total_key->name},
                "total is " + std::to_string(static_cast<unsigned long>(total)) + " but item" +
                    (absent == 1 ? " " : "s ") + some_numbers(first_absent, absent) + (absent == 1 ? " has" : " have") +
                    " no keys");
}

// Single keys that the section needs, and a total wherever numbered keys stand.
void check_section_keys(const IniFile &script, const IniSection &section, const char *known, CheckReport *report) {
  for (size_t i = 0; i < kKeyRuleCount; ++i) {
    const KeyRule &rule = kKeyRules[i];
    if (rule.numbered || rule.need == Need::kOptional || strcmp(rule.section, known) != 0) continue;
    if (script.key(&section, rule.key)) continue;
    size_t numbered = 0;
    unsigned long n;
    for (const IniKey &key : section.keys) {
      const KeyRule *found = find_rule(known, key.name, &n);
      if (found && found->numbered) ++numbered;
    }
    if (strcmp(rule.key, "total") == 0 && numbered > 0) {
      report->error(section_place(section, rule.key),
                    "missing: none of the " + std::to_string(numbered) + " numbered keys is read");
    } else {
      report_missing(section, rule, rule.key, report);
    }
  }
}

// setup reads BITMAP only after BACKGROUND gave all three colours.
void check_bitmap_read(const IniFile &script, CheckReport *report) {
  const IniSection *bitmap = script.section("BITMAP");
  if (!bitmap) return;
  for (const char *colour : {"red", "green", "blue"}) {
    if (setup_value(script.key("BACKGROUND", colour)).present) continue;
    report->error(section_place(*bitmap), "not read: [BACKGROUND] does not give red, green and blue");
    return;
  }
}

void check_section(const IniFile &script, const IniSection &section, const ScriptFacts &facts, CheckReport *report) {
  const char *known = known_section(section.name);
  if (!known) return report->warning(section_place(section), "unknown section: setup does not read it");
  const IniSection *first = script.section(section.name);
  if (first != &section)
    return report->error(section_place(section), "repeats the section of " + line_text(first->line) +
                                                     ": the profile reader reads only the first");
  for (const IniKey &key : section.keys) check_key(script, section, known, key, facts, report);
  check_section_keys(script, section, known, report);
  if (has_items(known)) check_items(script, section, known, report);
}

}  // namespace

int check_product(const std::string &script_path, const std::string &payload_dir, bool payload_given,
                  const KitFiles &kit, std::vector<ProductPart> *parts) {
  IniFile script;
  if (!script.load(script_path)) {
    report("cannot read %s: %s", script_path.c_str(), error_text().c_str());
    return 1;
  }
  if (payload_given && !is_directory(payload_dir)) {
    report("the payload folder %s does not exist", payload_dir.c_str());
    return 1;
  }
  CheckReport found;
  for (const IniLineProblem &problem : script.problems())
    found.error({problem.line, problem.section, ""}, problem.message);
  ScriptFacts facts = gather_facts(script, payload_dir, payload_given);
  for (const IniSection &section : script.sections()) check_section(script, section, facts, &found);
  check_bitmap_read(script, &found);
  find_product_parts({&script, script_path, payload_dir, payload_given}, kit, parts, &found);
  found.print(script_path);
  return found.has_errors() ? 1 : 0;
}

int run_check(const std::string &script_path, const std::string &payload_dir, bool payload_given,
              const KitFiles &kit) {
  std::vector<ProductPart> parts;
  return check_product(script_path, payload_dir, payload_given, kit, &parts);
}
