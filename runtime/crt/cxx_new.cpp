// operator new and delete for code without a C runtime. A file of its own, so that a module
// linking libsupc++ (whose delete operators call free) does not get two of them.
#include <cstddef>
#include <new>

#include "heap.h"

// Built without exceptions: a failed new gives null instead of throwing.
void *operator new(size_t size) { return heap_alloc(size); }
void *operator new[](size_t size) { return heap_alloc(size); }
void operator delete(void *block) noexcept { heap_free(block); }
void operator delete[](void *block) noexcept { heap_free(block); }
void operator delete(void *block, size_t) noexcept { heap_free(block); }
void operator delete[](void *block, size_t) noexcept { heap_free(block); }
