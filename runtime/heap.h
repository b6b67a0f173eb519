// The heap behind malloc and operator new of the programs and libraries that carry no C runtime:
// the process heap, or a library's own. Every function may be called before static constructors
// have run.
#pragma once

#include <cstddef>

// size bytes (at least one byte is reserved for 0); null when memory is short.
void *heap_alloc(size_t size);
// count * size zeroed bytes; null when memory is short or the product does not fit a size_t.
void *heap_alloc_zeroed(size_t count, size_t size);
// Grows or shrinks block keeping its contents. A null block is a new allocation; size 0 frees
// block and gives null. On null for a size above 0 the block is unchanged and still owned.
void *heap_resize(void *block, size_t size);
// Frees a block of these functions; null is ignored.
void heap_free(void *block);

// A library's own heap, so that its blocks never mix with those of the program that loaded it and
// all of them go when it is unloaded. After heap_create_private (1, or 0 when the system refused)
// the functions above work on that heap; heap_destroy_private frees it with every block still in
// it, and they return to the process heap. A library's entry point calls them around the lifetime
// of its static objects.
int heap_create_private();
void heap_destroy_private();
