// Choosing setup's run mode from its command line.
#pragma once

#include <cstdint>

#include "util/command_words.h"

enum RunMode { MODE_INSTALL, MODE_UNINSTALL_FIRST, MODE_UNINSTALL_SECOND };

// No argument or a switch first: install; "-u2" (any case): second stage; anything else: first
// stage.
RunMode choose_mode(const CommandWords &args);

// The first argument that may be a switch: those before it belong to the mode's positional form.
uint32_t first_switch_argument(RunMode mode);
