// The directory step: creates the install directory and the script's DIRECTORIES, recording them.
#include "install/directories.h"

#include "install/file_copy.h"
#include "res/resource.h"
#include "util/step_failure.h"

namespace {

int make_directory(ChangeWriter *writer, const char *path) {
  if (writer->create_directory(path, true)) return 0;
  return note_step_failure(IDS_DIR_NOT_CREATED, path, GetLastError());
}

}  // namespace

int create_directories(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  if (info->install_dir.length() == 0) return note_step_failure(IDS_DIR_NOT_CREATED, "", ERROR_INVALID_NAME);
  if (make_directory(writer, info->install_dir.c_str()) != 0) return -1;
  for (uint32_t i = 0; i < info->dirs.size(); ++i) {
    info->dirs_cursor = &info->dirs[i];
    String path;
    const char *value = info->dirs[i].path.c_str();
    if (!resolve_destination(info, value, &path))
      return note_step_failure(IDS_DIR_NOT_CREATED, value, ERROR_INVALID_NAME);
    if (make_directory(writer, path.c_str()) != 0) return -1;
  }
  info->dirs_cursor = info->dirs.end();
  return 0;
}
