// The heap functions: HeapAlloc and its kin on the process heap, which every Windows has.
#include "heap.h"

#include <windows.h>

void *heap_alloc(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }

void *heap_alloc_zeroed(size_t count, size_t size) {
  if (size != 0 && count > static_cast<size_t>(-1) / size) return nullptr;
  size_t total = count * size;
  return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, total ? total : 1);
}

void *heap_resize(void *block, size_t size) {
  if (!block) return heap_alloc(size);
  if (size == 0) {
    heap_free(block);
    return nullptr;
  }
  // HeapReAlloc leaves the block in place and untouched when it fails.
  return HeapReAlloc(GetProcessHeap(), 0, block, size);
}

void heap_free(void *block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
