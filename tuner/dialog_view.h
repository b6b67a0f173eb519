// What the tuner dialog shows: the five values in their controls, the advanced area and its size.
#pragma once

#include <windows.h>

class TunerSettings;

// Puts the values into the three edit fields ("%i") and the two check boxes.
void ShowValues(HWND dialog, const TunerSettings &settings);
// Takes the edit fields (decimal, an empty field gives 0) and the check boxes (1 checked, 0 not).
void TakeValues(HWND dialog, TunerSettings &settings);
// Enables or disables the seven controls of the advanced area together.
void EnableAdvanced(HWND dialog, BOOL on);
// Window height at which the dialog ends just below the marker control.
int HeightTo(HWND dialog, int marker);
// Sets the dialog's window height, keeping its position and width.
void resize_dialog(HWND dialog, int height);
// Shows the dialog basic (mode 0) or expanded (mode 1) with the matching Advanced button text and
// the advanced controls disabled or enabled.
void show_mode(HWND dialog, int mode);
