// The registry keys every product setup installs has below HKEY_LOCAL_MACHINE.
#include "util/product_keys.h"

#include <cstring>

const char kMakerKey[] = "Software\\Quorvane";
const char kMakerNameLower[] = "quorvane";
const char kAddRemoveParent[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool names_one_key(const char *product_name) {
  return product_name && product_name[0] && !strchr(product_name, '\\');
}
