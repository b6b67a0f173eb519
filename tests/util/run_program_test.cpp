// run_program: exit codes of real processes, waiting and not waiting, and a missing program.
#include <gtest/gtest.h>

#include <string>

#include "sdk/utilities.h"
#include "support/scratch.h"

namespace {

// This test program itself, started with a filter that runs only the disabled sleeper below.
std::string sleeper_command() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "";
  return std::string("\"") + self +
         "\" --gtest_filter=RunProgramHelper.DISABLED_SleepAWhile --gtest_also_run_disabled_tests";
}

TEST(RunProgramHelper, DISABLED_SleepAWhile) { Sleep(3000); }

TEST(RunProgram, WaitsAndGivesTheExitCode) {
  EXPECT_EQ(7ul, run_program(1, "cmd /c exit 7"));
  EXPECT_EQ(0ul, run_program(1, "cmd /c exit 0"));
  EXPECT_EQ(0xFFFFFFFEul, run_program(1, "cmd /c exit -2"));
}

TEST(RunProgram, WaitMeansTheProgramHasFinished) {
  ScratchDir scratch("run_program");
  std::string marker = scratch.file("done.txt");
  std::string command = "cmd /c echo done> \"" + marker + "\"";
  EXPECT_EQ(0ul, run_program(1, command.c_str()));
  EXPECT_TRUE(file_exists(marker));
}

// The sleeper inherits this program's standard handles; point them at NUL meanwhile so its
// report does not mix with this one.
TEST(RunProgram, WithoutWaitARunningProgramReportsStillActive) {
  std::string command = sleeper_command();
  ASSERT_FALSE(command.empty());
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, nul);
  SetHandleInformation(nul, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, nul);
  SetStdHandle(STD_ERROR_HANDLE, nul);
  unsigned long code = run_program(0, command.c_str());
  SetStdHandle(STD_OUTPUT_HANDLE, out);
  SetStdHandle(STD_ERROR_HANDLE, err);
  CloseHandle(nul);
  EXPECT_EQ(static_cast<unsigned long>(STILL_ACTIVE), code);
}

TEST(RunProgram, ProgramThatCannotStartGivesAllBitsSet) {
  EXPECT_EQ(0xFFFFFFFFul, run_program(1, "C:\\no\\such\\program.exe"));
  EXPECT_EQ(0xFFFFFFFFul, run_program(0, "C:\\no\\such\\program.exe -x"));
  EXPECT_EQ(0xFFFFFFFFul, run_program(1, ""));
  EXPECT_EQ(0xFFFFFFFFul, run_program(1, nullptr));
}

// The caller's command line may be a constant: run_program must not write into it.
TEST(RunProgram, LeavesTheCommandLineUntouched) {
  std::string command = "cmd /c exit 3";
  std::string copy = command;
  EXPECT_EQ(3ul, run_program(1, &command[0]));
  EXPECT_EQ(copy, command);
}

}  // namespace
