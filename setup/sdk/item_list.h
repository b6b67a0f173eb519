// ItemList: growable array of items held by value, in insertion order. SetupInfo keeps one per
// item kind with a cursor beside it; the engine's loops walk a list by moving that cursor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "setup_api.h"

// setup.exe's heap, exported so that every module grows and frees item lists on one heap: a list
// that a hook library grows is freed by setup, and setup carries its own heap, not a C runtime's.
// setup_alloc gives null when memory is short; setup_free takes null.
SETUP_API void *setup_alloc(size_t size);
SETUP_API void setup_free(void *block);

template <class T>
class ItemList {
 public:
  ItemList() : items_(nullptr), count_(0), capacity_(0) {}
  ItemList(const ItemList &) = delete;
  ItemList &operator=(const ItemList &) = delete;
  ~ItemList() {
    for (uint32_t i = count_; i > 0; --i) items_[i - 1].~T();
    setup_free(items_);
  }

  // Copies item in at the end. Returns 1, or 0 when memory is short (the list is unchanged).
  int append(const T &item) {
    if (count_ == capacity_ && !grow()) return 0;
    new (&items_[count_]) T(item);
    ++count_;
    return 1;
  }

  uint32_t size() const { return count_; }
  T *begin() { return items_; }
  T *end() { return items_ + count_; }
  const T *begin() const { return items_; }
  const T *end() const { return items_ + count_; }
  T &operator[](uint32_t i) { return items_[i]; }
  const T &operator[](uint32_t i) const { return items_[i]; }

 private:
  // Items are moved to the new block by copy and destroyed in the old one, so items
  // with owning members (String) stay valid.
  int grow() {
    uint32_t capacity = capacity_ ? capacity_ * 2 : 8;
    if (capacity < capacity_ || capacity > 0x7FFFFFFFu / sizeof(T)) return 0;
    T *block = static_cast<T *>(setup_alloc(static_cast<size_t>(capacity) * sizeof(T)));
    if (!block) return 0;
    for (uint32_t i = 0; i < count_; ++i) {
      new (&block[i]) T(items_[i]);
      items_[i].~T();
    }
    setup_free(items_);
    items_ = block;
    capacity_ = capacity;
    return 1;
  }

  T *items_;
  uint32_t count_;
  uint32_t capacity_;
};
