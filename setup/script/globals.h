// The one SetupInfo of the run (static storage, so zero-initialised before construction).
#pragma once

#include "sdk/setup_info.h"

extern SetupInfo g_setup_info;
