// setup_alloc and setup_free: the heap of setup's data model, exported to hook libraries.
#include <cstdlib>

#include "item_list.h"

void *setup_alloc(size_t size) { return malloc(size); }

void setup_free(void *block) { free(block); }
