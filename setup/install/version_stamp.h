// The version-stamp step: the product's four version numbers under the maker's fixed key.
#pragma once

#include "install/change_writer.h"
#include "util/product_keys.h"  // kVersionStampKey: where the stamps go

// With has_version 1 sets the DWORDs "<prefix>_tmaj", "_tmin", "_vmaj", "_vmin" to
// version_major_high, version_minor_high, version_major_low, version_minor_low. Not recorded
// for uninstall. Always 0.
int write_version_stamp(ChangeWriter *writer);
