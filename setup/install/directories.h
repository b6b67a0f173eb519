// The directory step: the install directory and every DIRECTORIES entry.
#pragma once

#include "install/change_writer.h"

// Creates install_dir and each DIRECTORIES entry (resolved like a copy destination), entering
// every level it creates in the uninstall record, outermost first. 0, or -1 at the first
// directory that cannot be created or named (what was created before stays, recorded), with the
// directory and the system's reason noted for the install sequence to show.
int create_directories(ChangeWriter *writer);
