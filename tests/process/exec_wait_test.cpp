// Launching real programs under Wine, and the file that the 16-bit launch writes for them.

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>
#include <tuple>
#include <utility>

#include "kest011/process.h"
#include "resources/resource_ids.h"
#include "support/temp_folder.h"

namespace {

using namespace std::string_literals;

// The child is found beside the test program, where CreateProcessA looks first.
int run(std::string const& commandLine, unsigned long timeout = INFINITE, void** process = nullptr,
        unsigned long* code = nullptr, unsigned long flags = 0) {
  return KestWinExecWait32(nullptr, commandLine.c_str(), SW_HIDE, process, flags, timeout, code,
                           nullptr);
}

std::string windowsFile(char const* name) {
  char windows[MAX_PATH];
  return std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\" + name;
}

std::string pifResource() {
  HMODULE const library = GetModuleHandleA("kest011.dll");
  HRSRC const found =
      FindResourceA(library, MAKEINTRESOURCEA(IDR_PROGRAM_INFORMATION_FILE), "PIFFILE");
  if (!found) return {};
  auto const* data = static_cast<char const*>(LockResource(LoadResource(library, found)));
  return std::string(data, SizeofResource(library, found));
}

// A flag announcing an extended start-up record, which the launch never passes, is dropped.
TEST(ExecWait, CommandLineIsCutTo259CharactersAndTheExtendedStartupFlagDropped) {
  std::string line = "kest_process_child.exe command-line ";
  EXPECT_EQ(run(line, INFINITE, nullptr, nullptr, EXTENDED_STARTUPINFO_PRESENT), int(line.size()));
  EXPECT_EQ(run(line.append(300, 'x')), 259);
}

TEST(ExecWait, TimeOutGivesNoProcess) {
  void* process = &process;
  EXPECT_EQ(run("kest_process_child.exe sleep 1000", 50, &process), 258);
  EXPECT_EQ(process, nullptr);
}

// Nothing to start is refused with code 0; so, before it starts, is a suspended or debugged
// program with a wait (it would never end). Without a wait the caller gets the process.
TEST(ExecWait, NothingToStartAndSuspendedOrDebuggedStartsWithAWaitAreRefused) {
  char const* const child = "kest_process_child.exe exit 0";
  using Launch = std::tuple<char const*, unsigned long, unsigned long>;  // line, flags, time-out
  for (auto execWait : {KestWinExecWait32, KestWinExecWait16})
    for (auto [line, flags, timeout] :
         {Launch{nullptr, 0, INFINITE}, Launch{child, CREATE_SUSPENDED, 1},
          Launch{child, DEBUG_PROCESS, INFINITE}, Launch{child, DEBUG_ONLY_THIS_PROCESS, 100}}) {
      unsigned long code = 99;
      char* text = reinterpret_cast<char*>(&code);
      void* process = &code;
      EXPECT_EQ(execWait(nullptr, line, SW_HIDE, &process, flags, timeout, &code, &text), -1)
          << flags;
      EXPECT_TRUE(code == 0 && !text && process == &code) << flags;  // nothing started
    }
  void* process = nullptr;
  ASSERT_EQ(run("kest_process_child.exe exit 0", 0, &process, nullptr, CREATE_SUSPENDED), 1);
  EXPECT_EQ(WaitForSingleObject(process, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(process, 0);
  CloseHandle(process);
}

// On the NT platform the 16-bit launch writes no file; the copy of the child that the prefix
// gives Windows 98 writes <Windows directory>\kest_process_win98.pif from the resource.
TEST(ExecWait16, WritesAMissingPifOnlyOnTheConsumerPlatformAndKeepsAnExistingOne) {
  std::string const pif = windowsFile("kest_process_win98.pif");
  DeleteFileA(pif.c_str());
  EXPECT_EQ(run("kest_process_child.exe exec16"), 7);
  EXPECT_EQ(GetFileAttributesA(windowsFile("kest_process_child.pif").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(run("kest_process_win98.exe exec16"), 7);
  EXPECT_EQ(kest::test::readFile(pif), pifResource());
  std::ofstream(pif, std::ios::binary) << "mine";
  EXPECT_EQ(run("kest_process_win98.exe exec16"), 7);
  EXPECT_EQ(kest::test::readFile(pif), "mine");
  DeleteFileA(pif.c_str());
  // Without an application name there is no name for the file: -1 with code 0.
  EXPECT_EQ(run("kest_process_win98.exe exec16-null"), 2000);
}

TEST(PifResource, SectionsOffsetsAndValues) {
  std::string const pif = pifResource();
  ASSERT_EQ(pif.size(), 967u);
  using Field = std::pair<size_t, std::string>;  // offset, bytes
  for (auto const& [at, bytes] : {
           Field{0x000, "\0\x78MS-DOS Prompt                 \x80\x02\0\0"s},
           // Section headers: name, next header, data offset, data length.
           Field{0x024, "C:\\WINDOWS\\COMMAND.COM"s + std::string(41, '\0') + "\x10"s},
           Field{0x171, "MICROSOFT PIFEX\0\x87\x01\0\0\x71\x01"s},
           Field{0x187, "WINDOWS 386 3.0\0\x05\x02\x9D\x01\x68\0"s},
           Field{0x205, "WINDOWS VMM 4.0\0\xFF\xFF\x1B\x02\xAC\x01"s},
           Field{0x21B + 0x58, "PIFMGR.DLL\0"s},
       })
    EXPECT_EQ(pif.substr(at, bytes.size()), bytes) << std::hex << at;
}

}  // namespace
