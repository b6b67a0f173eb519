// The registry keys below HKEY_LOCAL_MACHINE that belong to every product setup installs.
#pragma once

// The maker's key: each product's own key and uninstall record, and the version stamps.
extern const char kMakerKey[];
// The maker's name in lower case, as it stands in that key.
extern const char kMakerNameLower[];
// The key that holds the version stamps of every product, and its parent.
extern const char kVersionStampParent[];
extern const char kVersionStampKey[];
// The parent of the products' Add/Remove Programs entries.
extern const char kAddRemoveParent[];

// A product name that names exactly one key below kMakerKey and kAddRemoveParent: not empty and
// without a backslash (which would address another key).
bool names_one_key(const char *product_name);
