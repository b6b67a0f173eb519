// An output file written under a temporary name beside its target and renamed over the target
// only when everything was written, so a failure never leaves a half-written file under that name.
#pragma once

#include <cstdio>
#include <string>

class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();  // removes the temporary file unless committed
  StagedFile(const StagedFile &) = delete;
  StagedFile &operator=(const StagedFile &) = delete;

  // Creates the temporary file beside target. Reports and returns false on failure.
  bool open(const std::string &target);
  FILE *stream() const { return file_; }
  // Closes the temporary file, checks that every write reached it and renames it to the target.
  // Reports and returns false (and removes the temporary file) on failure.
  bool commit();
  // Closes and removes the temporary file.
  void discard();

 private:
  std::string target_;
  std::string temp_;
  FILE *file_ = nullptr;
};
