// The operating-system family: the decision table on its own, the class in this process and
// in probes that the prefix gives each Windows version Wine can pretend to be.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kest011/process.h"
#include "kest011/version.h"
#include "support/program_folder.h"
#include "support/temp_folder.h"
#include "version/operating_system_family.h"

namespace {

using kest::test::programFolder;
using kest::test::readFile;
using kest::test::TempFolder;
using OS = CKestSystemVersionInfo;

TEST(OperatingSystemFamily, DecisionTable) {
  struct Row {
    unsigned long platform, major, minor;
    OS::eOperatingSystem family;
  };
  for (Row const& r : {
           Row{VER_PLATFORM_WIN32s, 0, 0, OS::eWin32S},
           Row{VER_PLATFORM_WIN32s, 6, 2, OS::eWin32S},
           Row{VER_PLATFORM_WIN32_WINDOWS, 4, 0, OS::eWin95},
           Row{VER_PLATFORM_WIN32_WINDOWS, 3, 95, OS::eWin95},
           Row{VER_PLATFORM_WIN32_WINDOWS, 4, 10, OS::eWin98},
           Row{VER_PLATFORM_WIN32_WINDOWS, 4, 90, OS::eWin98},
           Row{VER_PLATFORM_WIN32_WINDOWS, 5, 0, OS::eWin98},
           Row{VER_PLATFORM_WIN32_NT, 3, 51, OS::eNT35},
           Row{VER_PLATFORM_WIN32_NT, 4, 0, OS::eNT40},
           Row{VER_PLATFORM_WIN32_NT, 4, 99, OS::eNT40},
           Row{VER_PLATFORM_WIN32_NT, 5, 0, OS::eWin2000},
           Row{VER_PLATFORM_WIN32_NT, 5, 2, OS::eWin2000},
           Row{VER_PLATFORM_WIN32_NT, 6, 0, OS::eUnknownOS},
           Row{VER_PLATFORM_WIN32_NT, 10, 0, OS::eUnknownOS},
           Row{3, 4, 0, OS::eUnknownOS},
           Row{0xFFFFFFFF, 4, 0, OS::eUnknownOS},
       }) {
    SCOPED_TRACE(testing::Message() << r.platform << " " << r.major << "." << r.minor);
    EXPECT_EQ(kest::operatingSystemFamily(r.platform, r.major, r.minor), r.family);
  }
}

// A system that knows only the plain record refuses the extended one.
BOOL WINAPI plainOnly(OSVERSIONINFOA* record) {
  if (record->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return FALSE;
  record->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
  record->dwMajorVersion = 4;
  return TRUE;
}
BOOL WINAPI refusesAll(OSVERSIONINFOA*) { return FALSE; }

TEST(OperatingSystemFamily, PlainRecordIsAskedForWhenTheExtendedOneIsRefused) {
  OSVERSIONINFOEXA record;
  int extended = -1;
  EXPECT_TRUE(kest::readVersionRecord(record, extended, plainOnly));
  EXPECT_EQ(extended, 0);
  EXPECT_EQ(record.dwOSVersionInfoSize, sizeof(OSVERSIONINFOA));
  EXPECT_EQ(record.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_FALSE(kest::readVersionRecord(record, extended, refusesAll));
}

std::string probe(TempFolder const& folder, std::string const& version) {
  std::string const output = folder.file(version + ".txt");
  std::string const line =
      "\"" + programFolder() + "kest_os_" + version + ".exe\" \"" + output + "\"";
  int const exit =
      KestWinExecWait32(nullptr, line.c_str(), SW_HIDE, nullptr, 0, 30000, nullptr, nullptr);
  return exit == 0 ? readFile(output) : "probe exit " + std::to_string(exit);
}

TEST(SystemVersionInfo, FamiliesOfTheWindowsVersionsWineCanBe) {
  struct Case {
    char const* version;
    char const* answer;  // family, then IsUnknownOS ... IsWin2000
  };
  TempFolder folder;
  for (Case const& c :
       {Case{"win31", "1 0100000"}, Case{"win95", "2 0010000"}, Case{"win98", "3 0001000"},
        Case{"winme", "3 0001000"}, Case{"nt351", "4 0000100"}, Case{"nt40", "5 0000010"},
        Case{"win2k", "6 0000001"}, Case{"winxp", "6 0000001"}, Case{"win2003", "6 0000001"},
        Case{"win7", "0 1000000"}}) {
    SCOPED_TRACE(c.version);
    EXPECT_EQ(probe(folder, c.version), c.answer);
  }
}

}  // namespace
