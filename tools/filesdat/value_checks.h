// The checks of one script value by its kind, as the table of script_rules.h gives it.
#pragma once

#include <string>
#include <vector>

#include "check_report.h"
#include "ini_reader.h"
#include "script_rules.h"

// What the checks of single values need to know about the whole script.
struct ScriptFacts {
  std::string install_folder;          // the default install folder; "" when the script gives none
  std::vector<std::string> folders;    // the dir%lu values setup reads
  std::vector<std::string> installed;  // files copied below the install folder, setup.exe and dsetup.dll
  std::string payload;                 // the product's files; used only when has_payload
  bool has_payload = false;
};

ScriptFacts gather_facts(const IniFile &script, const std::string &payload, bool has_payload);

// One present key: where it is and the rule it falls under.
struct ValueSite {
  const IniFile *script;
  const IniSection *section;
  const KeyRule *rule;
  unsigned long n;  // the item number of a numbered key
  Place place;
};

// Reports what is wrong with text, the value setup reads at site.
void check_value(const ValueSite &site, const std::string &text, const ScriptFacts &facts, CheckReport *report);
