// The copy step on real files: loose files and files.dat members, the per-file hooks and their
// results, the progress window, damaged and missing members, and the message pump between files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/file_copy.h"
#include "install/install_support.h"
#include "install/progress_window.h"
#include "support/scratch.h"

using namespace install_test;

namespace {

const UINT kPing = WM_APP + 7;

// A stand-in for setup's main window: counts close requests, a posted message and key input.
struct MainWindow {
  static int closes, pings, keys;
  HWND handle;
  MainWindow() {
    closes = pings = keys = 0;
    WNDCLASSA cls = {};
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "ZindleCopyTestMain";
    RegisterClassA(&cls);
    handle = CreateWindowA("ZindleCopyTestMain", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  ~MainWindow() { DestroyWindow(handle); }
  static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CLOSE) return ++closes, 0;
    if (message == kPing) return ++pings, 0;
    if (message == WM_KEYDOWN) return ++keys, 0;
    return DefWindowProcA(window, message, w, l);
  }
};
int MainWindow::closes, MainWindow::pings, MainWindow::keys;

class FileCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    info_.source_dir = source_.path().c_str();
    info_.install_dir = target_.path().c_str();
    info_.copy_delay = 0;
    info_.setup_instance = info_.resource_instance = GetModuleHandleA(nullptr);
    write_file(source_.file("setup.exe"), "MZ setup program");
    write_file(source_.file("dsetup.dll"), "MZ hook library");
  }
  void add(const char *source, const char *dest) {
    SetupFile file;
    file.source = source;
    file.dest = dest;
    info_.files.append(file);
  }
  void archive(const std::vector<Member> &members) {
    ASSERT_TRUE(write_file(source_.file("files.dat"), build_files_dat(members)));
  }
  std::vector<std::string> recorded_files() const {
    std::vector<std::string> out;
    for (const UninstallInfo &item : info_.uninstall_items)
      if (item.kind == RECORD_FILE) out.push_back(item.value.c_str());
    return out;
  }
  std::string src(const char *name) const { return source_.file(name); }
  std::string dst(const char *name) const { return target_.file(name); }

  ScratchDir source_{"copy-source"};
  ScratchDir target_{"copy-target"};
  SetupInfo info_;
  RecordingTable table_;
};

TEST_F(FileCopyTest, InstallsLooseFilesAndArchiveMembersByteForByte) {
  const std::string multi = pattern(4096 * 3 + 1, 1);  // one byte into a fourth block
  const std::string exact = pattern(512 * 4, 2);       // an exact multiple of its block size
  const std::string small = pattern(7, 3);             // smaller than one block
  archive({{"multi.bin", multi, 4096},
           {"exact.bin", exact, 512},
           {"small.txt", small, 1024},
           {"empty.txt", "", 64},
           {"loose.txt", "archived copy", 16}});
  write_file(src("loose.txt"), "the loose copy wins");
  CreateDirectoryA(dst("sub").c_str(), nullptr);
  write_file(dst("small.txt"), "an older file that the member replaces");
  add("multi.bin", "multi.bin");
  add("EXACT.BIN", "sub\\exact.bin");  // members are found whatever the letter case
  add("small.txt", "small.txt");
  add("empty.txt", "empty.txt");
  add("loose.txt", "loose.txt");
  add("small.txt", "again.txt");  // listed twice: copied and recorded twice

  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));

  EXPECT_EQ(multi, read_file(dst("multi.bin")));
  EXPECT_EQ(exact, read_file(dst("sub\\exact.bin")));
  EXPECT_EQ(small, read_file(dst("small.txt")));
  EXPECT_TRUE(file_exists(dst("empty.txt")));
  EXPECT_EQ("", read_file(dst("empty.txt")));
  EXPECT_EQ("the loose copy wins", read_file(dst("loose.txt")));
  EXPECT_EQ(small, read_file(dst("again.txt")));
  EXPECT_EQ("MZ setup program", read_file(dst("setup.exe")));
  EXPECT_EQ("MZ hook library", read_file(dst("dsetup.dll")));

  const std::vector<std::string> expected_record = {
      dst("multi.bin"), dst("sub\\exact.bin"), dst("small.txt"), dst("empty.txt"),
      dst("loose.txt"), dst("again.txt"),      dst("setup.exe"), dst("dsetup.dll")};
  EXPECT_EQ(expected_record, recorded_files());

  // Hooks: CopyBefore, a Before/After pair per file (full source path, full destination), CopyAfter.
  std::vector<std::string> names = table_.names();
  ASSERT_EQ(2u + 2u * 8u, names.size());
  EXPECT_EQ("CopyBefore", names.front());
  EXPECT_EQ("CopyAfter", names.back());
  std::vector<std::string> before = table_.of("CopyFileBefore");
  EXPECT_EQ(src("multi.bin") + " -> " + dst("multi.bin"), before[0]);
  EXPECT_EQ(src("EXACT.BIN") + " -> " + dst("sub\\exact.bin"), before[1]);
  EXPECT_EQ(src("dsetup.dll") + " -> " + dst("dsetup.dll"), before[7]);
  EXPECT_EQ(before, table_.of("CopyFileAfter"));
  EXPECT_TRUE(table_.of("CopyFileFailed").empty());
  // No stray extraction files are left beside the installed ones.
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(dst("*.tmp").c_str(), &found);
  EXPECT_EQ(INVALID_HANDLE_VALUE, search);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(FileCopyTest, ProgressWindowFollowsTheListedFilesOnly) {
  // The window is brought up to date at most every 40 ms; a pause of 60 ms after each file (the
  // script's copy delay) lets every file show, at most one step late. The bar counts bytes: a
  // quarter of them after the first file, all but a thousandth before the empty last one.
  info_.copy_delay = 60;
  archive({{"a.txt", std::string(100, 'A'), 8}, {"b.txt", std::string(300, 'B'), 8}, {"c.txt", "", 8}});
  add("a.txt", "a.txt");
  add("b.txt", "b.txt");
  add("c.txt", "c.txt");
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));

  std::vector<HookCall> after;
  for (const HookCall &call : table_.calls)
    if (call.hook == "CopyFileAfter") after.push_back(call);
  ASSERT_EQ(5u, after.size());
  const unsigned long kLeast[] = {0, 248, 995}, kMost[] = {250, 998, 1000};
  for (int i = 0; i < 3; ++i) {
    const ProgressState &p = after[i].progress;
    ASSERT_TRUE(p.open) << i;
    EXPECT_EQ("Please Wait : Copying Files", p.title);
    EXPECT_EQ("msctls_progress32", p.bar_class);
    EXPECT_EQ(1000u, p.range_high) << "the bar counts in thousandths";
    EXPECT_EQ(after[i].destination, p.file) << "where the file being copied goes is shown";
    EXPECT_GE(p.pos, kLeast[i]) << "bar after file " << i << " counts the bytes written";
    EXPECT_LE(p.pos, kMost[i]) << "bar after file " << i << " counts the bytes written";
  }
  // setup.exe and dsetup.dll are copied after the window is closed.
  EXPECT_FALSE(after[3].progress.open);
  EXPECT_FALSE(after[4].progress.open);
  EXPECT_EQ(nullptr, progress_window());
  // CopyBefore runs before the window opens.
  EXPECT_FALSE(table_.calls.front().progress.open);
}

TEST_F(FileCopyTest, EmptyListStillInstallsSetupAndItsHookLibrary) {
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));
  EXPECT_EQ((std::vector<std::string>{dst("setup.exe"), dst("dsetup.dll")}), recorded_files());
  EXPECT_EQ((std::vector<std::string>{"CopyBefore", "CopyFileBefore", "CopyFileAfter", "CopyFileBefore",
                                      "CopyFileAfter", "CopyAfter"}),
            table_.names());

  // The range of an empty list is n - 1 taken as 16 bits.
  ASSERT_EQ(0, progress_open(nullptr, &info_));
  progress_set_range(info_.files.size() - 1);
  EXPECT_EQ(65535u, progress_state().range_high);
  progress_close();
}

// One hook answers non-zero for one file; the table says what the copy stage then does.
struct HookOutcome {
  const char *hook;
  const char *file;  // the source name the answer applies to
  int result;
  int stage_result;
  std::vector<std::string> installed;  // destination names that exist afterwards
  std::vector<std::string> recorded;
  bool copy_after_called;
};

TEST_F(FileCopyTest, HookResultsStopOrContinueTheStage) {
  const std::vector<std::string> kAll = {"one.txt", "two.txt", "setup.exe", "dsetup.dll"};
  const HookOutcome outcomes[] = {
      {"CopyFileBefore", "one.txt", 1, -1, {}, {}, false},
      {"CopyFileBefore", "one.txt", -1, -1, {}, {}, false},
      {"CopyFileBefore", "one.txt", 2, 0, kAll, kAll, true},
      {"CopyFileBefore", "two.txt", 3, 0, kAll, kAll, true},
      {"CopyFileAfter", "one.txt", 2, -1, {"one.txt"}, {"one.txt"}, false},
      {"CopyFileAfter", "one.txt", -1, -1, {"one.txt"}, {"one.txt"}, false},
      {"CopyFileAfter", "dsetup.dll", 1, -1, kAll, kAll, false},
      {"CopyFileBefore", "setup.exe", 1, -1, {"one.txt", "two.txt"}, {"one.txt", "two.txt"}, false},
  };
  for (const HookOutcome &o : outcomes) {
    ScratchDir target("copy-hooks");
    SetupInfo info;
    info.source_dir = source_.path().c_str();
    info.install_dir = target.path().c_str();
    info.copy_delay = 0;
    info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
    MainWindow main;
    info.main_window = main.handle;
    write_file(src("one.txt"), "1");
    write_file(src("two.txt"), "2");
    for (const char *name : {"one.txt", "two.txt"}) {
      SetupFile file;
      file.source = name;
      file.dest = name;
      info.files.append(file);
    }
    RecordingTable table;
    const std::string match = src(o.file);
    table.answer = [&](const std::string &hook, const std::string &source) {
      return hook == o.hook && source == match ? o.result : 0;
    };
    std::string label = std::string(o.hook) + " " + o.file + " " + std::to_string(o.result);

    EXPECT_EQ(o.stage_result, copy_files(Unjournaled(&info), &table)) << label;
    std::vector<std::string> installed, recorded;
    for (const char *name : {"one.txt", "two.txt", "setup.exe", "dsetup.dll"})
      if (file_exists(target.file(name))) installed.push_back(name);
    for (const UninstallInfo &item : info.uninstall_items)
      if (item.kind == RECORD_FILE) recorded.push_back(item.value.c_str() + target.path().size() + 1);
    EXPECT_EQ(o.installed, installed) << label;
    EXPECT_EQ(o.recorded, recorded) << label;
    EXPECT_EQ(o.copy_after_called, table.names().back() == "CopyAfter") << label;
    EXPECT_EQ(o.stage_result != 0 ? 1 : 0, MainWindow::closes) << label << ": main window asked to close";
    EXPECT_EQ(nullptr, progress_window()) << label;
  }
}

// Compressed members through the copy step: empty, listed twice, over an existing file (kept
// aside and replaced only once the member came out whole), and damaged (its checksum wrong).
TEST_F(FileCopyTest, CompressedMembersComeOutWholeOrNotAtAll) {
  const std::string text = pattern(70000, 4);
  std::string bytes = build_files_dat({{"text.bin", text, 0, true}, {"empty.txt", "", 0, true}, {"bad.bin", text, 0, true}});
  set_files_dat_field(&bytes, 2, kFilesDatReservedField, 1);
  ASSERT_TRUE(write_file(src("files.dat"), bytes));
  write_file(dst("over.bin"), "an older file");
  write_file(dst("kept.bin"), "an older file");
  const char *const listed[][2] = {{"text.bin", "text.bin"}, {"text.bin", "twice.bin"}, {"empty.txt", "empty.txt"},
                                   {"bad.bin", "bad.bin"},   {"text.bin", "over.bin"},  {"bad.bin", "kept.bin"}};
  for (const auto &file : listed) add(file[0], file[1]);
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));
  for (const char *name : {"text.bin", "twice.bin", "over.bin"}) EXPECT_EQ(text, read_file(dst(name))) << name;
  EXPECT_EQ("", read_file(dst("empty.txt")));
  EXPECT_FALSE(file_exists(dst("bad.bin")));
  EXPECT_EQ("an older file", read_file(dst("kept.bin")));
  EXPECT_EQ(2u, table_.of("CopyFileFailed").size());
}

TEST_F(FileCopyTest, DamagedMemberGoesThroughTheFailureHookAndLeavesNothingBehind) {
  std::string good = pattern(3000, 4);
  std::string damaged = pattern(5000, 5);
  std::string bytes = build_files_dat({{"good.bin", good, 1000}, {"damaged.bin", damaged, 1000}});
  bytes.resize(bytes.size() - 2500);  // the last member's last blocks are cut off
  ASSERT_TRUE(write_file(src("files.dat"), bytes));
  write_file(dst("kept.bin"), "a file that was there before");
  add("good.bin", "good.bin");
  add("damaged.bin", "damaged.bin");
  add("damaged.bin", "kept.bin");

  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_)) << "CopyFileFailed answering 0 lets the stage go on";
  EXPECT_EQ(good, read_file(dst("good.bin")));
  EXPECT_FALSE(file_exists(dst("damaged.bin"))) << "no partial file";
  EXPECT_EQ("a file that was there before", read_file(dst("kept.bin"))) << "an existing file survives";
  EXPECT_EQ((std::vector<std::string>{src("damaged.bin") + " -> " + dst("damaged.bin"),
                                      src("damaged.bin") + " -> " + dst("kept.bin")}),
            table_.of("CopyFileFailed"));
  EXPECT_EQ(5u, table_.of("CopyFileAfter").size()) << "CopyFileAfter still follows each failure";
  EXPECT_EQ((std::vector<std::string>{dst("good.bin"), dst("setup.exe"), dst("dsetup.dll")}), recorded_files())
      << "only what was put in place is recorded as installed";

  // A failure hook that answers non-zero ends the stage at that file.
  SetupInfo info;
  info.source_dir = info_.source_dir;
  info.install_dir = info_.install_dir;
  info.copy_delay = 0;
  info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
  info.files.append(info_.files[1]);
  info.files.append(info_.files[0]);
  RecordingTable stopping;
  stopping.answer = [](const std::string &hook, const std::string &) { return hook == "CopyFileFailed" ? -1 : 0; };
  EXPECT_EQ(-1, copy_files(Unjournaled(&info), &stopping));
  EXPECT_EQ((std::vector<std::string>{"CopyBefore", "CopyFileBefore", "CopyFileFailed"}), stopping.names());
  EXPECT_EQ(0u, info.uninstall_items.size());
}

TEST_F(FileCopyTest, FilesFoundNowhereAndUnusableDestinationsAreFailures) {
  struct Case {
    const char *source;
    const char *dest;
    bool with_archive;
    std::string hook_destination;
  };
  const Case cases[] = {
      {"absent.txt", "absent.txt", true, dst("absent.txt")},
      {"absent.txt", "absent.txt", false, dst("absent.txt")},
      {"", "", true, dst("")},
      {"one.txt", "%4one.txt", true, "%4one.txt"},
      {"one.txt", "%", true, "%"},
  };
  write_file(src("one.txt"), "1");
  for (const Case &c : cases) {
    DeleteFileA(src("files.dat").c_str());
    if (c.with_archive) archive({{"other.txt", "x", 4}});
    SetupInfo info;
    info.source_dir = info_.source_dir;
    info.install_dir = info_.install_dir;
    info.copy_delay = 0;
    RecordingTable table;
    EXPECT_EQ(0, copy_one_file(Unjournaled(&info), &table, c.source, c.dest)) << c.dest;
    EXPECT_EQ((std::vector<std::string>{"CopyFileBefore", "CopyFileFailed", "CopyFileAfter"}), table.names())
        << c.source << " " << c.dest;
    EXPECT_EQ(src(c.source) + " -> " + c.hook_destination, table.of("CopyFileFailed").at(0));
    EXPECT_EQ(0u, info.uninstall_items.size()) << c.dest;
  }
  EXPECT_FALSE(file_exists(dst("absent.txt")));
}

TEST_F(FileCopyTest, ProgressWindowComesFromTheResourceLibraryOrSetupItself) {
  HMODULE no_dialogs = GetModuleHandleA("kernel32.dll");
  add("one.txt", "one.txt");
  write_file(src("one.txt"), "1");

  info_.resource_instance = no_dialogs;  // a resource library without dialog 3005: setup's own
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));
  EXPECT_TRUE(table_.calls[1].progress.open);

  MainWindow main;
  info_.main_window = main.handle;
  info_.setup_instance = no_dialogs;  // neither module has it: the stage fails at once
  RecordingTable table;
  EXPECT_EQ(-1, copy_files(Unjournaled(&info_), &table));
  EXPECT_EQ((std::vector<std::string>{"CopyBefore"}), table.names());
  EXPECT_EQ(0, MainWindow::closes);
}

TEST_F(FileCopyTest, WindowsStayResponsiveBetweenFilesButTakeNoInput) {
  MainWindow main;
  info_.main_window = main.handle;
  for (int i = 0; i < 3; ++i) add("one.txt", "one.txt");
  write_file(src("one.txt"), "1");
  int pings_seen_in_second_file = -1;
  table_.answer = [&](const std::string &hook, const std::string &) {
    if (hook == "CopyFileBefore" && pings_seen_in_second_file < 0 && MainWindow::pings == 0) {
      PostMessageA(main.handle, kPing, 0, 0);
      PostMessageA(main.handle, WM_KEYDOWN, VK_ESCAPE, 0);
      pings_seen_in_second_file = 0;
    } else if (hook == "CopyFileBefore" && pings_seen_in_second_file == 0) {
      pings_seen_in_second_file = MainWindow::pings;
    }
    return 0;
  };
  PostQuitMessage(5);
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));
  EXPECT_EQ(1, pings_seen_in_second_file) << "posted messages are dispatched after each file";
  EXPECT_EQ(0, MainWindow::keys) << "keyboard input is not delivered during the copy";
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "a quit request survives";
  EXPECT_EQ(5u, msg.wParam);
}

// A timer that fell due during the copy still fires in the loop that owns it.
TEST_F(FileCopyTest, DueTimersAreLeftForTheirOwnLoop) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) continue;  // a quit request would end every pump at once
  UINT_PTR timer = SetTimer(nullptr, 0, 400, nullptr);
  Sleep(450);
  ASSERT_EQ(0, copy_files(Unjournaled(&info_), &table_));
  EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  KillTimer(nullptr, timer);
}

}  // namespace
