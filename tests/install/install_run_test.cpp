// Whole installations of a sample product read from a real setup.ini, with a real files.dat and a
// loose file beside it: every result on disk and in the registry, then the removal of it all; and
// runs that stop at a directory that cannot be made or at a damaged archive member.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "install/install_sequence.h"
#include "install/install_support.h"
#include "install/start_menu.h"
#include "install/uninstall_record.h"
#include "install/version_stamp.h"
#include "script/ini_file.h"
#include "script/script_reader.h"
#include "sdk/utilities.h"
#include "support/message_recorder.h"
#include "support/scratch.h"
#include "uninstall/remove_items.h"

using namespace install_test;

namespace {

const char kProduct[] = "Zindle Sample";
const std::string kRecordKey = std::string("Software\\Quorvane\\") + kProduct + "\\uninstall";
const std::string kAddRemoveKey = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + kProduct;
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kDefaultShellFolders[] = ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

const char kScript[] =
    "[PRODUCTNAME]\nname=Zindle Sample\n"
    "[DEFAULTDIR]\ndir=@Zindle\n"
    "[DIRECTORIES]\ntotal=2\ndir0=bin\ndir1=doc\\notes\n"
    "[FILES]\ntotal=5\n"
    "filesrc0=app.exe\nfiledst0=bin\\app.exe\n"
    "filesrc1=readme.txt\nfiledst1=readme.txt\n"
    "filesrc2=big.bin\nfiledst2=doc\\notes\\big.bin\n"
    "filesrc3=empty.txt\nfiledst3=doc\\empty.txt\n"
    "filesrc4=sample.ini\nfiledst4=%1zindle-sample.ini\n"
    "[REGISTRY ENTRIES]\ntotal=4\n"
    "base0=HKEY_LOCAL_MACHINE\nkey0=Software\\ZindleSampleSettings\nname0=Path\ntype0=s\nvalue0=%1\n"
    "base1=HKEY_CURRENT_USER\nkey1=Software\\ZindleSamplePrefs\nname1=Runs\ntype1=d\nvalue1=0x2A\n"
    "base2=HKEY_CURRENT_USER\nkey2=Software\\ZindleSamplePrefs\nname2=\ntype2=s\nvalue2=%1\\x\n"
    "base3=HKEY_USERS\nkey3=.Default\\Software\\ZindleSample\nname3=Seen\ntype3=d\nvalue3=7\n"
    "[STARTMENU ENTRIES]\nbasepath=Zindle Sample\ntotal=2\n"
    "path0=Zindle Sample\nname0=Sample App\nprog0=app.exe\nwork0=bin\nargs0=--fast\nicon0=1\n"
    "path1=Zindle Sample\nname1=Uninstall Sample\nprog1=%1\n"
    "[ASSOCIATIONS]\ntotal=1\next0=.zsample\nprog0=bin\\app.exe\nicon0=2\n"
    "[DEPEND]\ntotal=1\ndepend0=dsetup.dll\n"
    "[COPYDELAY]\ndelay=0\n"
    "[VERSION]\nnameprefix=ZSample\nmajorhigh=1\nmajorlow=2\nminorhigh=3\nminorlow=4\n";

std::string windows_dir() {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, sizeof dir);
  return dir;
}

std::vector<std::string> record_values(const char *prefix, const char *total_name) {
  std::vector<std::string> out;
  DWORD total = 0;
  if (!reg_dword(HKEY_LOCAL_MACHINE, kRecordKey, total_name, &total)) return {"<no total>"};
  for (DWORD i = 0; i < total; ++i)
    out.push_back(reg_string_or(HKEY_LOCAL_MACHINE, kRecordKey, (prefix + std::to_string(i)).c_str(), "<missing>"));
  return out;
}

// The Programs folder the platform reads. Windows 95 keeps one in the default user profile;
// a fresh Wine prefix has none there, so the test gives it the one such a system has.
class PlatformProgramsFolder {
 public:
  PlatformProgramsFolder() {
    bool nt = is_this_winnt();
    HKEY root = nt ? HKEY_LOCAL_MACHINE : HKEY_USERS;
    const char *key = nt ? kShellFolders : kDefaultShellFolders;
    const char *name = nt ? "Common Programs" : "Programs";
    if (!reg_string(root, key, name, &path_) || path_.empty()) {
      path_ = windows_dir() + "\\Start Menu\\Programs";
      CreateDirectoryA((windows_dir() + "\\Start Menu").c_str(), nullptr);
      CreateDirectoryA(path_.c_str(), nullptr);
      override_ = new RegValueOverride(root, key, name, true, path_);
    }
  }
  ~PlatformProgramsFolder() { delete override_; }
  const std::string &path() const { return path_; }

 private:
  std::string path_;
  RegValueOverride *override_ = nullptr;
};

// The sample product in a source folder, an empty target folder and the platform's Programs
// folder; made inside the test body, so that only the process that runs the test prepares it.
class SampleProduct {
 public:
  SampleProduct() {
    app_ = pattern(70000, 11);
    big_ = pattern(300001, 12);
    GetCurrentDirectoryA(sizeof old_cwd_, old_cwd_);
    write_file(source_.file("setup.ini"), kScript);
    write_file(source_.file("readme.txt"), "Read me: loose beside the archive.\r\n");
    write_file(source_.file("setup.exe"), "MZ the setup program");
    write_file(source_.file("dsetup.dll"), "MZ the hook library");
    write_archive(false);
    SetCurrentDirectoryA(source_.path().c_str());  // setup works from its source directory
    clean_registry();
  }
  ~SampleProduct() {
    SetCurrentDirectoryA(old_cwd_);
    clean_registry();
    DeleteFileA(win_file().c_str());
    delete_dir_tree(programs_.path() + "\\Zindle Sample");
  }
  // The archive; a damaged one has big.bin last with its final blocks cut off.
  void write_archive(bool damaged) {
    std::vector<Member> members = {{"app.exe", app_, 4096},
                                   {"empty.txt", "", 512},
                                   {"sample.ini", "[sample]\r\nx=1\r\n", 16},
                                   {"readme.txt", "archived, never used", 64},
                                   {"big.bin", big_, 65536}};
    std::string bytes = build_files_dat(members);
    if (damaged) bytes.resize(bytes.size() - 70000);
    write_file(source_.file("files.dat"), bytes);
  }
  void clean_registry() {
    delete_key_tree(HKEY_LOCAL_MACHINE, "Software\\ZindleSampleSettings");
    delete_key_tree(HKEY_CURRENT_USER, "Software\\ZindleSamplePrefs");
    delete_key_tree(HKEY_USERS, ".Default\\Software\\ZindleSample");
    delete_key_tree(HKEY_CLASSES_ROOT, ".zsample");
    delete_key_tree(HKEY_CLASSES_ROOT, ".zsample.file.type");
    delete_key_tree(HKEY_LOCAL_MACHINE, std::string("Software\\Quorvane\\") + kProduct);
    delete_key_tree(HKEY_LOCAL_MACHINE, kAddRemoveKey);
    for (const char *suffix : {"_tmaj", "_tmin", "_vmaj", "_vmin"})
      reg_delete_value(HKEY_LOCAL_MACHINE, kVersionStampKey, (std::string("ZSample") + suffix).c_str());
  }
  // The script as setup reads it, installed into the scratch target instead of Program Files.
  void read(SetupInfo *info) {
    dIniFile script;
    ASSERT_EQ(0, read_script(info, &script, GetModuleHandleA(nullptr), source_.path().c_str()));
    ASSERT_STREQ(kProduct, info->product_name.c_str());
    info->install_dir = inst().c_str();
  }
  std::string inst(const char *relative = nullptr) const {
    std::string dir = target_.path() + "\\Zindle Sample";
    return relative ? dir + "\\" + relative : dir;
  }
  std::string src(const char *name) const { return source_.file(name); }
  std::string menu_folder() const { return programs_.path() + "\\Zindle Sample"; }
  std::string menu(const char *relative) const { return menu_folder() + "\\" + relative; }
  std::string win_file() const { return windows_dir() + "\\zindle-sample.ini"; }
  const std::string &programs() const { return programs_.path(); }
  const std::string &app() const { return app_; }
  const std::string &big() const { return big_; }
  std::string target_file(const char *name) const { return target_.file(name); }

 private:
  ScratchDir source_{"run-source"};
  ScratchDir target_{"run-target"};
  PlatformProgramsFolder programs_;
  char old_cwd_[MAX_PATH] = {0};
  std::string app_, big_;
};

TEST(InstallRun, RunsOnTheExpectedPlatform) {
  const char *expected = getenv("ZINDLE_EXPECT_PLATFORM");
  if (!expected) GTEST_SKIP() << "set by the platform runs of the end-to-end suite";
  EXPECT_EQ(std::string(expected) == "nt" ? 1 : 0, is_this_winnt());
  EXPECT_EQ(std::string(expected) == "95" ? 1 : 0, is_this_win95());
}

TEST(InstallRun, InstallsTheSampleProductAndRemovesItAgain) {
  SampleProduct p;
  SetupInfo info;
  p.read(&info);
  ASSERT_EQ(0u, info.copy_delay);
  info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
  RecordingTable table;
  ASSERT_EQ(0, run_install_steps(&info, &table));

  // Files, byte for byte: archive members, the loose file (preferred to its archived copy), the
  // Windows-directory file, setup and its hook library, and the dependency package.
  EXPECT_EQ(p.app(), read_file(p.inst("bin\\app.exe")));
  EXPECT_EQ("Read me: loose beside the archive.\r\n", read_file(p.inst("readme.txt")));
  EXPECT_EQ(p.big(), read_file(p.inst("doc\\notes\\big.bin")));
  EXPECT_TRUE(file_exists(p.inst("doc\\empty.txt")));
  EXPECT_EQ("", read_file(p.inst("doc\\empty.txt")));
  EXPECT_EQ("[sample]\r\nx=1\r\n", read_file(p.win_file()));
  EXPECT_EQ("MZ the setup program", read_file(p.inst("setup.exe")));
  EXPECT_EQ("MZ the hook library", read_file(p.inst("dsetup.dll")));
  std::string package = "^";
  std::string name("dsetup.dll");
  name.resize(260, '\0');
  std::string size(4, '\0');
  put32(&size, 0, 19);
  package += name + size + "MZ the hook library%";
  EXPECT_EQ(package, read_file(p.inst("package.dat")));

  // Hooks: one Before/After pair per file, setup.exe and dsetup.dll last.
  std::vector<std::string> after = table.of("CopyFileAfter");
  ASSERT_EQ(7u, after.size());
  EXPECT_EQ(p.src("app.exe") + " -> " + p.inst("bin\\app.exe"), after[0]);
  EXPECT_EQ(p.src("sample.ini") + " -> " + p.win_file(), after[4]);
  EXPECT_EQ(p.src("dsetup.dll") + " -> " + p.inst("dsetup.dll"), after[6]);
  EXPECT_EQ(after, table.of("CopyFileBefore"));
  EXPECT_EQ("CopyAfter", table.names().back());

  // Registry entries, the Add/Remove entry, the association and the version stamp.
  EXPECT_EQ(p.inst(), reg_string_or(HKEY_LOCAL_MACHINE, "Software\\ZindleSampleSettings", "Path", "?"));
  DWORD number = 0;
  EXPECT_TRUE(reg_dword(HKEY_CURRENT_USER, "Software\\ZindleSamplePrefs", "Runs", &number));
  EXPECT_EQ(42u, number);
  EXPECT_EQ("%1\\x", reg_string_or(HKEY_CURRENT_USER, "Software\\ZindleSamplePrefs", "", "?"));
  EXPECT_TRUE(reg_dword(HKEY_USERS, ".Default\\Software\\ZindleSample", "Seen", &number));
  EXPECT_EQ(7u, number);
  EXPECT_EQ(kProduct, reg_string_or(HKEY_LOCAL_MACHINE, kAddRemoveKey, "DisplayName", "?"));
  EXPECT_EQ(p.inst() + "\\setup.exe -u1 \"Zindle Sample\" 0",
            reg_string_or(HKEY_LOCAL_MACHINE, kAddRemoveKey, "UninstallString", "?"));
  EXPECT_EQ(".zsample.file.type", reg_string_or(HKEY_CLASSES_ROOT, ".zsample", "", "?"));
  EXPECT_EQ(".zsample file", reg_string_or(HKEY_CLASSES_ROOT, ".zsample.file.type", "", "?"));
  EXPECT_EQ(p.inst() + "\\bin\\app.exe,2",
            reg_string_or(HKEY_CLASSES_ROOT, ".zsample.file.type\\DefaultIcon", "", "?"));
  EXPECT_EQ("\"" + p.inst() + "\\bin\\app.exe\" \"%1\"",
            reg_string_or(HKEY_CLASSES_ROOT, ".zsample.file.type\\Shell\\Open\\Command", "", "?"));
  const std::pair<const char *, DWORD> stamps[] = {
      {"ZSample_tmaj", 1}, {"ZSample_tmin", 3}, {"ZSample_vmaj", 2}, {"ZSample_vmin", 4}};
  for (const auto &stamp : stamps) {
    EXPECT_TRUE(reg_dword(HKEY_LOCAL_MACHINE, kVersionStampKey, stamp.first, &number)) << stamp.first;
    EXPECT_EQ(stamp.second, number) << stamp.first;
  }

  // Shortcuts, read back through the shell's own link object.
  Shortcut app = read_shortcut(p.menu("Sample App.lnk"));
  ASSERT_TRUE(app.loaded) << p.menu("Sample App.lnk");
  EXPECT_EQ(p.inst("bin\\app.exe"), app.target);
  EXPECT_EQ("--fast", app.arguments);
  EXPECT_EQ(p.inst("bin"), app.working_dir);
  EXPECT_EQ(1, app.icon_index);
  Shortcut uninstall = read_shortcut(p.menu("Uninstall Sample.lnk"));
  ASSERT_TRUE(uninstall.loaded);
  EXPECT_EQ(p.inst("setup.exe"), uninstall.target);
  EXPECT_EQ("-u1 \"Zindle Sample\" 0", uninstall.arguments);
  EXPECT_EQ(p.inst(), uninstall.working_dir);

  // The uninstall record, in creation order per kind.
  const std::string folder = p.menu_folder();
  EXPECT_EQ((std::vector<std::string>{p.inst(), p.inst("bin"), p.inst("doc"), p.inst("doc\\notes"), folder}),
            record_values("dir", "dirtotal"));
  EXPECT_EQ((std::vector<std::string>{p.inst("bin\\app.exe"), p.inst("readme.txt"), p.inst("doc\\notes\\big.bin"),
                                      p.inst("doc\\empty.txt"), p.win_file(), p.inst("setup.exe"),
                                      p.inst("dsetup.dll"), p.menu("Sample App.lnk"), p.menu("Uninstall Sample.lnk")}),
            record_values("file", "filetotal"));
  EXPECT_EQ((std::vector<std::string>{"HKLM\\Software\\ZindleSampleSettings,Path",
                                      "HKCU\\Software\\ZindleSamplePrefs,Runs", "HKCU\\Software\\ZindleSamplePrefs,",
                                      "HKUS\\.Default\\Software\\ZindleSample,Seen"}),
            record_values("key", "keytotal"));
  EXPECT_EQ((std::vector<std::string>{".zsample,bin\\app.exe"}), record_values("assoc", "assoctotal"));

  // Removal from the record, as the uninstaller's second stage does it.
  SetupInfo removal;
  removal.product_name = kProduct;
  removal.install_dir = p.inst().c_str();
  ASSERT_EQ(0, read_uninstall_record(&removal));
  ASSERT_EQ(0, remove_files(&removal));
  ASSERT_EQ(0, remove_associations(&removal));
  ASSERT_EQ(0, remove_directories(&removal));
  ASSERT_EQ(0, remove_registry_keys(&removal));
  delete_uninstall_record(&removal);
  ASSERT_EQ(0, remove_keys_holding_record(&removal));
  EXPECT_EQ(0, removal.removal_incomplete);
  std::string left;
  for (const UninstallFailed &failed : removal.uninstall_failures)
    left += std::string(failed.file.c_str()) + failed.dir.c_str() + failed.reg_key.c_str() + "; ";
  EXPECT_EQ(0u, removal.uninstall_failures.size()) << "left behind: " << left;

  EXPECT_FALSE(dir_exists(p.inst())) << "install directory and everything in it";
  EXPECT_FALSE(file_exists(p.win_file()));
  EXPECT_FALSE(dir_exists(folder)) << "Start-menu folder";
  EXPECT_TRUE(dir_exists(p.programs())) << "the Programs folder itself stays";
  const std::pair<HKEY, std::string> keys[] = {{HKEY_LOCAL_MACHINE, "Software\\ZindleSampleSettings"},
                                               {HKEY_CURRENT_USER, "Software\\ZindleSamplePrefs"},
                                               {HKEY_USERS, ".Default\\Software\\ZindleSample"},
                                               {HKEY_CLASSES_ROOT, ".zsample"},
                                               {HKEY_CLASSES_ROOT, ".zsample.file.type"},
                                               {HKEY_LOCAL_MACHINE, kRecordKey}};
  for (const auto &key : keys) EXPECT_FALSE(reg_key_exists(key.first, key.second)) << key.second;
  // Left for the first uninstall stage (the Add/Remove entry) or kept on purpose (the stamp).
  EXPECT_TRUE(reg_key_exists(HKEY_LOCAL_MACHINE, kAddRemoveKey));
  EXPECT_TRUE(reg_value_exists(HKEY_LOCAL_MACHINE, kVersionStampKey, "ZSample_tmaj"));
}

TEST(InstallRun, DirectoryThatCannotBeMadeStopsBeforeAnyFile) {
  MessageRecorder recorder;
  SampleProduct p;
  write_file(p.target_file("Zindle Sample"), "a file where the install directory should go");
  SetupInfo info;
  p.read(&info);
  RecordingTable table;
  EXPECT_EQ(-1, run_install_steps(&info, &table));
  EXPECT_TRUE(table.calls.empty()) << "the copy stage never started";
  EXPECT_EQ(0u, info.uninstall_items.size());
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kRecordKey));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kAddRemoveKey));

  // A DIRECTORIES entry that cannot be made stops the run after the ones before it were made.
  DeleteFileA(p.target_file("Zindle Sample").c_str());
  SetupInfo second;
  p.read(&second);
  SetupDir bad;
  bad.path = "readme.txt\\below";
  second.dirs.append(bad);
  CreateDirectoryA(p.inst().c_str(), nullptr);
  write_file(p.inst("readme.txt"), "in the way");
  RecordingTable table2;
  EXPECT_EQ(-1, run_install_steps(&second, &table2));
  EXPECT_TRUE(table2.calls.empty());
  EXPECT_FALSE(dir_exists(p.inst("bin"))) << "what the run made is undone";
  EXPECT_TRUE(dir_exists(p.inst())) << "what was there before stays";
  EXPECT_EQ("in the way", read_file(p.inst("readme.txt")));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kRecordKey));
  ASSERT_EQ(3u, recorder.boxes().size()) << "the failure of each run, then the undo of the second one";
  EXPECT_NE(std::string::npos, recorder.boxes()[1].text.find("\n" + p.inst("readme.txt\\below") + "\n"));
  EXPECT_EQ("Installation Undone", recorder.boxes()[2].caption);
}

// A registry step that fails says once which key, in a warning from setup's string table.
TEST(InstallRun, FailedRegistryStepShowsOneWarningNamingTheKey) {
  const std::string long_key = "Software\\ZindleSampleSettings\\" + std::string(300, 'k');
  for (bool spoil_entry : {true, false}) {
    SampleProduct p;
    SetupInfo info;
    p.read(&info);
    info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
    if (spoil_entry) info.reg_entries[0].key = long_key.c_str();
    if (!spoil_entry) info.product_name = "Zindle Sample\\Nested";  // its record key would be another product's
    RecordingTable table;
    MessageRecorder recorder;
    EXPECT_EQ(-1, run_install_steps(&info, &table));
    ASSERT_EQ(2u, recorder.boxes().size()) << "the failure, then the undo:\n" << recorder.seen();
    EXPECT_FALSE(dir_exists(p.inst())) << spoil_entry << "\n" << recorder.seen() << tree_listing(p.inst());
    EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kAddRemoveKey)) << spoil_entry;
    EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".zsample")) << spoil_entry;
    EXPECT_FALSE(reg_value_exists(HKEY_LOCAL_MACHINE, kVersionStampKey, "ZSample_tmaj")) << spoil_entry;
    std::string key = spoil_entry ? "HKLM\\" + long_key : "HKLM\\Software\\Quorvane\\Zindle Sample\\Nested\\uninstall";
    EXPECT_NE(std::string::npos, recorder.boxes()[0].text.find(" registry key\n" + key + "\n")) << spoil_entry;
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST), recorder.boxes()[0].type);
  }
}

TEST(InstallRun, DamagedArchiveMemberIsReportedAndNotRecorded) {
  SampleProduct p;
  p.write_archive(true);
  SetupInfo info;
  p.read(&info);
  info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
  RecordingTable table;
  // The hook ignores the failure: the run completes without the damaged file.
  ASSERT_EQ(0, run_install_steps(&info, &table));
  EXPECT_EQ((std::vector<std::string>{p.src("big.bin") + " -> " + p.inst("doc\\notes\\big.bin")}),
            table.of("CopyFileFailed"));
  EXPECT_FALSE(file_exists(p.inst("doc\\notes\\big.bin")));
  std::vector<std::string> files = record_values("file", "filetotal");
  EXPECT_EQ(8u, files.size());
  for (const std::string &file : files) EXPECT_EQ(std::string::npos, file.find("big.bin")) << file;
  EXPECT_EQ(p.app(), read_file(p.inst("bin\\app.exe")));
}

TEST(InstallRun, DamagedArchiveMemberStopsTheRunWhenTheHookSaysSo) {
  SampleProduct p;
  p.write_archive(true);
  SetupInfo info;
  p.read(&info);
  info.setup_instance = info.resource_instance = GetModuleHandleA(nullptr);
  RecordingTable table;
  table.answer = [](const std::string &hook, const std::string &) { return hook == "CopyFileFailed" ? -1 : 0; };
  MessageRecorder recorder;
  EXPECT_EQ(-1, run_install_steps(&info, &table));
  EXPECT_NE("CopyAfter", table.names().back());
  ASSERT_EQ(1u, recorder.boxes().size()) << "the hook's own stop adds no failure message, only the undo";
  EXPECT_EQ("Setup has undone the changes this installation had made to your computer.", recorder.boxes()[0].text);

  // A run stopped in the copy stage leaves nothing: its directories and files are undone.
  EXPECT_FALSE(dir_exists(p.inst()));
  EXPECT_FALSE(file_exists(p.win_file()));
  EXPECT_FALSE(file_exists(p.inst("doc\\notes\\big.bin")));
  EXPECT_FALSE(file_exists(p.inst("doc\\empty.txt")));
  EXPECT_FALSE(file_exists(p.inst("setup.exe")));
  EXPECT_FALSE(file_exists(p.inst("package.dat")));
  EXPECT_FALSE(file_exists(p.menu("Sample App.lnk")));
  EXPECT_FALSE(reg_key_exists(HKEY_CLASSES_ROOT, ".zsample"));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, "Software\\ZindleSampleSettings"));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kAddRemoveKey));
  EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kRecordKey));
}

}  // namespace
