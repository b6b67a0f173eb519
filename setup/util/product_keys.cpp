// The registry keys every product setup installs has below HKEY_LOCAL_MACHINE.
#include "util/product_keys.h"

#include <cstring>

// Spelled once: the version stamps' keys lie below it.
#define MAKER_KEY "Software\\Quorvane"

const char kMakerKey[] = MAKER_KEY;
const char kVersionStampParent[] = MAKER_KEY "\\Vemmick";
const char kVersionStampKey[] = MAKER_KEY "\\Vemmick\\Ormal000";
const char kMakerNameLower[] = "quorvane";
const char kAddRemoveParent[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool names_one_key(const char *product_name) {
  return product_name && product_name[0] && !strchr(product_name, '\\');
}
