// Portable file helpers of filesdat (POSIX and Win32).
#define _FILE_OFFSET_BITS 64
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

bool seek_to(FILE *file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool stream_length(FILE *file, uint64_t *length) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return false;
  __int64 end = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return false;
  off_t end = ftello(file);
#endif
  if (end < 0) return false;
  *length = static_cast<uint64_t>(end);
  return true;
}

#ifdef _WIN32
static DWORD attributes_of(const std::string &path) { return GetFileAttributesA(path.c_str()); }

bool is_regular_file(const std::string &path) {
  DWORD a = attributes_of(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_directory(const std::string &path) {
  DWORD a = attributes_of(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool path_exists(const std::string &path) { return attributes_of(path) != INVALID_FILE_ATTRIBUTES; }

static bool make_one_dir(const std::string &path) { return _mkdir(path.c_str()) == 0 || errno == EEXIST; }

bool replace_file(const std::string &source, const std::string &target) {
  if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // Windows 95 has no MoveFileExA: delete the old target, then move.
  if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    DeleteFileA(target.c_str());
    if (MoveFileA(source.c_str(), target.c_str())) return true;
  }
  errno = EACCES;
  return false;
}

FILE *create_new_file(const std::string &path) {
  int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE *file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

unsigned long process_id() { return static_cast<unsigned long>(_getpid()); }

bool process_running(unsigned long pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
  if (!process) return GetLastError() != ERROR_INVALID_PARAMETER;
  bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

std::string program_folder(const char *) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path ? parent_of(path) : std::string();
}
#else
bool is_regular_file(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool is_directory(const std::string &path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool path_exists(const std::string &path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

static bool make_one_dir(const std::string &path) { return mkdir(path.c_str(), 0777) == 0 || errno == EEXIST; }

bool replace_file(const std::string &source, const std::string &target) {
  return rename(source.c_str(), target.c_str()) == 0;
}

FILE *create_new_file(const std::string &path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  if (fd < 0) return nullptr;
  FILE *file = fdopen(fd, "wb");
  if (!file) close(fd);
  return file;
}

unsigned long process_id() { return static_cast<unsigned long>(getpid()); }

bool process_running(unsigned long pid) {
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string program_folder(const char *argv0) {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n > 0) {
    path[n] = 0;
    return parent_of(path);
  }
  return argv0 ? parent_of(argv0) : std::string();
}
#endif

static bool is_separator(char c) { return c == '/' || c == kSeparator; }

bool make_dirs(const std::string &path) {
  if (path.empty() || is_directory(path)) return true;
  std::string parent = parent_of(path);
  if (!parent.empty() && parent != path && !make_dirs(parent)) return false;
  return make_one_dir(path) && is_directory(path);
}

std::string join_path(const std::string &dir, const std::string &relative) {
  if (dir.empty()) return relative;
  if (is_separator(dir.back())) return dir + relative;
  return dir + kSeparator + relative;
}

std::string parent_of(const std::string &path) {
  size_t end = path.size();
  while (end > 1 && is_separator(path[end - 1])) --end;  // ignore trailing separators
  size_t cut = end;
  while (cut > 0 && !is_separator(path[cut - 1])) --cut;
  if (cut == 0) return "";
  while (cut > 1 && is_separator(path[cut - 1])) --cut;
  return path.substr(0, cut);
}

std::string error_text() { return strerror(errno); }
