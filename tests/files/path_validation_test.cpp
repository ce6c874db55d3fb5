// Paths and file names, judged against the real drives of the test prefix.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/machine.h"
#include "kest011/files.h"

namespace {

std::string const kRemovable = kest::test::kRemovableDrive;
std::string const kTooLong = "C:\\" + std::string(MAX_PATH, 'a');

TEST(DriveIsEqual, ComparesRootsOnly) {
  struct Case {
    char const* path1;
    char const* path2;
    int expected;
  } const cases[] = {
      {"C:", "c:\\data\\x.txt", 1},
      {"C:\\a", "K:\\a", 0},
      {"dir\\a", "dir\\b", 0},  // relative: no root at all
      {"C", "C:\\", 0},
      {nullptr, "C:\\", 0},
      {"\\\\server\\share\\a", "\\\\SERVER\\share\\b", 1},
      {"\\\\server\\one\\a", "\\\\server\\two\\a", 0},
      {kTooLong.c_str(), "C:", 1},
  };
  for (Case const& c : cases) EXPECT_EQ(KestDriveIsEqual(c.path1, c.path2), c.expected) << c.path2;
}

TEST(PathIsValid, RulesAndDriveTypes) {
  struct Case {
    std::string path;
    int allowRemovable;
    int expected;
    int expectedRemovable;
  } const cases[] = {
      {"", 1, 0, 0},
      {"C:", 0, 1, 0},
      {"C:\\dir\\..\\file.txt", 0, 1, 0},
      {std::string(kest::test::kSecondFixedDrive) + "\\x", 0, 1, 0},
      {"\\\\server\\share\\dir", 0, 1, 0},  // no drive check for network paths
      {"C:\\a\\\\b", 1, 0, 0},
      {"C:\\a*.txt", 1, 0, 0},
      {"C:\\a|b", 1, 0, 0},
      {"C:\\a\\b:c", 1, 0, 0},
      {"C:dir", 1, 0, 0},
      {"dir\\file", 1, 0, 0},
      {"Q:\\nothing\\mapped", 1, 0, 0},
      {kRemovable + "\\x", 0, 0, 1},
      {kRemovable + "\\x", 1, 1, 1},
      {kRemovable + "\\a?b", 1, 0, 1},
      {"C:\\" + std::string(MAX_PATH - 4, 'a'), 0, 1, 0},  // 259 characters: the longest
      {kTooLong, 0, 0, 0},
  };
  for (Case const& c : cases) {
    int isRemovable = 7;
    EXPECT_EQ(KestPathIsValid(c.path.c_str(), c.allowRemovable, &isRemovable), c.expected)
        << c.path;
    EXPECT_EQ(isRemovable, c.expectedRemovable) << c.path;
  }
  EXPECT_EQ(KestPathIsValid(nullptr, 1, nullptr), 0);
}

TEST(FilenameIsValid, SingleNamesOnly) {
  for (char const* good : {"a.txt", "a b", "CON"}) EXPECT_EQ(KestFilenameIsValid(good), 1) << good;
  for (char const* bad : {"a\\b", "a:b", "a?b", "a*b", "a<b", "tab\t", "   ", ""})
    EXPECT_EQ(KestFilenameIsValid(bad), 0) << bad;
}

TEST(ReplaceInvalidFilenameCharacters, ReplacesInPlaceAndCounts) {
  struct Case {
    char const* name;
    char replacement;
    char const* expected;
    unsigned replaced;
  } const cases[] = {
      {"a*b?c", '_', "a_b_c", 2},
      {"valid.txt", '_', "valid.txt", 0},
      {"a*b?c", '\0', "a", 1},  // the name ends at the first replacement
      {"", '_', "", 0},
  };
  for (Case const& c : cases) {
    std::string name = c.name;
    EXPECT_EQ(KestReplaceInvalidFilenameCharacters(name.data(), c.replacement, 3), c.replaced);
    EXPECT_STREQ(name.c_str(), c.expected);
  }
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(nullptr, '_', 3), 0u);
}

TEST(IsReservedDeviceName, WholeNamesWithoutRegardToCase) {
  for (char const* reserved : {"Lpt1", "EPT", "con", "clock$", "COM", "com4"})
    EXPECT_EQ(KestIsReservedDeviceName(reserved), 1) << reserved;
  for (char const* other : {"LPT5", "COM0", "CON.TXT", " CON", "C:\\CON", ""})
    EXPECT_EQ(KestIsReservedDeviceName(other), 0) << other;
  EXPECT_EQ(KestIsReservedDeviceName(nullptr), 0);
}

}  // namespace
