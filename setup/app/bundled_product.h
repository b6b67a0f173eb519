// A single-file installer: setup.exe carrying its product (sdk/bundle_format.h). Run, it unpacks
// the plain setup.exe and the files that must lie on disk (script, licence, libraries) into a
// private folder and runs that setup.exe from there with "/bundle=<itself>", which reads the
// product's files.dat from the single file in place. So the run installs and records exactly what
// the product's folder would, and the hook library binds to a program named setup.exe. When the
// run has ended the folder goes.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// 1 when this setup.exe carries a product: it was unpacked and run, and *status is the exit
// status of that run (2 after a message when it could not be unpacked or started). 0 when this
// setup.exe carries none.
int run_bundled_product(SetupInfo *info, int *status);

// In the run started by run_bundled_product: "files.dat" is read from the single-file installer at
// path from now on. 0 (after a message) when path is not such an installer.
int use_bundle_archive(SetupInfo *info, const char *path);
