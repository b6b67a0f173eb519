// Scratch places for tests: a temporary folder and a registry key, each removed afterwards.
#pragma once

#include <windows.h>

#include <string>

// A fresh folder under the temporary directory, deleted with everything in it on destruction.
class ScratchDir {
 public:
  explicit ScratchDir(const char *name);
  ~ScratchDir();
  const std::string &path() const { return path_; }
  std::string file(const char *relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// HKCU\Software\ZindleTests\<name>, deleted with its subkeys on construction and destruction.
class ScratchKey {
 public:
  explicit ScratchKey(const char *name);
  ~ScratchKey();
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

// Deletes a key and its whole subtree (works on every Windows version).
void delete_key_tree(HKEY root, const std::string &path);
// Deletes a folder and everything below it.
void delete_dir_tree(const std::string &path);
// The paths below a folder, one per line, for a failed check to print.
std::string tree_listing(const std::string &path);
// Whole content of a file as bytes ("" when missing), and writing one.
std::string read_file(const std::string &path);
bool write_file(const std::string &path, const std::string &bytes);
bool file_exists(const std::string &path);
bool dir_exists(const std::string &path);
