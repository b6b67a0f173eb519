// The one message after a stopped installation was undone.
#pragma once

#include <windows.h>

#include "install/rollback_journal.h"
#include "sdk/setup_info.h"

// Says that the installation was undone, or lists the items that could not be undone (the first
// kUndoListed, then "and N more"), in one box owned by owner (may be null). Texts 2040-2043, the
// product's resource library first.
void show_undo_message(SetupInfo *info, HWND owner, const UndoReport &report);
