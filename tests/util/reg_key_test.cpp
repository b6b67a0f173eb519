// kRegKey against the real (Wine) registry, in a scratch key removed after each test.
#include <gtest/gtest.h>

#include "sdk/reg_key.h"
#include "support/scratch.h"

namespace {

class RegKeyTest : public ::testing::Test {
 protected:
  ScratchKey scratch_{"RegKeyTest"};
};

TEST_F(RegKeyTest, WrapperWithoutKeyFailsEveryOperation) {
  kRegKey key;
  char buffer[16] = "keep";
  unsigned long number = 7, size = sizeof buffer;
  EXPECT_EQ(0, key.SetString("a", "b"));
  EXPECT_EQ(0, key.SetDWORD("a", 1));
  EXPECT_EQ(0, key.SetBinary("a", "x", 1));
  EXPECT_EQ(0, key.GetString("a", buffer, sizeof buffer));
  EXPECT_EQ(0, key.GetDWORD("a", &number));
  EXPECT_EQ(0, key.GetBinary("a", buffer, &size));
  EXPECT_EQ(0, key.Delete("a"));
  EXPECT_EQ(0u, key.children());
  EXPECT_EQ(0u, key.values());
  EXPECT_EQ(0, key.child(0, buffer, sizeof buffer));
  EXPECT_EQ(0, key.value(0, buffer, sizeof buffer));
  EXPECT_EQ(0, key.Close());
  EXPECT_STREQ("keep", buffer);
  EXPECT_EQ(7u, number);
}

TEST_F(RegKeyTest, OpenFailsOnMissingKeyCreateMakesIt) {
  std::string path = scratch_.path() + "\\a\\b";
  kRegKey key;
  EXPECT_EQ(0, key.Open(HKEY_CURRENT_USER, path.c_str()));
  EXPECT_EQ(1, key.Create(HKEY_CURRENT_USER, path.c_str()));
  EXPECT_EQ(1, key.Close());
  EXPECT_EQ(0, key.Close());
  EXPECT_EQ(1, key.Open(HKEY_CURRENT_USER, path.c_str()));
}

TEST_F(RegKeyTest, SecondOpenIsRefusedAndHeldKeyStaysUsable) {
  kRegKey key;
  ASSERT_EQ(1, key.Create(HKEY_CURRENT_USER, scratch_.path().c_str()));
  EXPECT_EQ(0, key.Open(HKEY_CURRENT_USER, "Software"));
  EXPECT_EQ(0, key.Create(HKEY_CURRENT_USER, "Software"));
  EXPECT_EQ(1, key.SetDWORD("still", 5));
  unsigned long number = 0;
  EXPECT_EQ(1, key.GetDWORD("still", &number));
  EXPECT_EQ(5u, number);
}

TEST_F(RegKeyTest, TypedReadsCheckTypeAndSize) {
  kRegKey key;
  ASSERT_EQ(1, key.Create(HKEY_CURRENT_USER, scratch_.path().c_str()));
  ASSERT_EQ(1, key.SetString("text", "hello"));
  ASSERT_EQ(1, key.SetDWORD("number", 0xDEADBEEF));
  ASSERT_EQ(1, key.SetBinary("empty", "", 0));
  ASSERT_EQ(1, key.SetBinary("blob", "\x01\x02\x03", 3));
  ASSERT_EQ(1, key.SetString("", "default"));

  char buffer[16] = "untouched";
  unsigned long number = 42;
  EXPECT_EQ(0, key.GetDWORD("text", &number));
  EXPECT_EQ(42u, number);
  EXPECT_EQ(0, key.GetString("number", buffer, sizeof buffer));
  EXPECT_STREQ("untouched", buffer);
  EXPECT_EQ(0, key.GetString("text", buffer, 5));  // "hello" needs 6 bytes
  EXPECT_STREQ("untouched", buffer);
  EXPECT_EQ(1, key.GetString("text", buffer, sizeof buffer));
  EXPECT_STREQ("hello", buffer);
  EXPECT_EQ(1, key.GetString("", buffer, sizeof buffer));
  EXPECT_STREQ("default", buffer);
  EXPECT_EQ(1, key.GetDWORD("number", &number));
  EXPECT_EQ(0xDEADBEEFu, number);

  unsigned long size = sizeof buffer;
  EXPECT_EQ(0, key.GetBinary("empty", buffer, &size));
  size = sizeof buffer;
  EXPECT_EQ(1, key.GetBinary("blob", buffer, &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(0, memcmp(buffer, "\x01\x02\x03", 3));
  EXPECT_EQ(0, key.GetString("missing", buffer, sizeof buffer));
}

TEST_F(RegKeyTest, EnumeratesChildrenAndValuesAndDeletes) {
  kRegKey key;
  ASSERT_EQ(1, key.Create(HKEY_CURRENT_USER, scratch_.path().c_str()));
  kRegKey first, second;
  ASSERT_EQ(1, first.Create(key, "first"));
  ASSERT_EQ(1, second.Create(key, "second"));
  ASSERT_EQ(1, key.SetDWORD("v", 1));
  EXPECT_EQ(2u, key.children());
  EXPECT_EQ(1u, key.values());
  char name[32];
  EXPECT_EQ(1, key.child(0, name, sizeof name));
  EXPECT_TRUE(std::string(name) == "first" || std::string(name) == "second");
  EXPECT_EQ(0, key.child(2, name, sizeof name));
  EXPECT_EQ(0, key.child(0, name, 3));  // "first" does not fit in 3 bytes
  EXPECT_EQ(1, key.value(0, name, sizeof name));
  EXPECT_STREQ("v", name);
  EXPECT_EQ(1, key.Delete("v"));
  EXPECT_EQ(0, key.Delete("v"));
  EXPECT_EQ(0u, key.values());
}

TEST_F(RegKeyTest, SethandleTakesOwnership) {
  HKEY raw = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, scratch_.path().c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &raw, nullptr));
  kRegKey key;
  key.sethandle(raw);
  EXPECT_EQ(raw, key.getkey());
  EXPECT_EQ(raw, static_cast<HKEY>(key));
  EXPECT_EQ(1, key.SetString("x", "y"));
  EXPECT_EQ(1, key.Close());
  EXPECT_EQ(nullptr, key.getkey());
}

}  // namespace
