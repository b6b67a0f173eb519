// Copy-step benchmark: installs the files named in a list from files.dat through copy_files and
// copies the same files raw with CopyFileA on the same disk, then prints both throughputs and
// their ratio. Usage: copy_bench SOURCE_DIR LOOSE_DIR OUT_DIR LIST_FILE [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "install/file_copy.h"
#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

namespace {

double now_seconds() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Times the listed files only: from the first file's CopyFileBefore to the last listed file's
// CopyFileAfter, so opening and closing the progress window is not part of the figure.
class TimingTable : public SetupDispatchTable {
 public:
  explicit TimingTable(size_t listed) : listed_(listed) {}
  int CopyFileBefore(SetupInfo *, String, String, void *) override {
    if (seen_ == 0) start_ = now_seconds();
    return 0;
  }
  int CopyFileFailed(SetupInfo *, String source, String, void *) override {
    fprintf(stderr, "failed: %s\n", source.c_str());
    ++failures_;
    return 0;
  }
  int CopyFileAfter(SetupInfo *, String, String, void *) override {
    if (++seen_ == listed_) end_ = now_seconds();
    return 0;
  }
  double seconds() const { return end_ - start_; }
  int failures() const { return failures_; }

 private:
  size_t listed_;
  size_t seen_ = 0;
  int failures_ = 0;
  double start_ = 0, end_ = 0;
};

std::vector<std::string> read_list(const char *path, unsigned long long *total, const std::string &loose) {
  std::vector<std::string> names;
  FILE *list = fopen(path, "r");
  if (!list) return names;
  char line[MAX_PATH];
  while (fgets(line, sizeof line, list)) {
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    if (name.empty()) continue;
    names.push_back(name);
    HANDLE file = CreateFileA((loose + "\\" + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD high = 0;
      DWORD low = GetFileSize(file, &high);
      *total += (static_cast<unsigned long long>(high) << 32) | low;
      CloseHandle(file);
    }
  }
  fclose(list);
  return names;
}

// Deletes every file below dir and keeps the folders, so both sides write into folders that exist.
void empty_dir(const std::string &dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string path = dir + "\\" + found.cFileName;
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      DeleteFileA(path.c_str());
    } else if (found.cFileName[0] != '.') {
      empty_dir(path);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// The folder of every listed name below out (names hold at most one folder level).
void make_folders(const std::vector<std::string> &names, const std::string &out) {
  for (const std::string &name : names) {
    size_t slash = name.rfind('\\');
    if (slash != std::string::npos) CreateDirectoryA((out + "\\" + name.substr(0, slash)).c_str(), nullptr);
  }
}

double raw_copy(const std::vector<std::string> &names, const std::string &loose, const std::string &out) {
  empty_dir(out);
  make_folders(names, out);
  double start = now_seconds();
  for (const std::string &name : names)
    if (!CopyFileA((loose + "\\" + name).c_str(), (out + "\\" + name).c_str(), FALSE))
      fprintf(stderr, "raw copy failed: %s\n", name.c_str());
  return now_seconds() - start;
}

double copy_step(const std::vector<std::string> &names, const std::string &source, const std::string &out,
                 int *failures) {
  empty_dir(out);
  make_folders(names, out);
  SetupInfo info;
  info.source_dir = source.c_str();
  info.install_dir = out.c_str();
  info.copy_delay = 0;
  info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
  for (const std::string &name : names) {
    SetupFile file;
    file.source = name.c_str();
    file.dest = name.c_str();
    info.files.append(file);
  }
  TimingTable table(names.size());
  ChangeWriter writer(&info, nullptr);
  if (copy_files(&writer, &table) != 0) fprintf(stderr, "copy step stopped\n");
  *failures += table.failures();
  return table.seconds();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: copy_bench SOURCE_DIR LOOSE_DIR OUT_DIR LIST_FILE [ROUNDS]\n");
    return 2;
  }
  const std::string source = argv[1], loose = argv[2], out = argv[3];
  int rounds = argc > 5 ? atoi(argv[5]) : 5;
  unsigned long long total = 0;
  std::vector<std::string> names = read_list(argv[4], &total, loose);
  if (names.empty() || total == 0) {
    fprintf(stderr, "no files listed\n");
    return 2;
  }
  const std::string raw_out = out + "\\raw", step_out = out + "\\installed";
  CreateDirectoryA(out.c_str(), nullptr);
  CreateDirectoryA(raw_out.c_str(), nullptr);
  CreateDirectoryA(step_out.c_str(), nullptr);

  // Each round is a pair run back to back, the two taking turns to go first, so that both sides
  // of a ratio meet the same load on a shared machine; the figure is the median of the pairs.
  std::vector<double> ratios, raws, steps;
  int failures = 0;
  for (int round = 0; round < rounds; ++round) {
    double raw, step;
    if (round % 2 == 0) {
      raw = raw_copy(names, loose, raw_out);
      step = copy_step(names, source, step_out, &failures);
    } else {
      step = copy_step(names, source, step_out, &failures);
      raw = raw_copy(names, loose, raw_out);
    }
    printf("pair %d: raw copy %.3f s, copy step %.3f s, ratio %.2f\n", round + 1, raw, step, raw / step);
    ratios.push_back(raw / step);
    raws.push_back(raw);
    steps.push_back(step);
  }
  const double mb = static_cast<double>(total) / (1024.0 * 1024.0);
  std::sort(ratios.begin(), ratios.end());
  printf("files: %u, %.1f MB\n", static_cast<unsigned>(names.size()), mb);
  printf("raw copy (CopyFileA):        median %.3f s, %.1f MB/s\n", median(raws), mb / median(raws));
  printf("copy step (files.dat):       median %.3f s, %.1f MB/s\n", median(steps), mb / median(steps));
  printf("ratio copy step / raw copy:  %.2f (median of %d pairs, spread %.2f to %.2f)\n", median(ratios), rounds,
         ratios.front(), ratios.back());
  if (failures) printf("failed files: %d\n", failures);
  return failures ? 1 : 0;
}
