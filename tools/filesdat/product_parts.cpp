// The files a product ships besides setup.exe and files.dat, found and checked in one place for
// filesdat check and filesdat product.
#include "product_parts.h"

#include <cstdint>

#include "file_io.h"
#include "member_name.h"
#include "messages.h"
#include "path_rules.h"
#include "pe_machine.h"
#include "script_items.h"
#include "script_values.h"

namespace {

const Place kNoLine = {0, "", ""};

// A file that the script names by a key: the resource library or a dependency.
struct NamedPart {
  const IniKey *key;
  const char *section;
  std::string name;  // as setup reads it
  bool library;      // loaded by setup, so of setup.exe's machine type
};

bool has_separator(const std::string &name) { return name.find_first_of("\\/") != std::string::npos; }

// Absolute names and names with faults are not shipped: the value checks report the faults, and
// an absolute dependency is taken from the target system.
bool shipped_name(const std::string &name) {
  return !name.empty() && name.find(':') == std::string::npos && name[0] != '\\' && name[0] != '/' &&
         relative_path_fault(name, kRefusedByWindows).empty();
}

std::vector<NamedPart> named_parts(const IniFile &script) {
  std::vector<NamedPart> named;
  const IniKey *resources = script.key("RESOURCES", "dllname");
  SetupValue library = setup_value(resources);
  if (library.present) named.push_back({resources, "RESOURCES", library.text, true});
  const IniSection *depend = script.section("DEPEND");
  for (const auto &item : item_values(script, "DEPEND", "depend"))
    named.push_back({script.key(depend, item_key("depend", item.first)), "DEPEND", item.second, false});
  return named;
}

bool already_shipped(const std::vector<ProductPart> &parts, const std::string &name) {
  if (same_name(name, "setup.exe") || same_name(name, "files.dat")) return true;
  for (const ProductPart &part : parts)
    if (same_name(part.name, name)) return true;
  return false;
}

// Checks the libraries of a product against the setup.exe that loads them.
class MachineCheck {
 public:
  MachineCheck(const KitFiles &kit, CheckReport *report) : report_(report) {
    setup_path_ = kit.setup;
    if (!is_regular_file(kit.setup)) {
      if (kit.required)
        report->error(kNoLine, "setup.exe not found: " + kit.setup + " (give it with --setup)");
      else
        ::report("%s is not there: the libraries' machine types are not compared (give setup.exe with --setup)",
                 kit.setup.c_str());
      return;
    }
    std::string why;
    known_ = read_pe_machine(kit.setup, &setup_machine_, &why);
    if (!known_) report->error(kNoLine, "setup.exe " + kit.setup + ": " + why);
  }

  // Reports a library that is no Windows program or not of setup.exe's machine type.
  void library(const Place &place, const char *what, const std::string &path) const {
    uint16_t machine = 0;
    std::string why;
    if (!read_pe_machine(path, &machine, &why)) return report_->error(place, std::string(what) + " " + path + ": " + why);
    if (!known_ || machine == setup_machine_) return;
    report_->error(place, std::string(what) + " " + path + " is " + machine_name(machine) + ", but setup.exe " +
                              setup_path_ + " is " + machine_name(setup_machine_) + ": setup cannot load it");
  }

 private:
  CheckReport *report_;
  std::string setup_path_;
  uint16_t setup_machine_ = 0;
  bool known_ = false;
};

void find_hooks(const std::string &beside, const KitFiles &kit, const MachineCheck &machines,
                std::vector<ProductPart> *parts, CheckReport *report) {
  std::string own = join_path(beside, "dsetup.dll");
  std::string hooks = is_regular_file(own) ? own : kit.default_hooks;
  if (!is_regular_file(hooks)) {
    if (kit.required)
      return report->error(kNoLine, "no hook library: neither " + own + " nor the default one, " + hooks +
                                        " (give it with --hooks)");
    ::report("no dsetup.dll beside the script and no default hook library at %s: the hook library is not checked "
             "(give it with --hooks)",
             hooks.c_str());
    return;
  }
  machines.library(kNoLine, "hook library", hooks);
  parts->push_back({"dsetup.dll", hooks});
}

void find_named(const PartsSite &site, const NamedPart &named, const MachineCheck &machines,
                std::vector<ProductPart> *parts, CheckReport *report) {
  if (!shipped_name(named.name) || already_shipped(*parts, named.name)) return;
  Place place = {named.key->line, site.script->section(named.section)->name, named.key->name};
  if (has_separator(named.name))
    return report->error(place, std::string("has a folder part: filesdat product ships ") +
                                    (named.library ? "the resource library" : "dependencies") +
                                    " only as plain files beside setup.exe");
  std::string beside = join_path(parent_of(site.script_path), named.name);
  std::string in_payload = join_path(site.payload, named.name);
  std::string source = is_regular_file(beside) ? beside : site.has_payload ? in_payload : "";
  if (source.empty()) return;  // without the payload folder, it cannot be told
  if (!is_regular_file(source))
    return report->error(place, "is not in the payload folder (" + in_payload + ") nor beside the script: " +
                                    "filesdat product ships it beside setup.exe, where setup " +
                                    (named.library ? "loads it" : "packs it from"));
  if (named.library) machines.library(place, "resource library", source);
  parts->push_back({named.name, source});
}

}  // namespace

void find_product_parts(const PartsSite &site, const KitFiles &kit, std::vector<ProductPart> *parts,
                        CheckReport *report) {
  std::string beside = parent_of(site.script_path);
  parts->clear();
  parts->push_back({"setup.ini", site.script_path});
  std::string licence = join_path(beside, "license.txt");
  if (is_regular_file(licence))
    parts->push_back({"license.txt", licence});
  else
    report->error(kNoLine, "no license.txt beside it: setup shows it on the licence page");
  MachineCheck machines(kit, report);
  find_hooks(beside, kit, machines, parts, report);
  for (const NamedPart &named : named_parts(*site.script)) find_named(site, named, machines, parts, report);
}

std::vector<std::string> product_folder_names(const IniFile &script) {
  std::vector<std::string> names = {"setup.exe", "files.dat", "setup.ini", "license.txt", "dsetup.dll"};
  for (const NamedPart &named : named_parts(script))
    if (shipped_name(named.name) && !has_separator(named.name)) names.push_back(named.name);
  return names;
}
