// The files a product ships besides setup.exe and files.dat, and the rules they follow. filesdat
// check and filesdat product both apply these rules through find_product_parts, so that a script
// that check passes is one that product packs.
#pragma once

#include <string>
#include <vector>

#include "check_report.h"
#include "ini_reader.h"

// The kit's own files that a product is made with.
struct KitFiles {
  std::string setup;          // the setup.exe a product ships
  std::string default_hooks;  // the hook library of a product without its own dsetup.dll
  // product needs both; check, which can run where the kit is not, compares with them only when
  // they are found and otherwise says on stderr what it could not compare.
  bool required = true;
};

// One file of the product: its name there and where it comes from.
struct ProductPart {
  std::string name;
  std::string source;
};

struct PartsSite {
  const IniFile *script;
  std::string script_path;
  std::string payload;  // where the resource library and dependencies may lie too
  bool has_payload;
};

// Fills parts with setup.ini, license.txt and dsetup.dll (both beside the script; the hook library
// else the kit's default one), the resource library and the [DEPEND] files (each beside the script
// or in the payload), and reports to report everything that keeps the product from being made:
// a missing file, a name that cannot be shipped beside setup.exe, a library whose machine type is
// not setup.exe's. Problems of a script key carry its line; the others line 0.
void find_product_parts(const PartsSite &site, const KitFiles &kit, std::vector<ProductPart> *parts,
                        CheckReport *report);

// The names a product folder made from script holds: setup.exe, files.dat and the part names.
std::vector<std::string> product_folder_names(const IniFile &script);
