// The script reader on real setup.ini files through the real profile API.
#include <gtest/gtest.h>

#include <string>

#include "script/ini_file.h"
#include "script/script_reader.h"
#include "support/scratch.h"
#include "util/root_keys.h"

namespace {

class ScriptReaderTest : public ::testing::Test {
 protected:
  // Writes setup.ini into the scratch folder and reads it into info_.
  int read(const std::string &script) {
    write_file(dir_.file("setup.ini"), script);
    return read_script(&info_, &ini_, GetModuleHandleA(nullptr), dir_.path().c_str());
  }
  ScratchDir dir_{"script-reader"};
  SetupInfo info_;
  dIniFile ini_;
};

TEST_F(ScriptReaderTest, MissingScriptGivesDefaults) {
  ASSERT_EQ(0, read_script(&info_, &ini_, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_STREQ("", info_.product_name.c_str());
  EXPECT_STREQ("", info_.install_dir.c_str());
  EXPECT_EQ(333u, info_.copy_delay);
  EXPECT_EQ(0u, info_.background_color);
  EXPECT_EQ(0u, info_.space_needed);
  EXPECT_EQ(0, info_.has_version);
  EXPECT_EQ(0, info_.has_bitmap);
  EXPECT_EQ(0u, info_.files.size());
  EXPECT_EQ(0u, info_.dirs.size());
  EXPECT_EQ((dir_.path() + "\\setup.ini"), std::string(info_.script_path.c_str()));
  EXPECT_EQ(dir_.path(), std::string(info_.source_dir.c_str()));
  EXPECT_EQ(GetModuleHandleA(nullptr), info_.resource_instance);
  EXPECT_EQ(GetModuleHandleA(nullptr), info_.setup_instance);
}

TEST_F(ScriptReaderTest, NumberedItemsFollowTheirOwnMissingKeyRules) {
  ASSERT_EQ(0, read("[DIRECTORIES]\ntotal=3\ndir0=bin\ndir2=doc\n"
                    "[FILES]\ntotal=3\nfilesrc0=a.exe\nfiledst2=c.txt\n"
                    "[DEPEND]\ntotal=2\ndepend1=x.dll\n"));
  ASSERT_EQ(2u, info_.dirs.size());
  EXPECT_STREQ("bin", info_.dirs[0].path.c_str());
  EXPECT_STREQ("doc", info_.dirs[1].path.c_str());
  ASSERT_EQ(3u, info_.files.size());
  EXPECT_STREQ("a.exe", info_.files[0].source.c_str());
  EXPECT_STREQ("", info_.files[0].dest.c_str());
  EXPECT_STREQ("", info_.files[1].source.c_str());
  EXPECT_STREQ("", info_.files[1].dest.c_str());
  EXPECT_STREQ("", info_.files[2].source.c_str());
  EXPECT_STREQ("c.txt", info_.files[2].dest.c_str());
  ASSERT_EQ(2u, info_.dependencies.size());
  EXPECT_STREQ("", info_.dependencies[0].name.c_str());
  EXPECT_STREQ("x.dll", info_.dependencies[1].name.c_str());
}

// A total far beyond its section's keys would have the reader run for ever.
TEST_F(ScriptReaderTest, TotalsBeyondTheKeysCountAsTheKeys) {
  ASSERT_EQ(0, read("[FILES]\ntotal=4294967295\nfilesrc0=a.exe\nfiledst0=a.exe\n"
                    "[DIRECTORIES]\ntotal=0x1FFFFFFFF\ndir0=bin\n"));
  ASSERT_EQ(3u, info_.files.size());
  EXPECT_STREQ("a.exe", info_.files[0].source.c_str());
  EXPECT_EQ(1u, info_.dirs.size());
}

TEST_F(ScriptReaderTest, ValuesContainingFailCountAsMissing) {
  ASSERT_EQ(0, read("[PRODUCTNAME]\nname=failsafe\n[FILES]\ntotal=1\nfilesrc0=failsafe.dll\nfiledst0=x\n"
                    "[COPYDELAY]\ndelay=fail\n"));
  EXPECT_STREQ("", info_.product_name.c_str());
  ASSERT_EQ(1u, info_.files.size());
  EXPECT_STREQ("", info_.files[0].source.c_str());
  EXPECT_STREQ("x", info_.files[0].dest.c_str());
  EXPECT_EQ(333u, info_.copy_delay);
}

TEST_F(ScriptReaderTest, NumbersUseCNotation) {
  struct Case {
    const char *text;
    uint32_t expected;
  } cases[] = {{"0x10", 16}, {"010", 8}, {"42abc", 42}, {"abc", 0}, {"0", 0}, {"4294967295", 4294967295u},
               {"0XfF", 255}, {"0x", 0}, {"08", 0}, {"+12", 12}, {"-1", 0xFFFFFFFFu}, {"4294967296", 0},
               {"0x1FFFFFFFF", 0xFFFFFFFFu}, {"99999999999999999999", 0xFFFFFFFFu},
               {"-99999999999999999999", 0xFFFFFFFFu}};
  for (const Case &c : cases) {
    SetupInfo info;
    dIniFile ini;
    write_file(dir_.file("setup.ini"), std::string("[COPYDELAY]\ndelay=") + c.text + "\n");
    ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
    EXPECT_EQ(c.expected, info.copy_delay) << c.text;
  }
}

TEST_F(ScriptReaderTest, RegistryEntriesTakeRootTypeAndValue) {
  ASSERT_EQ(0, read("[REGISTRY ENTRIES]\ntotal=5\n"
                    "base0=hkey_local_machine\nkey0=Software\\X\nname0=Path\ntype0=S\nvalue0=%1\n"
                    "base1=HKEY_CURRENT_USER\nkey1=Software\\X\nname1=Count\ntype1=d\nvalue1=0x20\n"
                    "base2=HKEY_NOWHERE\ntype2=s\n"
                    "base3=HKEY_USERS\ntype3=q\nvalue3=ignored\n"
                    "base4=HKEY_CLASSES_ROOT\ntype4=d\n"));
  ASSERT_EQ(5u, info_.reg_entries.size());
  const SetupRegEntry &s = info_.reg_entries[0];
  EXPECT_EQ(HKEY_LOCAL_MACHINE, hkey_from_root(s.root));
  EXPECT_STREQ("Software\\X", s.key.c_str());
  EXPECT_STREQ("Path", s.name.c_str());
  EXPECT_EQ(0, s.type);
  EXPECT_STREQ("%1", s.string_value.c_str());
  EXPECT_EQ(0xFFFFFFFFu, s.dword_value);
  const SetupRegEntry &d = info_.reg_entries[1];
  EXPECT_EQ(HKEY_CURRENT_USER, hkey_from_root(d.root));
  EXPECT_EQ(1, d.type);
  EXPECT_EQ(32u, d.dword_value);
  EXPECT_STREQ("", d.string_value.c_str());
  EXPECT_EQ(0, info_.reg_entries[2].root);
  EXPECT_EQ(0, info_.reg_entries[2].type);
  EXPECT_EQ(0u, info_.reg_entries[2].dword_value);  // no value: defaults stay
  EXPECT_EQ(-1, info_.reg_entries[3].type);         // unknown letter: written by nobody
  EXPECT_STREQ("", info_.reg_entries[3].string_value.c_str());
  EXPECT_EQ(1, info_.reg_entries[4].type);
  EXPECT_EQ(0u, info_.reg_entries[4].dword_value);
}

TEST_F(ScriptReaderTest, StartMenuNeedsBasepath) {
  ASSERT_EQ(0, read("[STARTMENU ENTRIES]\ntotal=2\nname0=Tool\nprog0=tool.exe\n"));
  EXPECT_EQ(0u, info_.start_menu_items.size());
  EXPECT_STREQ("", info_.start_menu_folder.c_str());

  SetupInfo info;
  dIniFile ini;
  write_file(dir_.file("setup.ini"),
             "[STARTMENU ENTRIES]\nbasepath=Acme\\Tools\ntotal=2\npath0=Acme\nname0=Tool\nprog0=tool.exe\n"
             "args0=-x\nwork0=bin\nicon0=3\n");
  ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_STREQ("Acme\\Tools", info.start_menu_folder.c_str());
  ASSERT_EQ(2u, info.start_menu_items.size());
  const SetupStartMenu &item = info.start_menu_items[0];
  EXPECT_STREQ("Acme", item.path.c_str());
  EXPECT_STREQ("Tool", item.name.c_str());
  EXPECT_STREQ("tool.exe", item.prog.c_str());
  EXPECT_STREQ("-x", item.args.c_str());
  EXPECT_STREQ("bin", item.work.c_str());
  EXPECT_EQ(3, item.icon);
  EXPECT_STREQ("", info.start_menu_items[1].name.c_str());
}

TEST_F(ScriptReaderTest, AssociationsAndVersion) {
  ASSERT_EQ(0, read("[ASSOCIATIONS]\ntotal=1\nprog0=tool.exe\next0=.abc\nicon0=1\n"
                    "[VERSION]\nnameprefix=Tool\nmajorhigh=2\nminorlow=7\n"));
  ASSERT_EQ(1u, info_.associations.size());
  EXPECT_STREQ("tool.exe", info_.associations[0].prog.c_str());
  EXPECT_STREQ(".abc", info_.associations[0].ext.c_str());
  EXPECT_EQ(1, info_.associations[0].icon);
  EXPECT_EQ(1, info_.has_version);
  EXPECT_STREQ("Tool", info_.version_prefix.c_str());
  EXPECT_EQ(2u, info_.version_major_high);
  EXPECT_EQ(0u, info_.version_major_low);
  EXPECT_EQ(7u, info_.version_minor_low);
}

TEST_F(ScriptReaderTest, VersionNumbersNeedNameprefix) {
  ASSERT_EQ(0, read("[VERSION]\nmajorhigh=2\n"));
  EXPECT_EQ(0, info_.has_version);
  EXPECT_EQ(0u, info_.version_major_high);
}

TEST_F(ScriptReaderTest, BackgroundNeedsAllThreeColours) {
  ASSERT_EQ(0, read("[BACKGROUND]\nred=300\ngreen=2\n[BITMAP]\nname=SPLASH_BITMAP\n"));
  EXPECT_EQ(0u, info_.background_color);
  EXPECT_EQ(0, info_.has_bitmap);
  EXPECT_STREQ("", info_.bitmap_name.c_str());

  SetupInfo info;
  dIniFile ini;
  write_file(dir_.file("setup.ini"), "[BACKGROUND]\nred=300\ngreen=2\nblue=0x80\n");
  ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_EQ(44u | (2u << 8) | (0x80u << 16), info.background_color);
  EXPECT_EQ(0, info.has_bitmap);
}

TEST_F(ScriptReaderTest, BitmapFileThatLoadsAndOneThatDoesNot) {
  // A 2x2 24-bit bitmap file written by hand.
  std::string bmp("BM", 2);
  const unsigned char rest[] = {70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24,
                                0,  0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  bmp.append(reinterpret_cast<const char *>(rest), sizeof rest);
  bmp.append(16, '\x7f');
  write_file(dir_.file("back.bmp"), bmp);
  ASSERT_EQ(0, read("[BACKGROUND]\nred=1\ngreen=2\nblue=3\n[BITMAP]\nname=" + dir_.file("back.bmp") +
                    "\ntype=T\nlocation=F\n"));
  EXPECT_EQ(1, info_.has_bitmap);
  EXPECT_EQ(1, info_.bitmap_tiled);
  EXPECT_EQ(BITMAP_FROM_FILE, info_.bitmap_location);
  EXPECT_NE(nullptr, info_.background_bitmap);
  DeleteObject(info_.background_bitmap);

  SetupInfo info;
  dIniFile ini;
  write_file(dir_.file("setup.ini"), "[BACKGROUND]\nred=1\ngreen=2\nblue=3\n[BITMAP]\nname=NO_SUCH_BITMAP\n");
  ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_EQ(0, info.has_bitmap);
  EXPECT_EQ(0, info.bitmap_tiled);
  EXPECT_EQ(BITMAP_FROM_RESOURCE, info.bitmap_location);
  EXPECT_EQ(nullptr, info.background_bitmap);
}

TEST_F(ScriptReaderTest, BitmapNamePrefixes) {
  info_.bitmap_dir = "D:\\art";
  ASSERT_EQ(0, read("[BACKGROUND]\nred=1\ngreen=1\nblue=1\n[BITMAP]\nname=%1back.bmp\nlocation=f\n"));
  EXPECT_STREQ("D:\\art\\back.bmp", info_.bitmap_name.c_str());

  SetupInfo info;
  dIniFile ini;
  info.bitmap_name = "before";
  write_file(dir_.file("setup.ini"), "[BACKGROUND]\nred=1\ngreen=1\nblue=1\n[BITMAP]\nname=%2back.bmp\n");
  ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_STREQ("before", info.bitmap_name.c_str());
}

TEST_F(ScriptReaderTest, SpaceNeededAddsLooseFilesArchiveAndExtra) {
  write_file(dir_.file("a.bin"), std::string(1000, 'a'));
  write_file(dir_.file("dep.dll"), std::string(300, 'd'));
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(dir_.path().c_str());
  int result = read("[FILES]\ntotal=2\nfilesrc0=a.bin\nfilesrc1=missing.bin\n"
                    "[DEPEND]\ntotal=1\ndepend0=dep.dll\n[EXTRASPACE]\nbytes=24\n[COPYDELAY]\ndelay=0\n");
  SetCurrentDirectoryA(previous);
  ASSERT_EQ(0, result);
  EXPECT_EQ(1000u, info_.files_size);
  EXPECT_EQ(300u, info_.depend_size);
  EXPECT_EQ(24u, info_.extra_space);
  EXPECT_EQ(1324u, info_.space_needed);
  EXPECT_EQ(0u, info_.copy_delay);
}

TEST_F(ScriptReaderTest, DefaultDirUsesFirstDriveOrProgramFiles) {
  ASSERT_EQ(0, read("[PRODUCTNAME]\nname=Tool Box\n[DEFAULTDIR]\ndir=Tools\n"));
  std::string dir = info_.install_dir.c_str();
  ASSERT_GE(dir.size(), 3u);
  EXPECT_EQ(":\\Tools\\Tool Box", dir.substr(1));

  SetupInfo info;
  dIniFile ini;
  write_file(dir_.file("setup.ini"), "[PRODUCTNAME]\nname=P\n[DEFAULTDIR]\ndir=@\n");
  ASSERT_EQ(0, read_script(&info, &ini, GetModuleHandleA(nullptr), dir_.path().c_str()));
  EXPECT_EQ(":\\Program Files\\\\P", std::string(info.install_dir.c_str()).substr(1));
}

TEST_F(ScriptReaderTest, OverlongValueIsCutAt259Characters) {
  std::string name(400, 'n');
  ASSERT_EQ(0, read("[PRODUCTNAME]\nname=" + name + "\n"));
  EXPECT_EQ(259u, info_.product_name.length());
}

TEST_F(ScriptReaderTest, MissingResourceLibraryFailsBeforeLaterSections) {
  ASSERT_EQ(-1, read("[PRODUCTNAME]\nname=P\n[RESOURCES]\ndllname=nothere.dll\n[COPYDELAY]\ndelay=5\n"));
  EXPECT_STREQ("P", info_.product_name.c_str());
  EXPECT_EQ(333u, info_.copy_delay);
  EXPECT_EQ(0, info_.has_resource_dll);
}

TEST_F(ScriptReaderTest, ResourceFileThatIsNotALibraryFails) {
  write_file(dir_.file("res.dll"), "not a library");
  EXPECT_EQ(-1, read("[RESOURCES]\ndllname=res.dll\n"));
  EXPECT_EQ(0, info_.has_resource_dll);
}

}  // namespace
