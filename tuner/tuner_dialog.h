// The tuner dialog: connection types, the advanced values and the buttons that act on them.
#pragma once

#include <windows.h>

// Procedure of dialog 101. Works on the current record (tuner_state.h) and frees it when OK or
// Cancel ends the dialog.
INT_PTR CALLBACK TunerDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Runs dialog 101 modally with no owner; returns DialogBoxParamA's result.
INT_PTR run_tuner_dialog(HINSTANCE instance);
