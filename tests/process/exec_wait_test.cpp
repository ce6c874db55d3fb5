// Launching real programs under Wine: a helper of the test suite and cmd.exe.

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <string>
#include <vector>

#include "kest011/process.h"
#include "support/program_folder.h"
#include "support/system_text.h"

namespace {

using kest::test::programFolder;
using kest::test::systemText;

std::string child(std::string const& arguments) {
  return "\"" + programFolder() + "kest_process_child.exe\" " + arguments;
}

int run(std::string const& commandLine, unsigned long timeout = INFINITE, void** process = nullptr,
        unsigned short show = SW_HIDE) {
  return KestWinExecWait32(nullptr, commandLine.c_str(), show, process, 0, timeout, nullptr,
                           nullptr);
}

// The handles this process holds, as the system's handle table lists them.
long openHandleCount() {
  constexpr auto kExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);
  struct Entry {
    ULONG_PTR object, processId, handle;
    ULONG access, backTraceAndType, attributes, reserved;
  };
  struct Table {
    ULONG_PTR count, reserved;
    Entry entries[1];
  };
  std::vector<char> buffer(1 << 20);
  ULONG needed = 0;
  while (NtQuerySystemInformation(kExtendedHandleInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &needed) != 0) {
    if (buffer.size() >= (64u << 20)) return -1;
    buffer.resize(buffer.size() * 2);
  }
  auto const* table = reinterpret_cast<Table const*>(buffer.data());
  long own = 0;
  for (ULONG_PTR i = 0; i < table->count; ++i)
    if (table->entries[i].processId == GetCurrentProcessId()) ++own;
  return own;
}

// A child that holds until `go` is set, then sets `done`.
class HeldChild : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string const id = std::to_string(GetCurrentProcessId());
    goName_ = "kest-hold-go-" + id;
    doneName_ = "kest-hold-done-" + id;
    go_ = CreateEventA(nullptr, TRUE, FALSE, goName_.c_str());
    done_ = CreateEventA(nullptr, TRUE, FALSE, doneName_.c_str());
    ASSERT_NE(go_, nullptr);
    ASSERT_NE(done_, nullptr);
  }
  void TearDown() override {
    SetEvent(go_);
    CloseHandle(go_);
    CloseHandle(done_);
  }
  std::string command() const { return child("hold " + goName_ + " " + doneName_); }

  std::string goName_;
  std::string doneName_;
  HANDLE go_ = nullptr;
  HANDLE done_ = nullptr;
};

TEST(ExecWait, ExitCodesComeBackEvenWhereTheyLookLikeOtherResults) {
  struct Case {
    char const* exitCode;
    int result;
  };
  // 1, 258 and -1 cannot be told from no wait, a time-out and a failed start.
  for (Case const& c :
       {Case{"0", 0}, Case{"7", 7}, Case{"1", 1}, Case{"258", 258}, Case{"0xFFFFFFFF", -1}}) {
    SCOPED_TRACE(c.exitCode);
    EXPECT_EQ(run(child(std::string("exit ") + c.exitCode)), c.result);
  }
  EXPECT_EQ(run("cmd.exe /c exit 7"), 7);
}

TEST_F(HeldChild, WithoutWaitTheCallerGetsTheRunningProcess) {
  void* process = nullptr;
  ASSERT_EQ(run(command(), 0, &process), 1);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  SetEvent(go_);
  EXPECT_EQ(WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  EXPECT_TRUE(GetExitCodeProcess(process, &exitCode));
  EXPECT_EQ(exitCode, 5u);
  CloseHandle(process);
}

TEST_F(HeldChild, TimeOutLeavesTheProgramRunningAndNoHandleWithTheCaller) {
  void* process = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(run(command(), 50, &process), 258);
  EXPECT_EQ(process, nullptr);
  SetEvent(go_);
  EXPECT_EQ(WaitForSingleObject(done_, 10000), WAIT_OBJECT_0);
}

TEST(ExecWait, NoHandleIsLeftOpenButTheOneTheCallerAskedFor) {
  ASSERT_EQ(run(child("exit 0")), 0);  // the first start may open handles of the system's own
  long const before = openHandleCount();
  ASSERT_GT(before, 0);

  EXPECT_EQ(run(child("exit 0"), 0, nullptr), 1);
  EXPECT_EQ(openHandleCount(), before);

  void* process = nullptr;
  EXPECT_EQ(run(child("exit 0"), 0, &process), 1);
  EXPECT_EQ(openHandleCount(), before + 1);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);

  EXPECT_EQ(run(child("exit 0"), INFINITE, &process), 0);
  EXPECT_EQ(process, nullptr);
  EXPECT_EQ(openHandleCount(), before);
}

TEST(ExecWait, MissingProgramIsReportedWithTheSystemsCodeAndText) {
  unsigned long code = 0;
  char* text = nullptr;
  void* process = nullptr;
  EXPECT_EQ(KestWinExecWait32(nullptr, "kest_no_such_program.exe", SW_HIDE, &process, 0, INFINITE,
                              &code, &text),
            -1);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), systemText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(process, nullptr);
}

TEST(ExecWait, CommandLineIsCutTo259Characters) {
  std::string line = child("command-line ");
  line.append(300 - line.size(), 'x');
  EXPECT_EQ(run(line), 259);
  EXPECT_EQ(run(child("command-line")), static_cast<int>(child("command-line").size()));
}

TEST(ExecWait, ShowValueReachesTheProgram) {
  for (unsigned short show : {SW_HIDE, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED}) {
    SCOPED_TRACE(show);
    EXPECT_EQ(run(child("show"), INFINITE, nullptr, show), show);
  }
}

TEST(ExecWait16, OnTheNtPlatformRunsLikeThe32BitFormAndWritesNoPif) {
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  std::string const pif = std::string(windows) + "\\cmd.pif";
  DeleteFileA(pif.c_str());
  std::string const cmd = std::string(windows) + "\\system32\\cmd.exe";
  EXPECT_EQ(KestWinExecWait16(cmd.c_str(), "cmd.exe /c exit 4", SW_HIDE, nullptr, 0, INFINITE,
                              nullptr, nullptr),
            4);
  EXPECT_EQ(GetFileAttributesA(pif.c_str()), INVALID_FILE_ATTRIBUTES);
  // Without a PIF to name, no application name is needed either.
  EXPECT_EQ(KestWinExecWait16(nullptr, "cmd.exe /c exit 4", SW_HIDE, nullptr, 0, INFINITE, nullptr,
                              nullptr),
            4);
}

}  // namespace
