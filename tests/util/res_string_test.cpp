// load_res_string with setup's own string table linked into this program.
#include <gtest/gtest.h>

#include "fresh_info.h"
#include "res/resource.h"
#include "sdk/utilities.h"

namespace {

TEST(LoadResString, FindsSetupsOwnStringAndRefusesAMissingId) {
  FreshInfo info;
  info->setup_instance = GetModuleHandleA(nullptr);
  info->resource_instance = GetModuleHandleA(nullptr);
  char text[260] = "";
  EXPECT_EQ(1, load_res_string(info.get(), IDS_READY_DIRECTORY, text, sizeof text));
  EXPECT_STREQ("Installation Directory:", text);
  EXPECT_EQ(0, load_res_string(info.get(), 1999, text, sizeof text));
  EXPECT_EQ(0, load_res_string(info.get(), 65000, text, sizeof text));
}

// A resource library without the string falls back to setup's own table.
TEST(LoadResString, FallsBackToSetupWhenTheResourceLibraryLacksTheString) {
  FreshInfo info;
  info->setup_instance = GetModuleHandleA(nullptr);
  info->resource_instance = GetModuleHandleA("kernel32.dll");
  char text[260] = "";
  EXPECT_EQ(1, load_res_string(info.get(), IDS_READY_START_MENU, text, sizeof text));
  EXPECT_STREQ("Start Menu Folder:", text);
}

}  // namespace
