// Start-up of the tuner: "-uninstall", the first-start save, the running-instance check and a
// record that cannot be allocated, against a prepared stack registry.
#include <gtest/gtest.h>

#include "tuner_thread.h"
#include "tuner_fixture.h"

namespace {

using StartupTest = StackTest;

// Runs start-up and reports whether any window of the tuner appeared before it ended.
bool ran_without_window(driver::TunerThread &run) {
  for (int i = 0; i < 250 && !run.done(); ++i) {
    if (driver::find(true) || driver::find(false)) return false;
    Sleep(20);
  }
  return run.done();
}

TEST_F(StartupTest, UninstallBeforeAnySaveWritesTheLiveValuesBack) {
  add_usual_stack();
  set_mstcp("DefaultRcvWindow", text_value("8192"));  // unreadable as a number
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMstcpPath, 0, KEY_SET_VALUE, &key));
  RegDeleteValueA(key, "PMTUDiscovery");
  RegCloseKey(key);

  driver::TunerThread run("-uninstall");
  EXPECT_TRUE(ran_without_window(run));
  EXPECT_EQ(1, run.finish());

  StackState after = stack_state();
  EXPECT_EQ(text_value("1492"), after.mtu[2]);
  EXPECT_EQ(dword_value(5840), after.rcv);
  EXPECT_EQ(text_value("128"), after.ttl);
  EXPECT_EQ(dword_value(1), after.pmtu);
  EXPECT_EQ(dword_value(0), after.blackhole);
  EXPECT_FALSE(product("Installed").present);
  EXPECT_FALSE(product("Parm1").present);
}

TEST_F(StartupTest, UninstallRestoresSavedSlotsAndKeepsLiveOnesForAbsentSlots) {
  add_usual_stack();
  set_product("Installed", dword_value(1));
  set_product("Parm1", dword_value(1400));
  set_product("Parm3", dword_value(0xFFFFFFFFu));  // counts as absent
  set_product("Parm4", dword_value(0));
  set_product("Parm5", dword_value(1));

  driver::TunerThread run("/quiet x-uninstallx");  // found anywhere in the command line
  EXPECT_TRUE(ran_without_window(run));
  EXPECT_EQ(1, run.finish());

  StackState after = stack_state();
  EXPECT_EQ(text_value("1400"), after.mtu[2]);
  EXPECT_EQ(dword_value(8760), after.rcv);
  EXPECT_EQ(text_value("128"), after.ttl);
  EXPECT_EQ(dword_value(0), after.pmtu);
  EXPECT_EQ(dword_value(1), after.blackhole);
  EXPECT_EQ(dword_value(1), product("Installed"));
  EXPECT_EQ(dword_value(0xFFFFFFFFu), product("Parm3"));
}

TEST_F(StartupTest, UninstallSwitchIsCaseSensitive) {
  add_usual_stack();
  driver::TunerThread run("-Uninstall");
  EXPECT_NE(nullptr, driver::wait_dialog());  // an ordinary start
  driver::close_all();
  EXPECT_EQ(1, run.finish());
  EXPECT_EQ(dword_value(1), product("Installed"));
}

TEST_F(StartupTest, FirstStartSavesOriginalsThenDefersToRunningInstance) {
  add_usual_stack();
  StackState before = stack_state();
  HWND running = CreateWindowExA(0, "STATIC", "Skellan", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, running);

  driver::TunerThread run("");
  EXPECT_TRUE(ran_without_window(run));
  EXPECT_EQ(1, run.finish());
  DestroyWindow(running);

  EXPECT_EQ(dword_value(1), product("Installed"));
  EXPECT_EQ(dword_value(1492), product("Parm1"));
  EXPECT_EQ(dword_value(8760), product("Parm2"));
  EXPECT_EQ(dword_value(128), product("Parm3"));
  EXPECT_EQ(dword_value(1), product("Parm4"));
  EXPECT_EQ(dword_value(0), product("Parm5"));
  EXPECT_TRUE(before == stack_state());
}

TEST_F(StartupTest, RecordThatCannotBeAllocatedChangesNothing) {
  add_usual_stack();
  StackState before = stack_state();
  {
    driver::TunerThread run("", false);
    EXPECT_EQ("Skellan cannot start: there is not enough memory.", driver::answer(IDOK));
    EXPECT_EQ(1, run.finish());
  }
  {
    driver::TunerThread run("-uninstall", false);
    EXPECT_TRUE(ran_without_window(run));
    EXPECT_EQ(1, run.finish());
  }
  EXPECT_TRUE(before == stack_state());
  EXPECT_FALSE(product("Installed").present);
  EXPECT_EQ(nullptr, current_settings());
}

}  // namespace
