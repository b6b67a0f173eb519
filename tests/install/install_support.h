// Shared pieces of the install suite: a hook table that records and answers the copy hooks, a
// files.dat writer, registry and shortcut readers, a message-box answerer and a fresh-process runner.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "install/change_writer.h"
#include "install/progress_window.h"
#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"
#include "support/files_dat_writer.h"
#include "support/window_driver.h"

namespace install_test {

// A step's writer for info without a journal, as outside an install run:
// copy_files(Unjournaled(&info), &table).
struct Unjournaled {
  explicit Unjournaled(SetupInfo *info) : writer(info, nullptr) {}
  operator ChangeWriter *() { return &writer; }
  ChangeWriter writer;
};

// ---- hooks -------------------------------------------------------------------------------

// What the progress window showed when a per-file hook ran.
struct ProgressState {
  bool open = false;
  unsigned long pos = 0;
  unsigned long range_high = 0;
  std::string file;
  std::string title;
  std::string bar_class;
};

struct HookCall {
  std::string hook;
  std::string source;
  std::string destination;
  ProgressState progress;
};

inline ProgressState progress_state() {
  ProgressState state;
  HWND window = progress_window();
  if (!window) return state;
  state.open = true;
  HWND bar = GetDlgItem(window, 301);
  state.pos = static_cast<unsigned long>(SendMessageA(bar, PBM_GETPOS, 0, 0));
  state.range_high = static_cast<unsigned long>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
  char text[512] = {0};
  GetDlgItemTextA(window, 300, text, sizeof text);
  state.file = text;
  GetWindowTextA(window, text, sizeof text);
  state.title = text;
  GetClassNameA(bar, text, sizeof text);
  state.bar_class = text;
  return state;
}

// Logs every copy hook in order; `answer` decides each per-file result (default: go on).
class RecordingTable : public SetupDispatchTable {
 public:
  std::vector<HookCall> calls;
  std::function<int(const std::string &hook, const std::string &source)> answer;

  int CopyBefore(SetupInfo *, void *) override { return log("CopyBefore", "", ""); }
  int CopyAfter(SetupInfo *, void *) override { return log("CopyAfter", "", ""); }
  int CopyFileBefore(SetupInfo *, String source, String destination, void *) override {
    return log("CopyFileBefore", source.c_str(), destination.c_str());
  }
  int CopyFileFailed(SetupInfo *, String source, String destination, void *) override {
    return log("CopyFileFailed", source.c_str(), destination.c_str());
  }
  int CopyFileAfter(SetupInfo *, String source, String destination, void *) override {
    return log("CopyFileAfter", source.c_str(), destination.c_str());
  }

  // The hooks named `hook`, as "source -> destination" texts, in order.
  std::vector<std::string> of(const std::string &hook) const {
    std::vector<std::string> out;
    for (const HookCall &call : calls)
      if (call.hook == hook) out.push_back(call.source + " -> " + call.destination);
    return out;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const HookCall &call : calls) out.push_back(call.hook);
    return out;
  }

 private:
  int log(const char *hook, const char *source, const char *destination) {
    calls.push_back({hook, source, destination, progress_state()});
    return answer ? answer(hook, source) : 0;
  }
};

// ---- files.dat ----------------------------------------------------------------------------

// Archives come from the one test writer.
using Member = FilesDatMember;
inline std::string build_files_dat(const std::vector<Member> &members) { return make_files_dat(members); }

inline void put32(std::string *out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Recognisable content of a given length.
inline std::string pattern(size_t length, unsigned salt) {
  std::string bytes(length, '\0');
  for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 31 + salt * 7 + (i >> 8)) & 0xFF);
  return bytes;
}

// ---- registry -----------------------------------------------------------------------------

inline bool reg_string(HKEY root, const std::string &key, const char *name, std::string *out) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  char buffer[2048];
  DWORD size = sizeof buffer - 1, type = 0;
  LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(buffer), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  buffer[size] = 0;
  *out = buffer;
  return true;
}

inline std::string reg_string_or(HKEY root, const std::string &key, const char *name, const char *missing) {
  std::string text;
  return reg_string(root, key, name, &text) ? text : missing;
}

inline bool reg_dword(HKEY root, const std::string &key, const char *name, DWORD *out) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  DWORD size = sizeof(DWORD), type = 0;
  LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE *>(out), &size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS && type == REG_DWORD;
}

inline bool reg_key_exists(HKEY root, const std::string &key) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

inline bool reg_value_exists(HKEY root, const std::string &key, const char *name) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  LONG rc = RegQueryValueExA(handle, name, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS;
}

inline void reg_set_string(HKEY root, const std::string &key, const char *name, const std::string &text) {
  HKEY handle;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    return;
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(handle);
}

inline void reg_delete_value(HKEY root, const std::string &key, const char *name) {
  HKEY handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}

// Sets (or, with `present` false, deletes) one registry text for the life of the object and puts
// back what was there before.
class RegValueOverride {
 public:
  RegValueOverride(HKEY root, std::string key, const char *name, bool present, const std::string &text)
      : root_(root), key_(std::move(key)), name_(name) {
    had_ = reg_string(root_, key_, name_.c_str(), &old_);
    if (present)
      reg_set_string(root_, key_, name_.c_str(), text);
    else
      reg_delete_value(root_, key_, name_.c_str());
  }
  ~RegValueOverride() {
    if (had_)
      reg_set_string(root_, key_, name_.c_str(), old_);
    else
      reg_delete_value(root_, key_, name_.c_str());
  }

 private:
  HKEY root_;
  std::string key_;
  std::string name_;
  bool had_;
  std::string old_;
};

// ---- shortcuts ----------------------------------------------------------------------------

struct Shortcut {
  bool loaded = false;
  std::string target;
  std::string arguments;
  std::string working_dir;
  std::string icon_file;
  int icon_index = -1;
};

// Long form of a path the link stores in short form (the link shortens some of its paths).
inline std::string long_path(const std::string &path) {
  char buffer[MAX_PATH * 2];
  DWORD n = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
  return (n == 0 || n >= sizeof buffer) ? path : std::string(buffer);
}

inline Shortcut read_shortcut(const std::string &file) {
  Shortcut out;
  CoInitialize(nullptr);
  IShellLinkA *link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void **>(&link)))) {
    IPersistFile *persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist)))) {
      WCHAR wide[MAX_PATH * 2];
      MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH * 2);
      if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
        char text[MAX_PATH * 2];
        out.loaded = true;
        if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH))) out.target = long_path(text);
        if (SUCCEEDED(link->GetArguments(text, sizeof text))) out.arguments = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) out.working_dir = long_path(text);
        int index = -1;
        if (SUCCEEDED(link->GetIconLocation(text, sizeof text, &index))) {
          out.icon_file = long_path(text);
          out.icon_index = index;
        }
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return out;
}

// ---- message boxes ------------------------------------------------------------------------

// Finds a top-level box with the given caption from a second thread and presses one button.
class BoxAnswerer {
 public:
  BoxAnswerer(const char *caption, int button) : caption_(caption), button_(button) {
    thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
  }
  ~BoxAnswerer() { finish(); }
  // Waits for the thread; the fields below are valid afterwards.
  void finish() {
    if (!thread_) return;
    stop_ = true;
    WaitForSingleObject(thread_, 15000);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  int boxes_answered = 0;
  std::string text;
  bool has_yes_and_no = false;

 private:
  static DWORD WINAPI run(void *self) {
    static_cast<BoxAnswerer *>(self)->watch();
    return 0;
  }
  void watch() {
    for (int round = 0; round < 1500; ++round) {
      HWND box = FindWindowA("#32770", caption_);
      if (box && IsWindowVisible(box)) {
        text = window_driver::message_of(box);
        has_yes_and_no = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO);
        window_driver::press(box, button_);
        ++boxes_answered;
        window_driver::wait_gone(box, 1000);
        continue;
      }
      if (stop_) return;
      Sleep(10);
    }
  }
  const char *caption_;
  int button_;
  volatile bool stop_ = false;
  HANDLE thread_ = nullptr;
};

}  // namespace install_test
