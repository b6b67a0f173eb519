// The two uninstall stages: the first copies setup out of the install directory and starts the
// second from there; the second waits for the first to end and removes the product.
#pragma once

#include <windows.h>

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"
#include "uninstall/stage_args.h"

// RESULT_GO_ON once the second stage runs, RESULT_CANCELLED when the user declined,
// RESULT_FAILED (after a message) when the second stage could not be started.
int uninstall_first_stage(SetupInfo *info, const FirstStageArgs &args);
// -1 when the resource or hook library cannot be used, otherwise the result of run_uninstall.
int uninstall_second_stage(SetupInfo *info, HINSTANCE instance, const SecondStageArgs &args);
// 0 after a completed uninstall; -1 or a hook's nonzero result when it stopped.
int run_uninstall(SetupInfo *info, SetupDispatchTable *table);
// Removes the recorded items; window is the Uninstalling dialog or null. 0, -1, or a hook's result.
int remove_product(SetupInfo *info, SetupDispatchTable *table, HWND window);

INT_PTR CALLBACK uninstall_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);  // 3008
INT_PTR CALLBACK details_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);    // 3009

// The directory holding the running program (no trailing backslash). 1 on success.
int own_directory(char *out, unsigned long size);
