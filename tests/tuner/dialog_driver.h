// Driving the tuner's windows from another thread, as a person would: its dialog is the window
// captioned "Skellan" with the Advanced button, its message boxes the ones without.
#pragma once

#include <windows.h>

#include <string>

#include "../../tuner/resource.h"
#include "../support/window_driver.h"

namespace driver {

using namespace window_driver;

const ProgramWindows kTuner = {"Skellan", IDC_ADVANCED};

inline HWND find(bool dialog) { return window_driver::find(kTuner, dialog); }
inline HWND wait_dialog() { return wait_for(kTuner, true); }
inline std::string answer(int button) { return window_driver::answer(kTuner, button); }
inline void close_all() { window_driver::close_all(kTuner); }
inline void press(HWND dialog, int id) { post_click(dialog, id); }

}  // namespace driver
