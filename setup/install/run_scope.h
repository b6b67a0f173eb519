// The scope of this run of the product, listed once before its journal begins: what the steps
// could make, as the journal checks a journal left on disk by a killed run against it.
#pragma once

#include "install/journal_scope.h"
#include "sdk/setup_info.h"

// Fills scope from info as it stands now: the product's name; its install folder, the Start-menu
// folders of its items and the script's resolved DIRECTORIES as folders; its shortcuts and
// resolved FILES as files; the maker's key, the product's Add/Remove Programs entry and its
// associations' type keys as key trees; its associations' extension keys as keys; the script's
// REGISTRY entries as values. 1, or 0 when memory was short (scope then holds less, never more).
int list_run_scope(SetupInfo *info, JournalScope *scope);
