// MemberSink: where the content of an archive member goes while it is read, piece by piece.
#pragma once

#include <cstddef>

class MemberSink {
 public:
  // Takes the member's next n bytes (n > 0). 0 stops the reading: the member then counts as not read.
  virtual int Take(const unsigned char *data, size_t n) = 0;

 protected:
  ~MemberSink() {}
};

// Told of every piece of a member written to its file, so that a progress bar can move within a
// large file.
class WriteProgress {
 public:
  virtual void Wrote(size_t n) = 0;

 protected:
  ~WriteProgress() {}
};
