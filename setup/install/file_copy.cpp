// The copy step: loose files and files.dat members to their destinations, with the per-file hooks.
#include "install/file_copy.h"

#include <windows.h>

#include <cstring>

#include "install/progress_window.h"
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/decode_ahead.h"
#include "util/files_dat.h"
#include "util/file_kinds.h"
#include "util/loose_files.h"
#include "util/message_pump.h"
#include "util/path_parts.h"
#include "util/step_failure.h"

namespace {

// The pause after each file is for the eye, and only while the progress window shows: a delay of
// minutes (or 4294967295 ms from a negative number) would make the installation seem to hang, and
// the pauses of the whole step together stay within about two seconds however many files it has.
const uint32_t kLongestCopyDelay = 1000;
const uint32_t kCopyPauseBudget = 2000;
// The bar counts bytes in this many steps, whatever the product's size.
const unsigned long kBarSteps = 1000;

// The pause after each of file_count files: the script's delay, shortened so that all of them
// together fit the budget.
uint32_t pause_per_file(uint32_t copy_delay, uint32_t file_count) {
  uint32_t pause = copy_delay < kLongestCopyDelay ? copy_delay : kLongestCopyDelay;
  uint32_t share = kCopyPauseBudget / (file_count ? file_count : 1);
  return pause < share ? pause : share;
}

int append_system_dir(char which, String *path) {
  char dir[MAX_PATH];
  UINT n = which == '1' ? GetWindowsDirectoryA(dir, sizeof dir) : GetSystemDirectoryA(dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return 0;
  path->append(dir);
  path->append("\\");
  return 1;
}

// The size of a loose source file, one look; 0 when it cannot be told.
uint32_t loose_size(const char *dir, const char *name) {
  char path[MAX_PATH];
  WIN32_FIND_DATAA found;
  if (!format_text(path, sizeof path, "%s\\%s", dir, name)) return 0;
  HANDLE search = FindFirstFileA(path, &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return found.nFileSizeHigh ? 0xFFFFFFFFu : found.nFileSizeLow;
}

// Each change to the progress window repaints it at once, which can cost about a millisecond:
// with thousands of small files that would take longer than the copying itself. So the file name
// and the bar are brought up to date at most every 40 ms (and the bar always for the last file).
class DisplayPacer {
 public:
  bool due() {
    DWORD now = GetTickCount();
    if (shown_ && now - last_ < 40) return false;
    shown_ = true;
    last_ = now;
    return true;
  }
  void reset() { shown_ = false; }

 private:
  bool shown_ = false;
  DWORD last_ = 0;
};

// One run of the copy step, or one file copied outside it. The step keeps files.dat open from its
// first member to its last, so the archive's directory is read into its index once per run, and
// lists the source directory once; a single file copied outside the step opens and closes the
// archive and asks the file system. During the step, the members it will take from the archive
// are decoded ahead on threads of their own where the machine has more than one processor
// (DecodeAhead), and the bar counts the bytes of the files put in place.
class CopyStep : public WriteProgress {
 public:
  CopyStep(ChangeWriter *writer, SetupDispatchTable *table) : writer_(writer), info_(writer->info()), table_(table) {}
  int copy_one(const char *source_name, const char *dest_value);
  // FILES in order, with the archive kept open and the source directory listed meanwhile.
  int copy_listed();
  void Wrote(size_t n) override;

 private:
  int put_file(const char *source_name, const String &source, const String &destination, bool occupied,
               bool *loose);
  void pause_for_the_eye();
  int extract_from_archive(const char *name, const char *destination, bool occupied);
  int extract_to(const char *name, const char *path);
  int replace_with_member(const char *name, const char *destination);
  String archive_path() const;
  void plan_files();
  void show_bytes(bool now);

  ChangeWriter *writer_;
  SetupInfo *info_;
  SetupDispatchTable *table_;
  DisplayPacer file_pacer_;
  DisplayPacer bar_pacer_;
  FilesDat archive_;
  bool keep_archive_open_ = false;
  LooseFiles *loose_files_ = nullptr;
  uint32_t pause_left_ = kCopyPauseBudget;
  DecodeAhead ahead_;
  static const uint32_t kNotListed = 0xFFFFFFFFu;
  uint32_t listed_index_ = kNotListed;  // the FILES entry being copied, while the list is walked
  ItemList<uint32_t> weights_;          // of each FILES entry on the bar
  uint64_t bytes_total_ = 0, bytes_done_ = 0;
  unsigned long file_bytes_ = 0;  // written of the member being extracted
};

void CopyStep::Wrote(size_t n) {
  bytes_done_ += n;
  file_bytes_ += static_cast<unsigned long>(n);
  show_bytes(false);
}

void CopyStep::show_bytes(bool now) {
  if (!bytes_total_ || !(now || bar_pacer_.due())) return;
  uint64_t done = bytes_done_ < bytes_total_ ? bytes_done_ : bytes_total_;
  progress_set_pos(static_cast<unsigned long>(done * kBarSteps / bytes_total_));
}

String CopyStep::archive_path() const {
  String path = info_->source_dir;
  if (path.length()) path.append("\\");
  path.append("files.dat");
  return path;
}

// What the walk will take from the archive, and the weight of every file on the bar: its size,
// and one byte more so that empty files move the bar too. The members that are not loose files
// are handed to the decoding thread, in the list's order.
void CopyStep::plan_files() {
  ItemList<PlannedMember> plan;
  String archive_file = archive_path();
  bool archive = archive_.is_open() || archive_.Open(archive_file.c_str());
  const char *dir = info_->source_dir.c_str();
  for (uint32_t i = 0; i < info_->files.size(); ++i) {
    const char *name = info_->files[i].source.c_str();
    FilesDatEntry entry;
    uint32_t size = 0;
    if (loose_files_->Has(dir, name)) {
      size = loose_size(dir, name);
    } else if (archive && archive_.Find(name, &entry)) {
      PlannedMember member = {i, String(name), entry.size, archive_.GroupOf(entry)};
      if (!plan.append(member)) archive = false;  // the rest is read without the thread
      size = entry.size;
    }
    weights_.append(size);
    bytes_total_ += size + 1ull;
  }
  if (plan.size()) ahead_.Start(archive_file.c_str(), plan);
}

void CopyStep::pause_for_the_eye() {
  if (!progress_window()) return;
  uint32_t pause = pause_per_file(info_->copy_delay, info_->files.size());
  if (pause > pause_left_) pause = pause_left_;
  pause_left_ -= pause;
  if (pause) pause_pumping(pause);
}

// The member to path: from the decoding thread when it has it, else read here.
int CopyStep::extract_to(const char *name, const char *path) {
  int ok = 0;
  if (listed_index_ != kNotListed && ahead_.Extract(listed_index_, name, path, &ok, this)) return ok;
  if (!archive_.is_open()) {
    String archive_file = archive_path();
    if (!archive_.Open(archive_file.c_str())) return 0;
  }
  return archive_.Extract(name, path, this);
}

// A member the archive cannot deliver whole must not cost the user a file: an existing
// destination is replaced only after the member came out whole into a fresh file beside it.
int CopyStep::replace_with_member(const char *name, const char *destination) {
  char dir[MAX_PATH];
  char temp[MAX_PATH];
  if (!parent_dir(destination, dir, sizeof dir)) return 0;
  if (!GetTempFileNameA(dir, "zdt", 0, temp)) return 0;
  if (!extract_to(name, temp)) {
    DeleteFileA(temp);
    return 0;
  }
  DeleteFileA(destination);
  if (!MoveFileA(temp, destination)) {
    DeleteFileA(temp);
    return 0;
  }
  return 1;
}

// A name the archive does not hold fails like a damaged member: Extract looks it up first. A new
// destination is written directly (what was written of a member that fails is deleted again);
// occupied tells whether a file lies at destination now.
int CopyStep::extract_from_archive(const char *name, const char *destination, bool occupied) {
  file_bytes_ = 0;
  int ok = occupied ? replace_with_member(name, destination) : extract_to(name, destination);
  if (!keep_archive_open_) archive_.Close();
  return ok;
}

// 1 when the file now lies at destination; *loose tells whether it came from a loose file.
int CopyStep::put_file(const char *source_name, const String &source, const String &destination, bool occupied,
                       bool *loose) {
  *loose = loose_files_ ? loose_files_->Has(info_->source_dir.c_str(), source_name) != 0
                        : is_regular_file(source.c_str());
  if (*loose) return CopyFileA(source.c_str(), destination.c_str(), FALSE) != 0;
  return extract_from_archive(source_name, destination.c_str(), occupied);
}

}  // namespace

int resolve_destination(SetupInfo *info, const char *value, String *out) {
  if (!value) return 0;
  String path;
  if (value[0] == '%') {
    if (value[1] == '1' || value[1] == '2') {
      if (!append_system_dir(value[1], &path)) return 0;
    } else if (value[1] == '3') {
      char root[MAX_PATH] = {0};
      if (info->install_dir.length() < 3) return 0;
      get_drive_path(info->install_dir.c_str(), root);
      path = root;
    } else {
      return 0;  // no such directory code: never turn it into an empty or relative path
    }
    path.append(value + 2);
  } else {
    if (info->install_dir.length() == 0) return 0;
    path = info->install_dir;
    path.append("\\");
    path.append(value);
  }
  *out = path;
  return 1;
}

int CopyStep::copy_one(const char *source_name, const char *dest_value) {
  SetupInfo *info = info_;
  SetupDispatchTable *table = table_;
  String destination;
  // An unusable destination value still goes through the hooks, as written, and fails.
  int resolved = resolve_destination(info, dest_value, &destination);
  if (!resolved) destination = dest_value;
  String source = info->source_dir;
  source.append("\\");
  source.append(source_name);

  int r = table->CopyFileBefore(info, source, destination, nullptr);
  if (r == RESULT_CANCELLED || r == RESULT_FAILED) return r;
  // The window names where the file goes: its source may be a temporary folder the maker never made.
  if (file_pacer_.due()) progress_set_file(destination.c_str());

  // A file that lay at the destination before and was not replaced is never recorded: the
  // uninstall would delete what belongs to someone else.
  bool there_before = resolved && is_regular_file(destination.c_str());
  // An existing destination is moved aside first and put back at once when no new file came.
  // Each look at a path that is not there costs some systems a search of its directory: the one
  // look above serves all three.
  int kept = resolved && writer_->file_before(destination.c_str(), there_before ? 1 : 0);
  bool occupied = there_before && !writer_->journaling();
  bool loose = false;
  if (kept && put_file(source_name, source, destination, occupied, &loose)) {
    writer_->file_made(destination.c_str());
    if (log_active())
      log_line("file: %s -> %s (%lu bytes)", source.c_str(), destination.c_str(),
               loose ? loose_or_member_size(&archive_, destination.c_str()) : file_bytes_);
  } else {
    if (kept) writer_->file_not_written(destination.c_str());
    r = table->CopyFileFailed(info, source, destination, nullptr);
    if (r != RESULT_GO_ON) return r;
    // The hook went on: a file that is there now and was not before is one the hook put in
    // place (a Retry that copied it), and the uninstall must remove it like any other.
    if (resolved && !there_before && is_regular_file(destination.c_str())) writer_->file_made(destination.c_str());
  }
  r = table->CopyFileAfter(info, source, destination, nullptr);
  if (r == RESULT_GO_ON || skips_dialog(r)) pause_for_the_eye();
  pump_pending_messages();
  return r;
}

// Walks FILES by index, so a hook that appends to the list cannot leave the cursor dangling.
int CopyStep::copy_listed() {
  SetupInfo *info = info_;
  LooseFiles loose_files;
  loose_files_ = &loose_files;
  keep_archive_open_ = true;
  plan_files();
  int r = RESULT_GO_ON;
  for (uint32_t i = 0; i < info->files.size(); ++i) {
    info->files_cursor = &info->files[i];
    String source = info->files[i].source;
    String dest = info->files[i].dest;
    uint64_t before = bytes_done_;
    listed_index_ = i;
    r = copy_one(source.c_str(), dest.c_str());
    listed_index_ = kNotListed;
    if (r != RESULT_GO_ON) break;
    // Whatever the file was written from, it counts its planned weight once it is done.
    bytes_done_ = before + (i < weights_.size() ? weights_[i] + 1ull : 0);
    show_bytes(i + 1 == info->files.size());
  }
  ahead_.Stop();  // at once, whatever it was decoding
  if (r == RESULT_GO_ON) info->files_cursor = info->files.end();
  loose_files_ = nullptr;
  keep_archive_open_ = false;
  archive_.Close();
  return r;
}

namespace {

// The progress dialog is missing from both modules (or cannot be made): named by its number.
int progress_failure() {
  DWORD error = GetLastError();
  char dialog[16];
  if (!format_text(dialog, sizeof dialog, "%d", IDD_PROGRESS)) dialog[0] = 0;
  return note_step_failure(IDS_PROGRESS_NOT_OPENED, dialog, error);
}

}  // namespace

int copy_one_file(ChangeWriter *writer, SetupDispatchTable *table, const char *source_name, const char *dest_value) {
  CopyStep step(writer, table);
  return step.copy_one(source_name, dest_value);
}

int copy_files(ChangeWriter *writer, SetupDispatchTable *table, bool *close_main_window) {
  SetupInfo *info = writer->info();
  table->CopyBefore(info, nullptr);
  if (progress_open(info->main_window, info) != 0) return progress_failure();
  progress_set_title("Please Wait : Copying Files");
  progress_set_file("");
  progress_set_range(0);
  progress_set_pos(0);
  progress_set_range(kBarSteps);
  pump_pending_messages();

  CopyStep step(writer, table);
  int r = step.copy_listed();
  if (r == 0) {
    progress_close();
    r = step.copy_one("setup.exe", "setup.exe");
    if (r == 0) r = step.copy_one("dsetup.dll", "dsetup.dll");
  }
  progress_close();
  if (r != 0) {
    if (close_main_window) {
      *close_main_window = true;
    } else {
      SendMessageA(info->main_window, WM_CLOSE, 0, 0);
    }
    return -1;
  }
  table->CopyAfter(info, nullptr);
  return 0;
}
