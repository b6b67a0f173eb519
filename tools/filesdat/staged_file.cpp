// Outputs written beside their target and renamed into place.
#include "staged_file.h"

#include "file_io.h"
#include "messages.h"

StagedFile::~StagedFile() { discard(); }

bool StagedFile::open(const std::string &target) {
  discard();
  static unsigned long counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temp = target + ".part-" + std::to_string(process_id()) + "-" + std::to_string(++counter);
    FILE *file = create_new_file(temp);
    if (file) {
      target_ = target;
      temp_ = temp;
      file_ = file;
      return true;
    }
    if (!path_exists(temp)) {
      report("cannot create %s: %s", target.c_str(), error_text().c_str());
      return false;
    }
  }
  report("cannot create %s: no free temporary name beside it", target.c_str());
  return false;
}

bool StagedFile::commit() {
  if (!file_) return false;
  bool ok = fflush(file_) == 0 && !ferror(file_);
  std::string why = ok ? "" : error_text();
  if (fclose(file_) != 0 && ok) {
    ok = false;
    why = error_text();
  }
  file_ = nullptr;
  if (ok && !replace_file(temp_, target_)) {
    ok = false;
    why = error_text();
  }
  if (!ok) {
    report("cannot write %s: %s", target_.c_str(), why.c_str());
    remove(temp_.c_str());
  }
  temp_.clear();
  return ok;
}

void StagedFile::discard() {
  if (file_) fclose(file_);
  file_ = nullptr;
  if (!temp_.empty()) remove(temp_.c_str());
  temp_.clear();
}
