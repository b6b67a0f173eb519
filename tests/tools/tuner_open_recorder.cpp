// Stands in for the program the shell opens web pages with: records what it was asked to open.
// Writes "<argument>|exists" or "<argument>|missing" to opened.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return 2;
  std::string log = self;
  log = log.substr(0, log.rfind('\\') + 1) + "opened.txt";
  std::string target = argc > 1 ? argv[1] : "";
  bool exists = !target.empty() && GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  FILE *f = fopen(log.c_str(), "wb");
  if (!f) return 2;
  fprintf(f, "%s|%s\n", target.c_str(), exists ? "exists" : "missing");
  fclose(f);
  return 0;
}
