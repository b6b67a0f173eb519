// Scratch folders and registry keys for tests.
#include "support/scratch.h"

#include <cstdio>
#include <functional>

void delete_key_tree(HKEY root, const std::string &path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  char name[512];
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    delete_key_tree(root, path + "\\" + name);
  }
  RegCloseKey(key);
  RegDeleteKeyA(root, path.c_str());
}

namespace {

// Calls visit(full path, is a folder) for everything below path, a folder's content before it.
void each_below(const std::string &path, const std::function<void(const std::string &, bool)> &visit) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    std::string full = path + "\\" + name;
    bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder) each_below(full, visit);
    visit(full, folder);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

void delete_dir_tree(const std::string &path) {
  each_below(path, [](const std::string &full, bool folder) {
    if (folder) {
      RemoveDirectoryA(full.c_str());
      return;
    }
    SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(full.c_str());
  });
  RemoveDirectoryA(path.c_str());
}

std::string tree_listing(const std::string &path) {
  std::string all;
  each_below(path, [&all](const std::string &full, bool) { all += full + "\n"; });
  return all;
}

ScratchDir::ScratchDir(const char *name) {
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  std::string base = (n == 0 || n >= sizeof temp) ? std::string("C:\\") : std::string(temp);
  if (base.back() != '\\') base += '\\';
  path_ = base + "zindle-" + name;
  delete_dir_tree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { delete_dir_tree(path_); }

ScratchKey::ScratchKey(const char *name) : path_(std::string("Software\\ZindleTests\\") + name) {
  delete_key_tree(HKEY_CURRENT_USER, path_);
}

ScratchKey::~ScratchKey() { delete_key_tree(HKEY_CURRENT_USER, path_); }

std::string read_file(const std::string &path) {
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return "";
  std::string bytes;
  char block[4096];
  size_t n;
  while ((n = fread(block, 1, sizeof block, f)) > 0) bytes.append(block, n);
  fclose(f);
  return bytes;
}

bool write_file(const std::string &path, const std::string &bytes) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok;
}

bool file_exists(const std::string &path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool dir_exists(const std::string &path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}
