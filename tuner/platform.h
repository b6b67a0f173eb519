// Which Windows family the tuner runs on.
#pragma once

// True on Windows 95 and 98 (GetVersion reports them with bit 31 set); false on the NT family.
bool IsWindows95Family();
