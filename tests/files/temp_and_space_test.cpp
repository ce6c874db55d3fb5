// Temporary locations and free disk space. The temporary-directory tests change TMP and
// TEMP, and put both back as they were.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/machine.h"
#include "kest011/files.h"
#include "support/temp_folder.h"

namespace {

using kest::test::readVariable;
using kest::test::setVariable;
using kest::test::Variable;

Variable tempDirectory() {
  char const* directory = KestTempDirectory();
  return directory ? Variable(directory) : std::nullopt;
}

class TempDirectory : public ::testing::Test {
  kest::test::SavedTempVariables saved_;
};

TEST_F(TempDirectory, TmpFirstThenTempWhichIsCopiedToTmp) {
  setVariable("TMP", "D:\\tmp");
  setVariable("TEMP", "D:\\temp");
  EXPECT_EQ(tempDirectory(), "D:\\tmp");
  EXPECT_EQ(readVariable("TEMP"), "D:\\temp");
  setVariable("TMP", std::nullopt);
  EXPECT_EQ(tempDirectory(), "D:\\temp");
  EXPECT_EQ(readVariable("TMP"), "D:\\temp");
}

TEST_F(TempDirectory, NeitherMakesTildeTempInTheSystemDirectoryAndSetsBoth) {
  char system[MAX_PATH];
  ASSERT_NE(GetSystemDirectoryA(system, sizeof system), 0u);
  std::string const expected = std::string(system) + "\\~Temp";
  bool const existed = kest::test::exists(expected);
  setVariable("TMP", std::nullopt);
  setVariable("TEMP", std::nullopt);
  EXPECT_EQ(tempDirectory(), expected);
  EXPECT_TRUE(kest::test::exists(expected));
  EXPECT_EQ(readVariable("TMP"), expected);
  EXPECT_EQ(readVariable("TEMP"), expected);
  if (!existed) RemoveDirectoryA(expected.c_str());
}

TEST_F(TempDirectory, ValuesOf260CharactersAreRefusedAndChangeNothing) {
  std::string const longest = "C:\\" + std::string(MAX_PATH - 4, 't');
  setVariable("TMP", longest + "t");
  EXPECT_EQ(tempDirectory(), std::nullopt);
  setVariable("TMP", std::nullopt);
  setVariable("TEMP", longest + "t");
  EXPECT_EQ(tempDirectory(), std::nullopt);
  EXPECT_EQ(readVariable("TMP"), std::nullopt);
  setVariable("TEMP", longest);
  EXPECT_EQ(tempDirectory(), longest);
  EXPECT_EQ(readVariable("TMP"), longest);
}

TEST_F(TempDirectory, TempFilenameNamesAFreshFileWithThePrefix) {
  kest::test::TempFolder folder;
  for (char const* directory : {static_cast<char const*>(nullptr), folder.path().c_str()}) {
    char const* made = KestTempFilename(directory, "abc");
    ASSERT_NE(made, nullptr);
    std::string const name = made;
    EXPECT_EQ(name.substr(name.rfind('\\') + 1, 3), "abc") << name;
    EXPECT_FALSE(kest::test::exists(name));
  }
  // Wine's runtime takes TMP before the directory given and fails when it is missing;
  // Windows' runtime falls back to other directories.
  setVariable("TMP", folder.file("missing"));
  EXPECT_EQ(KestTempFilename(nullptr, "abc"), nullptr);
}

TEST(FreeDiskSpace, AnyPathOnADriveGivesItsSpaceAndOthersAreRefused) {
  ULARGE_INTEGER root{};
  ASSERT_EQ(KestFreeDiskSpace("C:\\", &root), 1);
  // Other programs write to the disk meanwhile: readings agree to within 256 MB.
  double const slack = 256 << 20;
  for (auto freeSpace : {KestFreeDiskSpace, KestFreeDiskSpaceC}) {
    for (char const* path : {"C:", "c:\\any\\dir\\file.txt"}) {
      ULARGE_INTEGER other{};
      EXPECT_EQ(freeSpace(path, &other), 1) << path;
      EXPECT_NEAR(double(other.QuadPart), double(root.QuadPart), slack) << path;
    }
  }
  for (auto freeSpaceMB : {KestFreeDiskSpaceMB, KestFreeDiskSpaceMBC}) {
    unsigned long megabytes = 0;
    EXPECT_EQ(freeSpaceMB("C:\\", &megabytes), 1);
    EXPECT_NEAR(double(megabytes), double(root.QuadPart >> 20), 256);
    EXPECT_EQ(freeSpaceMB("C:\\", nullptr), 0);
  }
  for (char const* path :
       {"\\\\server\\share\\dir", "data", "", static_cast<char const*>(nullptr)}) {
    ULARGE_INTEGER untouched{{12345, 0}};
    EXPECT_EQ(KestFreeDiskSpace(path, &untouched) + KestFreeDiskSpaceC(path, &untouched), 0);
    EXPECT_EQ(untouched.QuadPart, 12345u);
    unsigned long megabytes = 99;
    EXPECT_EQ(KestFreeDiskSpaceMB(path, &megabytes), 0);
    EXPECT_EQ(megabytes, 0u);
  }
}

}  // namespace
