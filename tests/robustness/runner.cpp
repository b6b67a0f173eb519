// runner: the Windows half of the robustness harness, one process for a whole campaign in one Wine
// session. One command a line, fields split by tabs; every answer ends with a line "END".
//   run TIMEOUT_MS DIR TEMP CMD...  starts every CMD at once in DIR with TEMP as the temporary
//       folder, presses the way out of every dialog ("BOX texts"), waits until no setup.exe runs
//       (or ends them all at the time limit), then "RESULT ok|timeout EXIT..."
//   snap / diff PREFIX...   digest of the watched registry / "REG key" per key changed outside them
//   reg KEY NAME sz|dw DATA / hold PATH / release   write a value / open a file without sharing
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "../support/window_driver.h"

namespace {

typedef std::vector<std::string> Fields;

// Adds a window's text, on one line, to the texts at `texts`.
BOOL CALLBACK add_text(HWND window, LPARAM texts) {
  std::string text = window_driver::text_of(window);
  for (char &c : text) c = c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
  *reinterpret_cast<std::string *>(texts) += "|" + text;
  return TRUE;
}

// Every visible dialog is answered with its way out (never Retry or Yes), OK once it is enabled.
BOOL CALLBACK answer(HWND window, LPARAM) {
  char cls[16] = {0};
  GetClassNameA(window, cls, sizeof cls);
  if (!IsWindowVisible(window) || strcmp(cls, "#32770") != 0) return TRUE;
  for (int id : {IDCANCEL, IDNO, IDABORT, IDIGNORE, IDOK}) {
    HWND button = GetDlgItem(window, id);
    if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) continue;
    std::string texts;
    if (!GetPropA(window, "rb") && add_text(window, reinterpret_cast<LPARAM>(&texts)))
      EnumChildWindows(window, add_text, reinterpret_cast<LPARAM>(&texts)), printf("BOX\t%s\n", texts.c_str());
    SetPropA(window, "rb", reinterpret_cast<HANDLE>(1));
    window_driver::press(window, id);
    break;
  }
  return TRUE;
}

// Ends every setup.exe when `end`; the number of them running.
int setups(bool end) {
  int count = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snap, &entry); more; more = Process32Next(snap, &entry)) {
    if (lstrcmpiA(entry.szExeFile, "setup.exe") != 0) continue;
    ++count;
    HANDLE process = end ? OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID) : nullptr;
    if (process) TerminateProcess(process, 0xDEAD), CloseHandle(process);
  }
  CloseHandle(snap);
  return count;
}

void run(const Fields &f) {
  DWORD timeout = strtoul(f[1].c_str(), nullptr, 10), begin = GetTickCount();
  SetEnvironmentVariableA("TEMP", f[3].c_str());
  SetEnvironmentVariableA("TMP", f[3].c_str());
  std::vector<HANDLE> started;
  for (size_t i = 4; i < f.size(); ++i) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Wine now and then refuses a start while the case before is still winding down: try again.
    bool ok = false;
    for (int attempt = 0; attempt < 3 && !ok; ++attempt) {
      if (attempt) Sleep(500);
      std::string command = f[i];
      ok = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, f[2].c_str(), &startup, &process);
    }
    if (ok) CloseHandle(process.hThread);
    started.push_back(ok ? process.hProcess : nullptr);
  }
  bool late = false, running = true;
  for (; running && !late; Sleep(20)) {
    EnumWindows(answer, 0);
    if ((late = GetTickCount() - begin >= timeout)) setups(true), Sleep(300);
    running = setups(false) > 0;
    for (HANDLE h : started) running = running || (h && WaitForSingleObject(h, 0) == WAIT_TIMEOUT);
  }
  printf("RESULT\t%s", late ? "timeout" : "ok");
  for (HANDLE h : started) {
    DWORD code = 0xFFFFFFFF;
    if (h) WaitForSingleObject(h, 2000), GetExitCodeProcess(h, &code), CloseHandle(h);
    printf("\t%lu%s", code, h == started.back() ? "\n" : "");
  }
}

HKEY root_of(const std::string &key, std::string *path) {
  static const struct { const char *name; HKEY key; } roots[] = {{"HKLM", HKEY_LOCAL_MACHINE}, {"HKCU", HKEY_CURRENT_USER}};
  size_t slash = key.find('\\');
  *path = slash == std::string::npos ? "" : key.substr(slash + 1);
  for (const auto &r : roots)
    if (key.compare(0, slash, r.name) == 0) return r.key;
  return nullptr;
}

typedef std::map<std::string, unsigned long long> Digest;

// One hash a key (its values), walked `levels` deep; the large class, system and Wine tables are
// watched at their top levels only (below, through entries of their own).
void digest(HKEY key, const std::string &path, int levels, Digest *out) {
  static char name[16384];
  static BYTE data[65536];
  unsigned long long h = 1469598103934665603ULL;
  DWORD name_size = sizeof name, data_size = sizeof data, type = 0;
  for (DWORD i = 0; RegEnumValueA(key, i, name, &name_size, nullptr, &type, data, &data_size) == ERROR_SUCCESS; ++i) {
    for (DWORD j = 0; j <= name_size + data_size; ++j) h = (h ^ (j <= name_size ? name[j] : data[j - name_size - 1])) * 1099511628211ULL;
    h = (h ^ type) * 1099511628211ULL, name_size = sizeof name, data_size = sizeof data;
  }
  (*out)[path] = h;
  std::vector<std::string> children;
  for (DWORD i = 0; levels > 0 && RegEnumKeyA(key, i, name, sizeof name) == ERROR_SUCCESS; ++i) children.push_back(name);
  for (const std::string &child : children) {
    HKEY sub;
    bool deep = lstrcmpiA(child.c_str(), "Classes") && lstrcmpiA(child.c_str(), "Microsoft") &&
                lstrcmpiA(child.c_str(), "Wow6432Node") && lstrcmpiA(child.c_str(), "Wine");
    if (RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &sub) == ERROR_SUCCESS)
      digest(sub, path + "\\" + child, deep ? levels - 1 : 0, out), RegCloseKey(sub);
  }
}

Digest take_digest() {
  static const struct { const char *key; int levels; } watched[] = {
      {"HKLM\\Software", 12}, {"HKCU", 12}, {"HKLM\\Software\\Classes", 1}, {"HKCU\\Software\\Classes", 1},
      {"HKLM\\Software\\Microsoft", 2}, {"HKCU\\Software\\Microsoft", 2},
      {"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion", 3}, {"HKLM\\System\\CurrentControlSet\\Control", 1}};
  Digest d;
  for (const auto &w : watched) {
    std::string path;
    HKEY root = root_of(w.key, &path), key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) digest(key, w.key, w.levels, &d), RegCloseKey(key);
  }
  return d;
}

Digest g_snap;
std::vector<HANDLE> g_held;

void diff(const Fields &f) {
  Digest now = take_digest();
  for (int pass = 0; pass < 2; ++pass)
    for (const auto &entry : pass ? g_snap : now) {
      auto other = (pass ? now : g_snap).find(entry.first);
      if (other != (pass ? now : g_snap).end() && (pass || other->second == entry.second)) continue;
      bool allowed = false;
      for (size_t i = 1; i < f.size(); ++i) allowed = allowed || !_strnicmp(entry.first.c_str(), f[i].c_str(), f[i].size());
      if (!allowed) printf("REG\t%s%s\n", entry.first.c_str(), pass ? " (deleted)" : "");
    }
  g_snap.swap(now);
}

void command(const Fields &f) {
  std::string path;
  HKEY key, root = f.size() > 1 ? root_of(f[1], &path) : nullptr;
  if (f[0] == "run" && f.size() > 4) run(f);
  else if (f[0] == "snap") g_snap = take_digest();
  else if (f[0] == "diff") diff(f);
  else if (f[0] == "reg" && f.size() > 4 && root && !RegCreateKeyA(root, path.c_str(), &key)) {
    DWORD number = strtoul(f[4].c_str(), nullptr, 0);
    if (f[3] == "dw") RegSetValueExA(key, f[2].c_str(), 0, REG_DWORD, reinterpret_cast<BYTE *>(&number), 4);
    else RegSetValueExA(key, f[2].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(f[4].c_str()), f[4].size() + 1);
    RegCloseKey(key);
  } else if (f[0] == "hold" && f.size() > 1) {
    g_held.push_back(CreateFileA(f[1].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  } else if (f[0] == "release") {
    for (; !g_held.empty(); g_held.pop_back()) CloseHandle(g_held.back());
  }
}

}  // namespace

int main() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  static char line[1 << 16];
  while (fgets(line, sizeof line, stdin)) {
    line[strcspn(line, "\r\n")] = 0;
    Fields f(1);
    for (const char *c = line; *c; ++c)
      if (*c == '\t') f.emplace_back(); else f.back() += *c;
    command(f);
    printf("END\n");
    fflush(stdout);
  }
  return 0;
}
