// The options of create and product that choose how members are packed.
#pragma once

#include <string>

#include "commands.h"

// Reads arg into *pack when it is --compress=lzma|deflate|store, --store (the same as
// --compress=store) or --group-size=SIZE (bytes, or with K or M for KiB or MiB). 1 when arg is one
// of them, 0 when it is not; -1 when its value is bad, with *problem saying why.
int parse_pack_option(const char *arg, PackOptions *pack, std::string *problem);
