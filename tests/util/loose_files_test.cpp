// LooseFiles answers from one listing exactly what asking the file system would.
#include <gtest/gtest.h>

#include "support/scratch.h"
#include "util/loose_files.h"

namespace {

TEST(LooseFiles, AnswersAsTheFileSystemWould) {
  ScratchDir dir("loose_files");
  CreateDirectoryA(dir.file("Help").c_str(), nullptr);
  CreateDirectoryA(dir.file("Sub").c_str(), nullptr);
  for (const char *name : {"tuner.exe", "Help\\index.htm", "Read Me.txt"}) write_file(dir.file(name), "x");
  struct Case {
    const char *name;
    int loose;
  } cases[] = {
      {"tuner.exe", 1},      {"TUNER.EXE", 1},  {"Read Me.txt", 1},   {"Help\\index.htm", 1}, {"help\\INDEX.HTM", 1},
      {"Help\\other.htm", 0}, {"Help", 0},       {"Sub", 0},           {"missing.exe", 0},     {"Nope\\index.htm", 0},
      {"", 0},               {"tuner.ex", 0},   {"tuner.exe.bak", 0},
  };
  LooseFiles loose;
  for (const Case &c : cases) EXPECT_EQ(c.loose, loose.Has(dir.path().c_str(), c.name)) << c.name;
  // A file that appears later in a folder the list knows is still found; one in another directory
  // is asked of the file system.
  write_file(dir.file("Help\\late.htm"), "x");
  EXPECT_EQ(1, loose.Has(dir.path().c_str(), "Help\\late.htm"));
  EXPECT_EQ(1, loose.Has(dir.file("Help").c_str(), "index.htm"));
}

}  // namespace
