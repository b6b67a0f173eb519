// Loading hook libraries: the failure messages, and no table kept from a library that gives none.
#include <gtest/gtest.h>

#include <string>

#include "script/script_reader.h"
#include "sdk/dispatch_table.h"
#include "support/message_recorder.h"
#include "support/scratch.h"

namespace {

std::string test_program_dir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string dir(path, n);
  return dir.substr(0, dir.rfind('\\'));
}

TEST(HookLoader, MissingLibraryShowsTheSystemErrorUnderItsCaption) {
  ScratchDir dir("hook-missing");
  SetupInfo info;
  MessageRecorder boxes;
  EXPECT_EQ(-1, load_setup_dll(&info, dir.path().c_str()));
  ASSERT_EQ(1u, boxes.boxes().size());
  EXPECT_EQ("Failed to load Setup .dll", boxes.boxes()[0].caption);
  EXPECT_FALSE(boxes.boxes()[0].text.empty());
  EXPECT_EQ(nullptr, info.hook_library);
}

TEST(HookLoader, LibraryWithoutEntryPointOrTableIsRefusedAndUnloaded) {
  for (const char *name : {"hook_noentry.dll", "hook_nulltable.dll"}) {
    ScratchDir dir("hook-bad");
    ASSERT_TRUE(CopyFileA((test_program_dir() + "\\" + name).c_str(), dir.file("dsetup.dll").c_str(), FALSE)) << name;
    SetupInfo info;
    g_dispatch = nullptr;
    MessageRecorder boxes;
    EXPECT_EQ(-1, load_setup_dll(&info, dir.path().c_str())) << name;
    ASSERT_EQ(1u, boxes.boxes().size()) << name;
    EXPECT_EQ("failed to get entry point", boxes.boxes()[0].text);
    EXPECT_EQ(nullptr, info.hook_library);
    EXPECT_EQ(nullptr, g_dispatch);
    EXPECT_EQ(nullptr, GetModuleHandleA(dir.file("dsetup.dll").c_str())) << "library still loaded";
  }
}

TEST(ScriptInit, FailureMessagesInOrder) {
  ScratchDir dir("script-init");
  char previous[MAX_PATH];
  GetCurrentDirectoryA(sizeof previous, previous);
  SetCurrentDirectoryA(dir.path().c_str());
  SetupInfo info;
  dIniFile ini;
  MessageRecorder boxes;
  int result = init_script(&info, &ini, GetModuleHandleA(nullptr));
  SetCurrentDirectoryA(previous);
  EXPECT_EQ(-1, result);
  ASSERT_EQ(2u, boxes.boxes().size());
  EXPECT_EQ("Failed to load Setup .dll", boxes.boxes()[0].caption);
  EXPECT_EQ("Failed to get dispatch table", boxes.boxes()[1].text);
  EXPECT_EQ("", boxes.boxes()[1].caption);
  EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST), boxes.boxes()[1].type);
}

}  // namespace
