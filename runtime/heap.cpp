// The heap functions: HeapAlloc and its kin on the process heap, which every Windows has, or on a
// library's own heap.
#include "heap.h"

#include <windows.h>

namespace {

HANDLE g_private_heap;  // null: the process heap

HANDLE heap() { return g_private_heap ? g_private_heap : GetProcessHeap(); }

}  // namespace

int heap_create_private() {
  if (!g_private_heap) g_private_heap = HeapCreate(0, 0, 0);
  return g_private_heap != nullptr;
}

void heap_destroy_private() {
  if (g_private_heap) HeapDestroy(g_private_heap);
  g_private_heap = nullptr;
}

void *heap_alloc(size_t size) { return HeapAlloc(heap(), 0, size ? size : 1); }

void *heap_alloc_zeroed(size_t count, size_t size) {
  if (size != 0 && count > static_cast<size_t>(-1) / size) return nullptr;
  size_t total = count * size;
  return HeapAlloc(heap(), HEAP_ZERO_MEMORY, total ? total : 1);
}

void *heap_resize(void *block, size_t size) {
  if (!block) return heap_alloc(size);
  if (size == 0) {
    heap_free(block);
    return nullptr;
  }
  // HeapReAlloc leaves the block in place and untouched when it fails.
  return HeapReAlloc(heap(), 0, block, size);
}

void heap_free(void *block) {
  if (block) HeapFree(heap(), 0, block);
}
