// The registry keys below HKEY_LOCAL_MACHINE that belong to every product setup installs.
#pragma once

// The maker's key: each product's own key and uninstall record, and the version stamps.
extern const char kMakerKey[];
// The parent of the products' Add/Remove Programs entries.
extern const char kAddRemoveParent[];
