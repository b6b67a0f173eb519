// The hooks seen through the action log: a table that calls the product's hooks and writes each
// call with its result to the log. In a silent run every window a hook opens is answered for it.
#pragma once

#include "sdk/dispatch_table.h"

// The one table that forwards every hook to `hooks` and logs it.
SetupDispatchTable *logged_hooks(SetupDispatchTable *hooks);
