// Whole folders (POSIX and Win32).
#include "folder_tree.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "file_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <unistd.h>
#endif

namespace {

// The absolute form of an existing path, links resolved; "" when it cannot be had.
std::string full_path(const std::string &given) {
  std::string path = given.empty() ? "." : given;
#ifdef _WIN32
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return "";
  std::string text = full;
  for (char &c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
#else
  char *full = realpath(path.c_str(), nullptr);
  if (!full) return "";
  std::string text = full;
  free(full);
  return text;
#endif
}

bool is_separator(char c) { return c == '/' || c == kSeparator; }

}  // namespace

#ifdef _WIN32
bool list_folder(const std::string &folder, std::vector<std::string> *names) {
  names->clear();
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(join_path(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    errno = ENOENT;
    return false;
  }
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names->push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names->begin(), names->end());
  return true;
}

bool remove_tree(const std::string &path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (DeleteFileA(path.c_str())) return true;
    errno = EACCES;
    return false;
  }
  bool ok = true;
  std::vector<std::string> names;
  // A reparse point is removed as a name, never entered.
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && list_folder(path, &names))
    for (const std::string &name : names) ok = remove_tree(join_path(path, name)) && ok;
  if (RemoveDirectoryA(path.c_str())) return ok;
  errno = EACCES;
  return false;
}

bool move_path(const std::string &source, const std::string &target) {
  if (MoveFileA(source.c_str(), target.c_str())) return true;
  errno = GetLastError() == ERROR_ALREADY_EXISTS ? EEXIST : EACCES;
  return false;
}
#else
bool list_folder(const std::string &folder, std::vector<std::string> *names) {
  names->clear();
  DIR *dir = opendir(folder.c_str());
  if (!dir) return false;
  errno = 0;
  while (struct dirent *entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names->push_back(name);
  }
  int read_error = errno;
  closedir(dir);
  std::sort(names->begin(), names->end());
  errno = read_error;
  return read_error == 0;
}

bool remove_tree(const std::string &path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  if (!S_ISDIR(info.st_mode)) return unlink(path.c_str()) == 0 || errno == ENOENT;
  bool ok = true;
  std::vector<std::string> names;
  if (list_folder(path, &names))
    for (const std::string &name : names) ok = remove_tree(join_path(path, name)) && ok;
  return (rmdir(path.c_str()) == 0 || errno == ENOENT) && ok;
}

bool move_path(const std::string &source, const std::string &target) {
  // rename() would replace an empty folder or a file at target; the caller wants neither.
  if (path_exists(target)) {
    errno = EEXIST;
    return false;
  }
  return rename(source.c_str(), target.c_str()) == 0;
}
#endif

bool is_inside(const std::string &path, const std::string &folder) {
  std::string inner = full_path(path), outer = full_path(folder);
  if (inner.empty() || outer.empty() || inner.size() < outer.size()) return false;
  if (inner.compare(0, outer.size(), outer) != 0) return false;
  return inner.size() == outer.size() || is_separator(inner[outer.size()]) || is_separator(outer.back());
}
