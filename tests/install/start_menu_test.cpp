// The Start-menu step with real shell links read back through IShellLinkA: the platform's Programs
// folder, the uninstall shortcut, working directories, what is recorded, and the cases where no
// shortcut may be made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/install_support.h"
#include "install/start_menu.h"
#include "sdk/utilities.h"
#include "support/scratch.h"

using namespace install_test;

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kDefaultShellFolders[] = ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Points the platform's Programs folder (and, as a decoy, the other platform's) at scratch folders.
class ProgramsFolder {
 public:
  ProgramsFolder(const std::string &path, bool present)
      : nt_(is_this_winnt()),
        mine_(nt_ ? HKEY_LOCAL_MACHINE : HKEY_USERS, nt_ ? kShellFolders : kDefaultShellFolders,
              nt_ ? "Common Programs" : "Programs", present, path),
        decoy_(nt_ ? HKEY_USERS : HKEY_LOCAL_MACHINE, nt_ ? kDefaultShellFolders : kShellFolders,
               nt_ ? "Programs" : "Common Programs", true, path + "-wrong-platform") {}

 private:
  bool nt_;
  RegValueOverride mine_;
  RegValueOverride decoy_;
};

class StartMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    info_.install_dir = install_.path().c_str();
    info_.product_name = "Zindle Menu Product";
    CreateDirectoryA(install_.file("bin").c_str(), nullptr);
    write_file(install_.file("bin\\a.exe"), "MZ");
    write_file(install_.file("setup.exe"), "MZ");
    write_file(install_.file("top.exe"), "MZ");
  }
  void add(const char *path, const char *name, const char *prog, const char *args, const char *work, int icon) {
    SetupStartMenu item;
    item.path = path;
    item.name = name;
    item.prog = prog;
    item.args = args;
    item.work = work;
    item.icon = icon;
    info_.start_menu_items.append(item);
  }
  std::vector<std::string> recorded(int kind) const {
    std::vector<std::string> out;
    for (const UninstallInfo &item : info_.uninstall_items)
      if (item.kind == kind) out.push_back(item.value.c_str());
    return out;
  }
  ScratchDir install_{"menu-install"};
  ScratchDir programs_{"menu-programs"};
  SetupInfo info_;
};

TEST_F(StartMenuTest, ShortcutsGoToThePlatformsProgramsFolder) {
  ProgramsFolder folder(programs_.path(), true);
  CreateDirectoryA(programs_.file("Existing").c_str(), nullptr);
  add("Tools", "Tool", "a.exe", "--fast", "bin", 2);
  add("Tools", "Remove", "%1", "ignored", "bin", 0);
  add("Tools\\Deep", "Top", "top.exe", "", "", 1);
  add("Existing", "Again", "top.exe", "", "", 0);

  ASSERT_EQ(0, create_start_menu_entries(Unjournaled(&info_)));

  const std::string inst = install_.path();
  Shortcut tool = read_shortcut(programs_.file("Tools\\Tool.lnk"));
  ASSERT_TRUE(tool.loaded);
  EXPECT_EQ(inst + "\\bin\\a.exe", tool.target);
  EXPECT_EQ("--fast", tool.arguments);
  EXPECT_EQ(inst + "\\bin", tool.working_dir);
  EXPECT_EQ(inst + "\\bin\\a.exe", tool.icon_file);
  EXPECT_EQ(2, tool.icon_index);

  Shortcut remove = read_shortcut(programs_.file("Tools\\Remove.lnk"));
  ASSERT_TRUE(remove.loaded);
  EXPECT_EQ(inst + "\\setup.exe", remove.target);
  EXPECT_EQ("-u1 \"Zindle Menu Product\" 0", remove.arguments);
  EXPECT_EQ(inst, remove.working_dir) << "the uninstall shortcut has no work folder of its own";

  Shortcut top = read_shortcut(programs_.file("Tools\\Deep\\Top.lnk"));
  ASSERT_TRUE(top.loaded);
  EXPECT_EQ(inst + "\\top.exe", top.target);
  EXPECT_EQ(inst, top.working_dir);
  EXPECT_EQ(1, top.icon_index);
  EXPECT_FALSE(file_exists(programs_.path() + "-wrong-platform\\Tools\\Tool.lnk"));

  // Each folder is recorded once, whether made here or there before, however many shortcuts it holds.
  const std::string p = programs_.path();
  EXPECT_EQ((std::vector<std::string>{p + "\\Tools", p + "\\Tools\\Deep", p + "\\Existing"}), recorded(RECORD_DIR));
  EXPECT_EQ((std::vector<std::string>{p + "\\Tools\\Tool.lnk", p + "\\Tools\\Remove.lnk", p + "\\Tools\\Deep\\Top.lnk",
                                      p + "\\Existing\\Again.lnk"}),
            recorded(RECORD_FILE));
  // The item list itself is left as the script gave it.
  EXPECT_STREQ("%1", info_.start_menu_items[1].prog.c_str());
}

TEST_F(StartMenuTest, UnknownProgramsFolderMakesNoShortcutAndRecordsNothing) {
  for (bool present : {false, true}) {
    ProgramsFolder folder(present ? "" : programs_.path(), present);
    SetupInfo info;
    info.install_dir = install_.path().c_str();
    SetupStartMenu item;
    item.path = "Tools";
    item.name = "Tool";
    item.prog = "a.exe";
    info.start_menu_items.append(item);
    ASSERT_EQ(0, create_start_menu_entries(Unjournaled(&info)));
    EXPECT_EQ(0u, info.uninstall_items.size()) << (present ? "empty value" : "missing value");
    EXPECT_FALSE(dir_exists("\\Tools")) << "no path formed from an unset folder";
    EXPECT_FALSE(dir_exists(programs_.file("Tools")));
  }
}

TEST_F(StartMenuTest, NamesThatLeaveTheProgramsFolderAreRefused) {
  ProgramsFolder folder(programs_.file("Inner"), true);
  CreateDirectoryA(programs_.file("Inner").c_str(), nullptr);
  add("..\\Escaped", "Tool", "a.exe", "", "", 0);
  add("Fine\\..\\..\\Escaped", "Tool", "a.exe", "", "", 0);
  add("Fine", "..\\..\\Escaped", "a.exe", "", "", 0);
  add("C:\\Absolute", "Tool", "a.exe", "", "", 0);
  add("\\Rooted", "Tool", "a.exe", "", "", 0);
  ASSERT_EQ(0, create_start_menu_entries(Unjournaled(&info_)));
  EXPECT_EQ(0u, info_.uninstall_items.size());
  EXPECT_FALSE(dir_exists(programs_.file("Escaped")));
  EXPECT_FALSE(dir_exists(programs_.file("Inner\\Fine")));
  EXPECT_FALSE(dir_exists("C:\\Absolute"));

  // Dots inside a name are ordinary characters.
  SetupInfo info;
  info.install_dir = install_.path().c_str();
  SetupStartMenu item;
  item.path = "v1..2";
  item.name = "Tool..Pro";
  item.prog = "a.exe";
  info.start_menu_items.append(item);
  ASSERT_EQ(0, create_start_menu_entries(Unjournaled(&info)));
  EXPECT_TRUE(file_exists(programs_.file("Inner\\v1..2\\Tool..Pro.lnk")));
}

}  // namespace
