// The tuner's registry helpers against the real registry, in a scratch key of HKEY_CURRENT_USER.
#include <gtest/gtest.h>

#include <string>

#include "registry_access.h"
#include "tuner_fixture.h"

namespace {

class RegistryAccessTest : public ::testing::Test {
 protected:
  ScratchKey scratch_{"TunerRegistryAccess"};
  const char *key() const { return scratch_.path().c_str(); }
  void store(const char *name, DWORD type, const std::string &bytes) {
    put(HKEY_CURRENT_USER, scratch_.path(), name, type, bytes);
  }
  // Leaves the key in place with another value, so that only "v" is missing.
  void reset() {
    store("other", REG_SZ, std::string("x\0", 2));
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueA(handle, "v");
    RegCloseKey(handle);
  }
};

struct StringCase {
  const char *label;
  DWORD type;
  std::string bytes;  // "" with store=false: value missing
  bool store;
  size_t capacity;
  int result;
  const char *text;
};

TEST_F(RegistryAccessTest, ReadStringReportsBytesAndAlwaysTerminates) {
  const StringCase cases[] = {
      {"terminated", REG_SZ, std::string("1500\0", 5), true, 256, 5, "1500"},
      {"exact fit", REG_SZ, std::string("1500\0", 5), true, 5, 5, "1500"},
      {"one byte short", REG_SZ, std::string("1500\0", 5), true, 4, 0, ""},
      {"no terminator, room for one", REG_BINARY, "1500", true, 256, 5, "1500"},
      {"no terminator, no room", REG_BINARY, "1500", true, 4, 0, ""},
      {"empty value", REG_BINARY, "", true, 256, 0, ""},
      {"missing value", REG_SZ, "", false, 256, 0, ""},
      {"number read as text", REG_DWORD, std::string("\x41\x42\x00\x00", 4), true, 256, 4, "AB"},
  };
  for (const StringCase &c : cases) {
    SCOPED_TRACE(c.label);
    reset();
    if (c.store) store("v", c.type, c.bytes);
    char buffer[256];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(c.result, RegReadString(HKEY_CURRENT_USER, key(), "v", buffer, c.capacity));
    EXPECT_STREQ(c.text, buffer);
  }
}

TEST_F(RegistryAccessTest, ReadStringOfMissingKeyFails) {
  char buffer[16] = "keep";
  EXPECT_EQ(0, RegReadString(HKEY_CURRENT_USER, (scratch_.path() + "\\none").c_str(), "v", buffer, sizeof buffer));
  EXPECT_STREQ("", buffer);
}

struct DwordCase {
  const char *label;
  DWORD type;
  std::string bytes;
  bool store;
  int result;
  uint32_t number;
};

TEST_F(RegistryAccessTest, ReadDwordTakesAtMostFourBytesZeroExtended) {
  const DwordCase cases[] = {
      {"dword", REG_DWORD, std::string("\x78\x56\x34\x12", 4), true, 4, 0x12345678u},
      {"all bits", REG_DWORD, std::string("\xff\xff\xff\xff", 4), true, 4, 0xFFFFFFFFu},
      {"two bytes", REG_BINARY, std::string("\x34\x12", 2), true, 4, 0x1234u},
      {"one byte", REG_BINARY, std::string("\x07", 1), true, 4, 7u},
      {"no bytes", REG_BINARY, "", true, 4, 0u},
      {"short text is not type-checked", REG_SZ, std::string("64\0", 3), true, 4, 0x3436u},
      {"text of five bytes", REG_SZ, std::string("8192\0", 5), true, 0, 0u},
      {"eight bytes", REG_BINARY, std::string("\1\2\3\4\5\6\7\x08", 8), true, 0, 0u},
      {"missing", REG_DWORD, "", false, 0, 0u},
  };
  for (const DwordCase &c : cases) {
    SCOPED_TRACE(c.label);
    reset();
    if (c.store) store("v", c.type, c.bytes);
    int32_t number = 0x5A5A5A5A;  // stale content must never show through
    EXPECT_EQ(c.result, RegReadDword(HKEY_CURRENT_USER, key(), "v", &number));
    EXPECT_EQ(c.number, static_cast<uint32_t>(number));
    EXPECT_EQ(c.result, RegReadDword(HKEY_CURRENT_USER, key(), "v", nullptr));
  }
}

TEST_F(RegistryAccessTest, WritesCreateTheKeyAndUseTheirTypes) {
  std::string nested = scratch_.path() + "\\a\\b";
  EXPECT_EQ(1, RegWriteString(HKEY_CURRENT_USER, nested.c_str(), "MaxMTU", "576"));
  EXPECT_EQ(1, RegWriteDword(HKEY_CURRENT_USER, nested.c_str(), "Parm1", -1));
  EXPECT_EQ(1, RegWriteString(HKEY_CURRENT_USER, nested.c_str(), "Empty", ""));
  EXPECT_EQ(text_value("576"), stored(HKEY_CURRENT_USER, nested, "MaxMTU"));
  EXPECT_EQ(dword_value(0xFFFFFFFFu), stored(HKEY_CURRENT_USER, nested, "Parm1"));
  EXPECT_EQ(text_value(""), stored(HKEY_CURRENT_USER, nested, "Empty"));

  // Overwriting changes the type to the writer's.
  EXPECT_EQ(1, RegWriteDword(HKEY_CURRENT_USER, nested.c_str(), "MaxMTU", 1500));
  EXPECT_EQ(dword_value(1500), stored(HKEY_CURRENT_USER, nested, "MaxMTU"));
  int32_t number = 0;
  EXPECT_EQ(4, RegReadDword(HKEY_CURRENT_USER, nested.c_str(), "Parm1", &number));
  EXPECT_EQ(-1, number);
}

TEST_F(RegistryAccessTest, WriteToKeyThatCannotBeCreatedFails) {
  std::string too_long = scratch_.path() + "\\" + std::string(300, 'k');
  EXPECT_EQ(0, RegWriteString(HKEY_CURRENT_USER, too_long.c_str(), "v", "1"));
  EXPECT_EQ(0, RegWriteDword(HKEY_CURRENT_USER, too_long.c_str(), "v", 1));
}

}  // namespace
