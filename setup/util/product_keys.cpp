#include "util/product_keys.h"

const char kMakerKey[] = "Software\\Quorvane";
const char kAddRemoveParent[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
