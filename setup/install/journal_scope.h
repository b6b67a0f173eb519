// What a run of one product could have changed: the only entries that an undo of a journal found
// on disk acts on. Everything else in such a journal was not written by a run of this product
// (or not by setup at all) and is never obeyed. The scope is plain data, listed by the install
// sequence before the journal begins (run_scope.h); here are only the rules that match against it.
#pragma once

#include <windows.h>

#include "sdk/item_list.h"
#include "sdk/setup_string.h"

// A registry key, or a value when name matters.
struct ScopeKey {
  HKEY root = nullptr;
  String key;
  String name;
};

struct JournalScope {
  String product;                 // the product whose journal this is
  ItemList<String> folders;       // each folder and everything below it (a broad one: itself only)
  ItemList<String> files;         // exactly these files
  ItemList<ScopeKey> key_trees;   // each key with its values and everything below it, and the
                                  // levels above it that its creation could have added
  ItemList<ScopeKey> keys;        // each key and its values, nothing below it
  ItemList<ScopeKey> values;      // each value (key and name), and the key levels down to it
};

// A file or folder the product's run could have made or replaced: at or below one of the scope's
// folders (when that folder is not a drive root or the Windows or system folder), or exactly one
// of its files. Only plain drive paths count: no relative, device or network path, no "." or ".."
// component.
bool scope_has_path(const JournalScope *scope, const char *path);
// A registry key the product's run could have created (ancestors of its keys too when
// created_level is true) or a value it could have written (name given).
bool scope_has_key(const JournalScope *scope, HKEY root, const char *key, bool created_level);
bool scope_has_value(const JournalScope *scope, HKEY root, const char *key, const char *name);
