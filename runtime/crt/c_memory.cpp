// malloc and its kin for code without a C runtime, on the process heap.
#include <cstddef>
#include <cstdlib>

#include "heap.h"

extern "C" void *malloc(size_t size) { return heap_alloc(size); }
extern "C" void *calloc(size_t count, size_t size) { return heap_alloc_zeroed(count, size); }
extern "C" void *realloc(void *block, size_t size) { return heap_resize(block, size); }
extern "C" void free(void *block) { heap_free(block); }
