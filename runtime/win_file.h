// WinFile: one file opened through Win32, for the programs that carry no C runtime. Reads go
// through a small buffer, so reading a file a few bytes at a time costs few system calls; writes
// go straight to the system, so a full disk shows at the write that met it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class WinFile {
 public:
  WinFile();
  ~WinFile();  // closes the file
  WinFile(const WinFile &) = delete;
  WinFile &operator=(const WinFile &) = delete;

  // Opens an existing file for reading (others may read and write it meanwhile). 0 when it cannot
  // be opened or this object already holds a file (which stays open).
  int OpenRead(const char *path);
  // Creates the file, or empties an existing one, for writing. 0 as OpenRead.
  int Create(const char *path);
  // 1 when a file was open and closing it reported no error. The object can be opened again.
  int Close();
  int is_open() const { return handle_ != nullptr; }

  // Reads up to size bytes at the position and moves past them; the count read, which is less
  // than size only at the end of the file or on an error.
  size_t Read(void *out, size_t size);
  // 1 when all size bytes were read.
  int ReadExact(void *out, size_t size) { return Read(out, size) == size; }
  // The next byte, or -1 at the end of the file or on an error.
  int ReadByte();
  // Writes size bytes at the position. 1 when every byte was written; a failed write is also
  // remembered until Close (see write_failed), so a writer may check once at the end.
  int Write(const void *data, size_t size);
  int write_failed() const { return write_failed_; }

  // Moves to offset bytes from the start (below 2^62). 1 on success.
  int Seek(uint64_t offset);
  // The position of the next read or write.
  uint64_t Position() const { return position_ - base_; }
  // The file's length in bytes. 1 on success, 0 (*length untouched) when the system cannot tell.
  int Size(uint64_t *length) const;
  // Narrows an open file to the length bytes from base, which must lie inside it (an archive
  // carried inside another file): positions and the size then count from base, and reads end at
  // the window's end. 1 on success; 0 (nothing changed) when the window does not fit.
  int SetWindow(uint64_t base, uint64_t length);

 private:
  int open(const char *path, DWORD access, DWORD disposition);
  size_t read_direct(void *out, size_t size);
  int seek_system(uint64_t offset);  // moves the system's position and empties the buffer

  static const size_t kBufferSize = 4096;
  // Null while closed: a closed object is all zeros, so a static one costs no file space.
  HANDLE handle_;
  uint64_t position_;  // of the next byte the caller reads or writes, from the file's start
  uint64_t base_;      // the window's start and length; a whole file has no window (length 0)
  uint64_t window_;
  size_t buffered_;    // bytes in buffer_, read from the file before position_
  size_t taken_;       // of those, bytes already handed out
  int write_failed_;
  unsigned char buffer_[kBufferSize];
};
