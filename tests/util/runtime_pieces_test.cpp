// The pieces of the programs' own start-up and heap: the command tail WinMain receives, the
// atexit list, the heap functions' edge cases and a library's own heap.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "command_tail.h"
#include "exit_list.h"
#include "heap.h"

namespace {

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt) {
  struct Case {
    const char *line, *tail;
  } cases[] = {
      {"setup.exe", ""},
      {"setup.exe -u1 \"P\" 0", "-u1 \"P\" 0"},
      {"\"C:\\P Q\\t.exe\"\t -uninstall", "-uninstall"},
      {"a\"b c\"d e", "e"},
      {"\"unterminated name", ""},
      {"  ", ""},
  };
  for (const Case &c : cases) EXPECT_STREQ(c.tail, command_tail(c.line)) << c.line;
  EXPECT_STREQ("", command_tail(nullptr));
}

std::string g_ran;
ExitList g_list;
void first() { g_ran += "1"; }
void second() { g_ran += "2"; }
void adds_first() {
  g_ran += "a";
  g_list.Add(first);
}

TEST(ExitList, RunsNewestFirstOnceAndRefusesPastItsCapacity) {
  g_list = ExitList();
  g_ran.clear();
  EXPECT_EQ(1, g_list.Add(first));
  EXPECT_EQ(1, g_list.Add(adds_first));
  EXPECT_EQ(1, g_list.Add(second));
  EXPECT_EQ(0, g_list.Add(nullptr));
  g_list.RunAll();
  g_list.RunAll();
  EXPECT_EQ("2a11", g_ran);
  for (int i = 0; i < ExitList::kCapacity; ++i) ASSERT_EQ(1, g_list.Add(first));
  EXPECT_EQ(0, g_list.Add(first));
}

TEST(Heap, ZeroedOverflowResizeAndFree) {
  EXPECT_EQ(nullptr, heap_alloc_zeroed(SIZE_MAX / 2 + 2, 2));
  unsigned char *block = static_cast<unsigned char *>(heap_alloc_zeroed(100, 3));
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0, memcmp(block, std::string(300, '\0').data(), 300));
  memset(block, 'x', 300);
  block = static_cast<unsigned char *>(heap_resize(block, 100000));
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(0, memcmp(block, std::string(300, 'x').data(), 300));
  EXPECT_EQ(nullptr, heap_resize(block, 0));
  void *fresh = heap_resize(nullptr, 0);
  EXPECT_NE(nullptr, fresh);
  heap_free(fresh);
  heap_free(nullptr);
}

// A hook library's blocks must never land on the heap of setup.exe, which frees its own blocks
// there, and must all go at its unload.
TEST(Heap, PrivateHeapServesEveryFunctionUntilDestroyed) {
  ASSERT_EQ(1, heap_create_private());
  void *blocks[] = {heap_alloc(100), heap_alloc_zeroed(10, 10), heap_resize(heap_alloc(10), 50000)};
  for (void *block : blocks) {
    ASSERT_NE(nullptr, block);
    EXPECT_FALSE(HeapValidate(GetProcessHeap(), 0, block));
  }
  heap_free(blocks[0]);
  heap_destroy_private();
  void *after = heap_alloc(10);
  EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, after));
  heap_free(after);
}

}  // namespace
