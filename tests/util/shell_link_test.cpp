// create_start_link: the shortcut it writes, read back through the shell's own link object.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "sdk/utilities.h"
#include "support/scratch.h"

namespace {

struct LinkContents {
  std::string path, arguments, working_dir, description, icon_file;
  int icon_index = -1;
  int show = -1;
};

// Loads the .lnk at file; false when the shell cannot read it.
bool read_link(const std::string &file, LinkContents *out) {
  if (FAILED(CoInitialize(nullptr))) return false;
  bool ok = false;
  IShellLinkA *link = nullptr;
  IPersistFile *persist = nullptr;
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void **>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&persist))) &&
      SUCCEEDED(persist->Load(wide, STGM_READ))) {
    char text[MAX_PATH];
    WIN32_FIND_DATAA found;
    text[0] = 0;
    link->GetPath(text, MAX_PATH, &found, SLGP_RAWPATH);
    out->path = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH);
    out->arguments = text;
    text[0] = 0;
    link->GetWorkingDirectory(text, MAX_PATH);
    out->working_dir = text;
    text[0] = 0;
    link->GetDescription(text, MAX_PATH);
    out->description = text;
    text[0] = 0;
    link->GetIconLocation(text, MAX_PATH, &out->icon_index);
    out->icon_file = text;
    link->GetShowCmd(&out->show);
    ok = true;
  }
  if (persist) persist->Release();
  if (link) link->Release();
  CoUninitialize();
  return ok;
}

std::string short_form(const std::string &path) {
  char text[MAX_PATH];
  DWORD n = GetShortPathNameA(path.c_str(), text, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(text) : path;
}

class ShellLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    ASSERT_TRUE(write_file(target_, "MZ"));
  }
  ScratchDir scratch_{"shell_link"};
  std::string folder_ = scratch_.file("Long Folder Name");
  std::string target_ = folder_ + "\\Tuner Program.exe";
};

TEST_F(ShellLink, StoresEveryPartWithShortWorkingDirectoryAndIcon) {
  std::string shortcut = scratch_.file("Tuner.lnk");
  ASSERT_NE(short_form(folder_), folder_) << "the file system gives no short names";
  EXPECT_EQ(1, create_start_link(target_.c_str(), shortcut.c_str(), "Tunes TCP/IP", "-u1 \"Skellan\" 0",
                                 folder_.c_str(), target_.c_str(), 3));
  LinkContents link;
  ASSERT_TRUE(read_link(shortcut, &link));
  EXPECT_EQ(target_, link.path);
  EXPECT_EQ("-u1 \"Skellan\" 0", link.arguments);
  EXPECT_EQ(short_form(folder_), link.working_dir);
  EXPECT_EQ("Tunes TCP/IP", link.description);
  EXPECT_EQ(short_form(target_), link.icon_file);
  EXPECT_EQ(3, link.icon_index);
  EXPECT_EQ(SW_SHOWNORMAL, link.show);
}

TEST_F(ShellLink, OptionalPartsLeftOutStayEmpty) {
  std::string shortcut = scratch_.file("Plain.lnk");
  EXPECT_EQ(1, create_start_link(target_.c_str(), shortcut.c_str(), nullptr, nullptr, nullptr, nullptr, 0));
  LinkContents link;
  ASSERT_TRUE(read_link(shortcut, &link));
  EXPECT_EQ(target_, link.path);
  EXPECT_EQ("", link.arguments);
  EXPECT_EQ("", link.working_dir);
  EXPECT_EQ("", link.icon_file);
}

// A working directory that does not exist has no short form and is stored as given.
TEST_F(ShellLink, MissingWorkingDirectoryIsStoredAsGiven) {
  std::string shortcut = scratch_.file("Missing.lnk");
  std::string missing = scratch_.file("Not There Yet");
  EXPECT_EQ(1, create_start_link(target_.c_str(), shortcut.c_str(), nullptr, nullptr, missing.c_str(), nullptr, 0));
  LinkContents link;
  ASSERT_TRUE(read_link(shortcut, &link));
  EXPECT_EQ(missing, link.working_dir);
}

// A shortcut that could not be saved is reported, and COM is left as it was found.
TEST_F(ShellLink, UnwritableShortcutGivesZeroAndComStaysBalanced) {
  std::string shortcut = scratch_.file("No Such Folder\\Tuner.lnk");
  EXPECT_EQ(0, create_start_link(target_.c_str(), shortcut.c_str(), nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_FALSE(file_exists(shortcut));
  EXPECT_EQ(0, create_start_link(nullptr, scratch_.file("x.lnk").c_str(), nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(1, create_start_link(target_.c_str(), scratch_.file("ok.lnk").c_str(), nullptr, nullptr, nullptr,
                                 nullptr, 0));
  HRESULT first = CoInitialize(nullptr);
  EXPECT_EQ(S_OK, first) << "create_start_link left COM initialised on this thread";
  if (SUCCEEDED(first)) CoUninitialize();
}

}  // namespace
