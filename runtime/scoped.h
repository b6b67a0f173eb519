// Scoped owners of Win32 resources: each releases what it holds when it goes out of scope, on
// every path, and none can be copied.
#pragma once

#include <windows.h>

// A kernel handle (file, process, mapping, event). Calls fail with either null or
// INVALID_HANDLE_VALUE; neither is ever closed.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
  ~ScopedHandle() { reset(); }
  ScopedHandle(const ScopedHandle &) = delete;
  ScopedHandle &operator=(const ScopedHandle &) = delete;
  bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes what it holds and takes handle instead.
  void reset(HANDLE handle = nullptr) {
    if (valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};

// A search of FindFirstFileA, ended with FindClose.
class ScopedFind {
 public:
  ScopedFind(const char *pattern, WIN32_FIND_DATAA *found) : search_(FindFirstFileA(pattern, found)) {}
  ~ScopedFind() {
    if (valid()) FindClose(search_);
  }
  ScopedFind(const ScopedFind &) = delete;
  ScopedFind &operator=(const ScopedFind &) = delete;
  bool valid() const { return search_ != INVALID_HANDLE_VALUE; }
  bool next(WIN32_FIND_DATAA *found) { return FindNextFileA(search_, found) != 0; }

 private:
  HANDLE search_;
};

// An object given back with one call, unless null.
template <typename T, auto Release>
class ScopedObject {
 public:
  constexpr explicit ScopedObject(T object) : object_(object) {}
  ~ScopedObject() {
    if (object_) Release(object_);
  }
  ScopedObject(const ScopedObject &) = delete;
  ScopedObject &operator=(const ScopedObject &) = delete;
  T get() const { return object_; }
  // Gives back what it holds and takes object instead.
  void reset(T object = nullptr) {
    if (object_) Release(object_);
    object_ = object;
  }

 private:
  T object_;
};

// A loaded library, freed with FreeLibrary.
using ScopedModule = ScopedObject<HMODULE, FreeLibrary>;
// A GDI object (brush, bitmap, font) of its owner's making, deleted at the end.
using ScopedGdiObject = ScopedObject<HGDIOBJ, DeleteObject>;
// An open registry key, closed with RegCloseKey.
using ScopedKey = ScopedObject<HKEY, RegCloseKey>;

// A writable view of the whole of a file mapping of size bytes, and the mapping.
class ScopedView {
 public:
  ScopedView(HANDLE file, DWORD size)
      : mapping_(CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, size, nullptr)) {
    if (mapping_.valid()) view_ = static_cast<char *>(MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, 0));
  }
  ~ScopedView() {
    if (view_) UnmapViewOfFile(view_);
  }
  ScopedView(const ScopedView &) = delete;
  ScopedView &operator=(const ScopedView &) = delete;
  char *view() const { return view_; }

 private:
  ScopedHandle mapping_;
  char *view_ = nullptr;
};

// An object selected into a device context; the old selection comes back at the end.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ~ScopedSelection() { SelectObject(dc_, old_); }
  ScopedSelection(const ScopedSelection &) = delete;
  ScopedSelection &operator=(const ScopedSelection &) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A window's device context from GetDC, released to it at the end.
class ScopedWindowDC {
 public:
  explicit ScopedWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ScopedWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  ScopedWindowDC(const ScopedWindowDC &) = delete;
  ScopedWindowDC &operator=(const ScopedWindowDC &) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A memory device context from CreateCompatibleDC, deleted at the end.
class ScopedMemoryDC : public ScopedObject<HDC, DeleteDC> {
 public:
  explicit ScopedMemoryDC(HDC like) : ScopedObject(CreateCompatibleDC(like)) {}
};

