// The program information file the library carries, and how the 16-bit launch writes it on
// the consumer platform (run in a helper that the prefix gives Windows 98).

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "kest011/process.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"

namespace {

using kest::test::programFolder;
using kest::test::readFile;
using kest::test::TempFolder;

std::string pifResource() {
  HMODULE const library = GetModuleHandleA("kest011.dll");
  HRSRC const found = FindResourceA(library, MAKEINTRESOURCEA(103), "PIFFILE");
  if (!found) return {};
  auto const* data = static_cast<char const*>(LockResource(LoadResource(library, found)));
  return std::string(data, SizeofResource(library, found));
}

unsigned word(std::string const& pif, size_t offset) {
  return static_cast<unsigned char>(pif[offset]) | static_cast<unsigned char>(pif[offset + 1]) << 8;
}

std::string text(std::string const& pif, size_t offset, size_t size) {
  std::string const field = pif.substr(offset, size);
  return field.substr(0, field.find('\0'));
}

TEST(PifResource, BasicSectionHoldsTheMsDosPrompt) {
  std::string const pif = pifResource();
  ASSERT_EQ(pif.size(), 967u);
  EXPECT_EQ(pif[0], '\0');
  EXPECT_EQ(static_cast<unsigned char>(pif[1]), 0x78);
  EXPECT_EQ(pif.substr(0x02, 30), std::string("MS-DOS Prompt") + std::string(17, ' '));
  EXPECT_EQ(word(pif, 0x20), 640u);
  EXPECT_EQ(word(pif, 0x22), 0u);
  EXPECT_EQ(pif.substr(0x24, 63), std::string("C:\\WINDOWS\\COMMAND.COM").append(41, '\0'));
  EXPECT_EQ(pif[0x63], '\x10');
  EXPECT_EQ(pif.substr(0xE6, 8), std::string("\x01\x00\xFF\x19\x50\x00\x00\x07", 8));
  // Everything else in the basic section is zero.
  std::string rest = pif.substr(0x64, 0xE6 - 0x64) + pif.substr(0xEE, 0x171 - 0xEE);
  EXPECT_EQ(rest, std::string(rest.size(), '\0'));
}

TEST(PifResource, SectionChainFramesTheWholeFile) {
  std::string const pif = pifResource();
  ASSERT_EQ(pif.size(), 967u);
  struct Header {
    size_t at;
    char const* name;
    unsigned next;
    unsigned dataOffset;
    unsigned dataLength;
  };
  size_t at = 0x171;
  for (Header const& h : {Header{0x171, "MICROSOFT PIFEX", 0x187, 0x000, 0x171},
                          Header{0x187, "WINDOWS 386 3.0", 0x205, 0x19D, 0x068},
                          Header{0x205, "WINDOWS VMM 4.0", 0xFFFF, 0x21B, 0x1AC}}) {
    SCOPED_TRACE(h.name);
    ASSERT_EQ(at, h.at);
    EXPECT_EQ(pif.substr(at, 16), std::string(h.name).append(1, '\0'));
    EXPECT_EQ(word(pif, at + 16), h.next);
    EXPECT_EQ(word(pif, at + 18), h.dataOffset);
    EXPECT_EQ(word(pif, at + 20), h.dataLength);
    at = word(pif, at + 16);
  }
  EXPECT_EQ(0x21Bu + 0x1ACu, pif.size());
  size_t const vmm = 0x21B;
  EXPECT_EQ(text(pif, vmm + 0x58, 80), "PIFMGR.DLL");
  EXPECT_EQ(text(pif, vmm + 0xEA, 32), "Terminal");
  EXPECT_EQ(text(pif, vmm + 0x10A, 32), "Courier New");
}

// Runs the Windows 98 helper and returns what it wrote: "result code".
std::string runOnWindows98(TempFolder const& folder, std::string const& application,
                           std::string const& commandLine) {
  std::string const output = folder.file("result.txt");
  std::string const line = "\"" + programFolder() + "kest_exec16_win98.exe\" \"" + output +
                           "\" \"" + application + "\" \"" + commandLine + "\"";
  int const exit =
      KestWinExecWait32(nullptr, line.c_str(), SW_HIDE, nullptr, 0, 30000, nullptr, nullptr);
  return exit == 0 ? readFile(output) : "helper exit " + std::to_string(exit);
}

TEST(ExecWait16, OnTheConsumerPlatformWritesAMissingPifAndKeepsAnExistingOne) {
  TempFolder folder;
  char windows[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  std::string const pif = std::string(windows) + "\\kest_process_child.pif";
  DeleteFileA(pif.c_str());
  std::string const child = programFolder() + "kest_process_child.exe";
  std::string const line = "kest_process_child.exe exit 7";

  EXPECT_EQ(runOnWindows98(folder, child, line), "7 0");
  EXPECT_EQ(readFile(pif), pifResource());

  HANDLE const own = CreateFileA(pif.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(own, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(own, "mine", 4, &written, nullptr);
  CloseHandle(own);
  EXPECT_EQ(runOnWindows98(folder, child, line), "7 0");
  EXPECT_EQ(readFile(pif), "mine");
  DeleteFileA(pif.c_str());
}

TEST(ExecWait16, OnTheConsumerPlatformWithoutApplicationNameFailsWithoutCode) {
  TempFolder folder;
  EXPECT_EQ(runOnWindows98(folder, "-", "cmd.exe /c exit 7"), "-1 0");
}

}  // namespace
