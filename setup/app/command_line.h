// Choosing setup's run mode from its command line.
#pragma once

#include "util/command_words.h"

enum RunMode { MODE_INSTALL, MODE_UNINSTALL_FIRST, MODE_UNINSTALL_SECOND };

// No argument: install; "-u2" (any case): second stage; anything else: first stage.
RunMode choose_mode(const CommandWords &args);
