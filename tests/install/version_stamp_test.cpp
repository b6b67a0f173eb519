// The version stamp in the real registry: four DWORDs named after the prefix, or nothing at all.
#include <gtest/gtest.h>

#include <string>

#include "install/install_support.h"
#include "install/version_stamp.h"
#include "support/scratch.h"

using namespace install_test;

namespace {

class VersionStampTest : public ::testing::Test {
 protected:
  void SetUp() override { existed_ = reg_key_exists(HKEY_LOCAL_MACHINE, kVersionStampParent); }
  void TearDown() override {
    for (const char *suffix : {"_tmaj", "_tmin", "_vmaj", "_vmin"})
      reg_delete_value(HKEY_LOCAL_MACHINE, kVersionStampKey, (std::string("ZindleStamp") + suffix).c_str());
    if (!existed_) delete_key_tree(HKEY_LOCAL_MACHINE, kVersionStampParent);
  }
  bool existed_ = false;
};

TEST_F(VersionStampTest, HighNumbersGoToTheTStampsAndLowOnesToTheVStamps) {
  SetupInfo info;
  info.has_version = 1;
  info.version_prefix = "ZindleStamp";
  info.version_major_high = 1;
  info.version_major_low = 2;
  info.version_minor_high = 3;
  info.version_minor_low = 0xFFFFFFFF;
  ASSERT_EQ(0, write_version_stamp(Unjournaled(&info)));
  EXPECT_EQ("Software\\Quorvane\\Vemmick\\Ormal000", std::string(kVersionStampKey));
  const struct {
    const char *name;
    DWORD expected;
  } stamps[] = {{"ZindleStamp_tmaj", 1}, {"ZindleStamp_tmin", 3}, {"ZindleStamp_vmaj", 2},
                {"ZindleStamp_vmin", 0xFFFFFFFF}};
  for (const auto &stamp : stamps) {
    DWORD number = 0;
    ASSERT_TRUE(reg_dword(HKEY_LOCAL_MACHINE, kVersionStampKey, stamp.name, &number)) << stamp.name;
    EXPECT_EQ(stamp.expected, number) << stamp.name;
  }
  EXPECT_EQ(0u, info.uninstall_items.size()) << "the stamp is not part of the uninstall record";
}

TEST_F(VersionStampTest, WithoutAVersionSectionNothingIsWritten) {
  SetupInfo info;
  info.version_prefix = "ZindleStamp";
  info.version_major_high = 9;
  ASSERT_EQ(0, write_version_stamp(Unjournaled(&info)));
  EXPECT_FALSE(reg_value_exists(HKEY_LOCAL_MACHINE, kVersionStampKey, "ZindleStamp_tmaj"));
  if (!existed_) {
    EXPECT_FALSE(reg_key_exists(HKEY_LOCAL_MACHINE, kVersionStampParent));
  }
}

}  // namespace
