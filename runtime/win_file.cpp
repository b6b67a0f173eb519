// WinFile: CreateFileA, ReadFile, WriteFile and SetFilePointer behind a read buffer.
#include "win_file.h"

#include <cstring>

namespace {

// One ReadFile or WriteFile moves at most this much, so that a size_t count always fits a DWORD.
const size_t kMaxTransfer = 1u << 30;

size_t smaller(size_t a, size_t b) { return a < b ? a : b; }

}  // namespace

WinFile::WinFile() : handle_(nullptr), position_(0), base_(0), window_(0), buffered_(0), taken_(0), write_failed_(0) {}

WinFile::~WinFile() { Close(); }

int WinFile::open(const char *path, DWORD access, DWORD disposition) {
  if (is_open() || !path) return 0;
  HANDLE handle = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  handle_ = handle;
  return 1;
}

int WinFile::OpenRead(const char *path) { return open(path, GENERIC_READ, OPEN_EXISTING); }

int WinFile::Create(const char *path) { return open(path, GENERIC_WRITE, CREATE_ALWAYS); }

int WinFile::Close() {
  if (!is_open()) return 0;
  int ok = CloseHandle(handle_) ? 1 : 0;
  handle_ = nullptr;
  position_ = base_ = window_ = 0;
  buffered_ = taken_ = 0;
  write_failed_ = 0;
  return ok;
}

// Reads straight into out until size bytes arrived, the file ended or the system failed.
size_t WinFile::read_direct(void *out, size_t size) {
  unsigned char *to = static_cast<unsigned char *>(out);
  size_t done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(handle_, to + done, static_cast<DWORD>(smaller(size - done, kMaxTransfer)), &got, nullptr) ||
        got == 0)
      break;
    done += got;
  }
  return done;
}

size_t WinFile::Read(void *out, size_t size) {
  if (!is_open() || !out) return 0;
  if (window_) {
    uint64_t end = base_ + window_;
    if (position_ >= end) return 0;
    if (size > end - position_) size = static_cast<size_t>(end - position_);
  }
  unsigned char *to = static_cast<unsigned char *>(out);
  size_t done = 0;
  while (done < size) {
    if (taken_ < buffered_) {
      size_t n = smaller(buffered_ - taken_, size - done);
      memcpy(to + done, buffer_ + taken_, n);
      taken_ += n;
      done += n;
    } else if (size - done >= kBufferSize) {
      buffered_ = taken_ = 0;  // large reads skip the buffer
      done += read_direct(to + done, size - done);
      break;
    } else {
      buffered_ = read_direct(buffer_, kBufferSize);
      taken_ = 0;
      if (buffered_ == 0) break;
    }
  }
  position_ += done;
  return done;
}

int WinFile::ReadByte() {
  unsigned char byte = 0;
  return Read(&byte, 1) == 1 ? byte : -1;
}

int WinFile::Write(const void *data, size_t size) {
  if (!is_open() || (!data && size > 0)) return 0;
  // Bytes read ahead into the buffer moved the system's position past ours: go back first.
  if (buffered_ > 0 && !seek_system(position_)) {
    write_failed_ = 1;
    return 0;
  }
  const unsigned char *from = static_cast<const unsigned char *>(data);
  size_t done = 0;
  while (done < size) {
    DWORD put = 0;
    if (!WriteFile(handle_, from + done, static_cast<DWORD>(smaller(size - done, kMaxTransfer)), &put, nullptr) ||
        put == 0)
      break;
    done += put;
  }
  position_ += done;
  if (done < size) write_failed_ = 1;
  return done == size;
}

int WinFile::Seek(uint64_t offset) {
  if (!is_open() || offset >> 62) return 0;
  offset += base_;
  // A position inside what the buffer holds needs no system call: lookups of neighbouring
  // records then read the file once.
  uint64_t buffer_start = position_ - taken_;
  if (buffered_ > 0 && offset >= buffer_start && offset - buffer_start <= buffered_) {
    taken_ = static_cast<size_t>(offset - buffer_start);
    position_ = offset;
    return 1;
  }
  return seek_system(offset);
}

int WinFile::seek_system(uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(handle_, static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return 0;
  position_ = offset;
  buffered_ = taken_ = 0;
  return 1;
}

int WinFile::Size(uint64_t *length) const {
  if (!is_open() || !length) return 0;
  if (window_) {
    *length = window_;
    return 1;
  }
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(handle_, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  *length = (static_cast<uint64_t>(high) << 32) | low;
  return 1;
}

int WinFile::SetWindow(uint64_t base, uint64_t length) {
  uint64_t whole = 0;
  if (window_ || length == 0 || !Size(&whole) || base > whole || length > whole - base || !seek_system(base)) return 0;
  base_ = base;
  window_ = length;
  return 1;
}
