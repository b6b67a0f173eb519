// The directory step: creates the install directory and the script's DIRECTORIES, recording them.
#include "install/directories.h"

#include "install/file_copy.h"
#include "sdk/utilities.h"

int create_directories(SetupInfo *info) {
  if (info->install_dir.length() == 0) return -1;
  if (!create_path(info, info->install_dir.c_str(), 1)) return -1;
  for (uint32_t i = 0; i < info->dirs.size(); ++i) {
    info->dirs_cursor = &info->dirs[i];
    String path;
    if (!resolve_destination(info, info->dirs[i].path.c_str(), &path)) return -1;
    if (!create_path(info, path.c_str(), 1)) return -1;
  }
  info->dirs_cursor = info->dirs.end();
  return 0;
}
