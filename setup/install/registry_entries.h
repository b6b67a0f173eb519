// The registry step: the script's REGISTRY ENTRIES, then the Add/Remove Programs entry.
#pragma once

#include "install/change_writer.h"

// Writes every REGISTRY ENTRIES value and records each as "<root abbreviation>\<key>,<name>": a
// registry-value item when the installation created the key, else a value in a key that was
// there; each key level the step creates is recorded too (the Add/Remove entry's own key is not).
// With replacing_previous 1 an entry whose key ends in "\user" (any letter case) is skipped.
// Then writes DisplayName and UninstallString under the Windows uninstall key of product_name.
// 0, or -1 when an entry's key can be neither created nor opened, or its root is not one of the
// four predefined roots the uninstall record can name (the later entries are then not written);
// the key and the system's reason are then noted for the install sequence to show.
int apply_registry_entries(ChangeWriter *writer);

// The Add/Remove Programs entry alone. Not written (and not an error) when product_name is empty
// or holds a backslash. 0, or -1 when its key or values could not be written (noted like an
// entry's failure).
int write_add_remove_entry(ChangeWriter *writer);

// 1 when replacing_previous leaves the values of this key alone: its last component is "user".
int is_kept_user_key(const char *key);
