// The tuner dialog driven as a person would, with the live values in a prepared stack registry.
#include <gtest/gtest.h>

#include <memory>

#include "tuner_thread.h"
#include "tuner_fixture.h"

namespace {

const int kTypes[] = {IDC_TYPE_MODEM_SLOW, IDC_TYPE_MODEM_33K, IDC_TYPE_MODEM_56K, IDC_TYPE_ISDN,
                      IDC_TYPE_T1E1,       IDC_TYPE_DSL,       IDC_TYPE_SATELLITE, IDC_TYPE_LAN};

class DialogTest : public StackTest {
 protected:
  void SetUp() override {
    StackTest::SetUp();
    add_usual_stack();  // live: 1492, 8760, 128, on, off
  }
  void TearDown() override {
    run_.reset();
    StackTest::TearDown();
  }

  HWND open() {
    run_.reset(new driver::TunerThread(""));
    HWND dialog = driver::wait_dialog();
    EXPECT_NE(nullptr, dialog);
    return dialog;
  }

  // Ends the run with OK, answering the reboot message; returns the message's text.
  std::string confirm(HWND dialog) {
    driver::press(dialog, IDOK);
    std::string text = driver::answer(IDOK);
    EXPECT_EQ(1, run_->finish());
    return text;
  }

  void cancel(HWND dialog) {
    driver::click(dialog, IDCANCEL);
    EXPECT_EQ(1, run_->finish());
  }

  static void expect_fields(HWND dialog, const char *mtu, const char *window, const char *ttl, bool discovery,
                            bool blackhole) {
    EXPECT_EQ(mtu, driver::text(dialog, IDC_MAX_MTU));
    EXPECT_EQ(window, driver::text(dialog, IDC_RCV_WINDOW));
    EXPECT_EQ(ttl, driver::text(dialog, IDC_TTL));
    EXPECT_EQ(discovery, driver::checked(dialog, IDC_PMTU_DISCOVERY));
    EXPECT_EQ(blackhole, driver::checked(dialog, IDC_BLACKHOLE_DETECT));
  }

  static bool advanced_enabled(HWND dialog) { return IsWindowEnabled(GetDlgItem(dialog, IDC_MAX_MTU)) != 0; }

  std::unique_ptr<driver::TunerThread> run_;
};

TEST_F(DialogTest, FirstStartShowsLiveValuesInTheBasicDialog) {
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ("Skellan", driver::text_of(dialog));
  for (int type : kTypes) EXPECT_FALSE(driver::checked(dialog, type)) << type;
  expect_fields(dialog, "1492", "8760", "128", true, false);
  EXPECT_EQ("Advanced>>", driver::text(dialog, IDC_ADVANCED));
  EXPECT_EQ(driver::height_to(dialog, IDC_MARK_BASIC), driver::height(dialog));
  EXPECT_LT(driver::height_to(dialog, IDC_MARK_BASIC), driver::height_to(dialog, IDC_MARK_FULL));
  EXPECT_TRUE(advanced_enabled(dialog));  // enabled at start in either mode
  EXPECT_EQ(dword_value(1), product("Installed"));
  cancel(dialog);
}

TEST_F(DialogTest, ConnectionTypeShowsItsPresetAndWritesOnlyType) {
  StackState live = stack_state();
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_TYPE_MODEM_56K);
  EXPECT_TRUE(driver::checked(dialog, IDC_TYPE_MODEM_56K));
  expect_fields(dialog, "576", "2144", "64", true, false);
  EXPECT_EQ(dword_value(IDC_TYPE_MODEM_56K), product("Type"));
  EXPECT_TRUE(live == stack_state());

  driver::click(dialog, IDC_TYPE_SATELLITE);
  expect_fields(dialog, "1500", "5840", "32", true, false);
  EXPECT_FALSE(driver::checked(dialog, IDC_TYPE_MODEM_56K));
  EXPECT_EQ(dword_value(IDC_TYPE_SATELLITE), product("Type"));

  cancel(dialog);
  EXPECT_TRUE(live == stack_state());
  EXPECT_EQ(dword_value(IDC_TYPE_SATELLITE), product("Type"));
}

TEST_F(DialogTest, StoredTypeIsCheckedAtStart) {
  set_product("Type", dword_value(IDC_TYPE_DSL));
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  EXPECT_TRUE(driver::checked(dialog, IDC_TYPE_DSL));
  expect_fields(dialog, "1492", "8760", "128", true, false);  // live values, not the preset
  cancel(dialog);
}

TEST_F(DialogTest, DefaultShowsThePresetOfTheCheckedType) {
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_DEFAULT);  // no type checked: the network preset
  expect_fields(dialog, "1500", "5840", "32", true, false);
  driver::click(dialog, IDC_TYPE_DSL);
  driver::type(dialog, IDC_MAX_MTU, "1400");
  driver::click(dialog, IDC_DEFAULT);
  EXPECT_EQ("1500", driver::text(dialog, IDC_MAX_MTU));
  driver::click(dialog, IDC_TYPE_MODEM_SLOW);
  driver::type(dialog, IDC_MAX_MTU, "1400");
  driver::click(dialog, IDC_DEFAULT);
  EXPECT_EQ("576", driver::text(dialog, IDC_MAX_MTU));
  cancel(dialog);
}

TEST_F(DialogTest, AdvancedTogglesSizeAndModeAndRereadsLiveValues) {
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_TYPE_MODEM_56K);

  driver::click(dialog, IDC_ADVANCED);
  EXPECT_EQ(dword_value(1), product("Mode"));
  EXPECT_EQ("<<Advanced", driver::text(dialog, IDC_ADVANCED));
  EXPECT_EQ(driver::height_to(dialog, IDC_MARK_FULL), driver::height(dialog));
  EXPECT_TRUE(advanced_enabled(dialog));
  expect_fields(dialog, "1492", "8760", "128", true, false);

  driver::click(dialog, IDC_TYPE_MODEM_56K);
  driver::click(dialog, IDC_ADVANCED);
  EXPECT_EQ(dword_value(0), product("Mode"));
  EXPECT_EQ("Advanced>>", driver::text(dialog, IDC_ADVANCED));
  EXPECT_EQ(driver::height_to(dialog, IDC_MARK_BASIC), driver::height(dialog));
  EXPECT_FALSE(advanced_enabled(dialog));
  expect_fields(dialog, "1492", "8760", "128", true, false);
  cancel(dialog);
}

TEST_F(DialogTest, StoredModeOpensExpandedAndOddModesOpenBasic) {
  const struct {
    uint32_t stored, after_toggle;
    bool expanded;
  } cases[] = {{1, 0, true}, {0, 1, false}, {5, 1, false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.stored);
    set_product("Mode", dword_value(c.stored));
    HWND dialog = open();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(c.expanded ? "<<Advanced" : "Advanced>>", driver::text(dialog, IDC_ADVANCED));
    EXPECT_EQ(driver::height_to(dialog, c.expanded ? IDC_MARK_FULL : IDC_MARK_BASIC), driver::height(dialog));
    driver::click(dialog, IDC_ADVANCED);
    EXPECT_EQ(dword_value(c.after_toggle), product("Mode"));
    cancel(dialog);
  }
}

TEST_F(DialogTest, StoredType1017FoldsTheDialogOnTheNextChoice) {
  set_product("Type", dword_value(IDC_TYPE_COLLAPSE));
  set_product("Mode", dword_value(1));
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(driver::height_to(dialog, IDC_MARK_FULL), driver::height(dialog));
  driver::click(dialog, IDC_TYPE_DSL);
  EXPECT_EQ(driver::height_to(dialog, IDC_MARK_BASIC), driver::height(dialog));
  EXPECT_FALSE(advanced_enabled(dialog));
  EXPECT_EQ("<<Advanced", driver::text(dialog, IDC_ADVANCED));
  EXPECT_EQ(dword_value(1), product("Mode"));
  EXPECT_EQ(dword_value(IDC_TYPE_DSL), product("Type"));
  cancel(dialog);
}

TEST_F(DialogTest, OkWritesTheFieldsWithTheirTypes) {
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_ADVANCED);
  driver::click(dialog, IDC_TYPE_LAN);
  driver::type(dialog, IDC_MAX_MTU, "1400");
  driver::type(dialog, IDC_RCV_WINDOW, "");  // an emptied field is written as 0
  driver::type(dialog, IDC_TTL, "100");
  driver::click(dialog, IDC_BLACKHOLE_DETECT);
  driver::click(dialog, IDC_PMTU_DISCOVERY);
  StackState before = stack_state();
  EXPECT_EQ("Please reboot your system for changes to take effect", confirm(dialog));

  StackState after = stack_state();
  EXPECT_EQ(text_value("1400"), after.mtu[2]);
  for (int i : {0, 1, 3, 4}) EXPECT_EQ(before.mtu[i], after.mtu[i]) << "transport " << i;
  EXPECT_EQ(dword_value(0), after.rcv);
  EXPECT_EQ(text_value("100"), after.ttl);
  EXPECT_EQ(dword_value(0), after.pmtu);
  EXPECT_EQ(dword_value(1), after.blackhole);
  EXPECT_EQ(nullptr, current_settings());
}

TEST_F(DialogTest, OkRefusesValuesOutOfRangeAndKeepsTheDialog) {
  const struct {
    int field;
    const char *typed;
    const char *message;
  } refused[] = {
      {IDC_MAX_MTU, "0", "The Max Transmission Unit must be a number from 1 to 65535. Nothing was changed."},
      {IDC_MAX_MTU, "65536", "The Max Transmission Unit must be a number from 1 to 65535. Nothing was changed."},
      {IDC_MAX_MTU, "", "The Max Transmission Unit must be a number from 1 to 65535. Nothing was changed."},
      {IDC_TTL, "256", "The Time to live must be a number from 1 to 255. Nothing was changed."},
      {IDC_TTL, "0", "The Time to live must be a number from 1 to 255. Nothing was changed."},
  };
  StackState live = stack_state();
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_ADVANCED);
  for (const auto &c : refused) {
    SCOPED_TRACE(c.typed);
    driver::click(dialog, IDC_DEFAULT);
    driver::type(dialog, c.field, c.typed);
    driver::press(dialog, IDOK);
    EXPECT_EQ(c.message, driver::answer(IDOK));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(live == stack_state());
  }
  // The refused text did not reach the record: Restore with no saved MTU keeps the record's.
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, g_product_key, 0, KEY_SET_VALUE, &key));
  RegDeleteValueA(key, "Parm1");
  RegCloseKey(key);
  driver::click(dialog, IDC_DEFAULT);  // record: 1500, 5840, 32, 1, 0
  driver::type(dialog, IDC_MAX_MTU, "0");
  driver::press(dialog, IDOK);
  driver::answer(IDOK);
  driver::press(dialog, IDC_RESTORE);
  driver::answer(IDYES);
  driver::answer(IDOK);
  EXPECT_EQ("1500", driver::text(dialog, IDC_MAX_MTU));
  EXPECT_EQ(text_value("1500"), stack_state().mtu[2]);

  driver::type(dialog, IDC_MAX_MTU, "65535");
  driver::type(dialog, IDC_TTL, "255");
  confirm(dialog);
  EXPECT_EQ(text_value("65535"), stack_state().mtu[2]);
  EXPECT_EQ(text_value("255"), mstcp("DefaultTTL"));
}

TEST_F(DialogTest, RestoreAsksThenWritesTheSavedValues) {
  set_product("Installed", dword_value(1));
  set_product("Parm1", dword_value(1400));
  // Parm2 missing: the field keeps what the record holds
  set_product("Parm3", dword_value(100));
  set_product("Parm4", dword_value(0));
  set_product("Parm5", dword_value(1));
  StackState live = stack_state();
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_TYPE_MODEM_56K);  // record: 576, 2144, 64, 1, 0

  driver::press(dialog, IDC_RESTORE);
  EXPECT_EQ("Do you want to restore original TCP/IP settings?", driver::answer(IDNO));
  EXPECT_TRUE(live == stack_state());
  expect_fields(dialog, "576", "2144", "64", true, false);

  driver::type(dialog, IDC_RCV_WINDOW, "999");  // typed text is not taken first
  driver::press(dialog, IDC_RESTORE);
  EXPECT_EQ("Do you want to restore original TCP/IP settings?", driver::answer(IDYES));
  EXPECT_EQ("Original TCP/IP settings restored", driver::answer(IDOK));
  expect_fields(dialog, "1400", "2144", "100", false, true);
  EXPECT_TRUE(driver::checked(dialog, IDC_TYPE_MODEM_56K));

  StackState after = stack_state();
  EXPECT_EQ(text_value("1400"), after.mtu[2]);
  EXPECT_EQ(dword_value(2144), after.rcv);
  EXPECT_EQ(text_value("100"), after.ttl);
  EXPECT_EQ(dword_value(0), after.pmtu);
  EXPECT_EQ(dword_value(1), after.blackhole);
  EXPECT_EQ(dword_value(IDC_TYPE_MODEM_56K), product("Type"));
  cancel(dialog);
}

TEST_F(DialogTest, AboutShowsTheBuild) {
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::press(dialog, IDC_ABOUT);
  EXPECT_EQ("Skellan Build 100", driver::answer(IDOK));
  EXPECT_TRUE(IsWindow(dialog));
  cancel(dialog);
}

TEST_F(DialogTest, CloseBoxCancels) {
  StackState live = stack_state();
  HWND dialog = open();
  ASSERT_NE(nullptr, dialog);
  driver::click(dialog, IDC_TYPE_LAN);
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(1, run_->finish());
  EXPECT_TRUE(live == stack_state());
  EXPECT_EQ(nullptr, current_settings());
}

}  // namespace
