// Paths and file names on the test prefix's drives (A: removable, K: a second fixed drive, Q:
// unmapped; see prefix-setup.sh), temporary locations and free disk space.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <tuple>

#include "kest011/files.h"
#include "support/temp_folder.h"

namespace {

std::string const kTooLong = "C:\\" + std::string(MAX_PATH - 3, 'a');  // 260 characters
std::string const kHuge(100000, 'a');
std::string const kHugePath = "C:\\" + kHuge;

TEST(DriveIsEqual, ComparesRootsOnlyAndLooksAtNoMoreThanABufferHolds) {
  for (auto [path1, path2, expected] :
       {std::tuple<char const*, char const*, int>{"C:\\a", "K:\\a", 0},
        {nullptr, "C:\\", 0},  //
        {"\\\\server\\share\\a", "\\\\SERVER\\share\\b", 1},
        {kTooLong.c_str(), "C:", 1},  //
        {nullptr, nullptr, 0},
        {kHugePath.c_str(), "C:", 1}})
    EXPECT_EQ(KestDriveIsEqual(path1, path2), expected) << path2;
}

TEST(PathIsValid, RulesAndDriveTypes) {
  auto const check = [](std::string const& path, int allowRemovable, int valid, int removable) {
    int isRemovable = 7;
    EXPECT_EQ(KestPathIsValid(path.c_str(), allowRemovable, &isRemovable), valid) << path;
    EXPECT_EQ(isRemovable, removable) << path;
  };
  // 259 characters are the longest.
  for (std::string const& valid : {std::string("K:\\x"), kTooLong.substr(0, MAX_PATH - 1)})
    check(valid, 0, 1, 0);
  for (std::string const& invalid :
       std::initializer_list<std::string>{"C:\\a\\b:c", "dir\\file", "", kTooLong, kHugePath})
    check(invalid, 1, 0, 0);
  check("A:\\x", 0, 0, 1);
  check("A:\\x", 1, 1, 1);
  EXPECT_EQ(KestPathIsValid(nullptr, 1, nullptr), 0);
}

TEST(FileNames, ValidityReplacementInLinearTimeAndReservedDeviceNames) {
  for (char const* good : {"a.txt", "a b", "CON", kHuge.c_str()})
    EXPECT_EQ(KestFilenameIsValid(good), 1) << good;
  for (char const* bad : {"a\\b", "a:b", "a*b", "a<b", "tab\t", "   ", "", (char const*)nullptr})
    EXPECT_EQ(KestFilenameIsValid(bad), 0) << bad;
  // Every invalid character is replaced; a replacement of 0 ends the name at the first one.
  for (auto [replacement, count, result] :
       {std::tuple('_', 3u, "a_b_c_"), std::tuple('\0', 1u, "a")}) {
    std::string name = "a*b?c|";
    EXPECT_EQ(KestReplaceInvalidFilenameCharacters(name.data(), replacement, 3), count);
    EXPECT_STREQ(name.c_str(), result);
  }
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(nullptr, '_', 3), 0u);
  std::string many(1000000, '*');  // once quadratic: 400,000 characters took nearly a minute
  auto const start = std::chrono::steady_clock::now();
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(many.data(), '_', 3), 1000000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(many, std::string(1000000, '_'));
  for (char const* reserved : {"Lpt1", "EPT", "con", "clock$", "COM"})
    EXPECT_EQ(KestIsReservedDeviceName(reserved), 1) << reserved;
  for (char const* other :
       {"LPT5", "COM0", "CON.TXT", " CON", "C:\\CON", "", kHuge.c_str(), (char const*)nullptr})
    EXPECT_EQ(KestIsReservedDeviceName(other), 0) << other;
}

// Through the runtime's copy of the environment, which getenv reads; "" is no variable.
std::string variable(char const* name) {
  char const* value = std::getenv(name);
  return value ? value : "";
}
void setVariable(char const* name, std::string const& value) {
  _putenv((std::string(name) + "=" + value).c_str());
}

class TempDirectory : public ::testing::Test {
  std::string const tmp_ = variable("TMP");
  std::string const temp_ = variable("TEMP");
  void TearDown() override {
    setVariable("TMP", tmp_);
    setVariable("TEMP", temp_);
  }
};

TEST_F(TempDirectory, TmpFirstThenTempCopiedToTmpThenTildeTempInTheSystemDirectoryForBoth) {
  setVariable("TMP", "D:\\tmp");
  setVariable("TEMP", "D:\\temp");
  EXPECT_STREQ(KestTempDirectory(), "D:\\tmp");
  setVariable("TMP", "");
  EXPECT_STREQ(KestTempDirectory(), "D:\\temp");
  EXPECT_EQ(variable("TMP"), "D:\\temp");
  char system[MAX_PATH];
  ASSERT_NE(GetSystemDirectoryA(system, sizeof system), 0u);
  std::string const made = std::string(system) + "\\~Temp";
  bool const existed = GetFileAttributesA(made.c_str()) != INVALID_FILE_ATTRIBUTES;
  setVariable("TMP", "");
  setVariable("TEMP", "");
  EXPECT_STREQ(KestTempDirectory(), made.c_str());
  EXPECT_NE(GetFileAttributesA(made.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(variable("TMP") + "|" + variable("TEMP"), made + "|" + made);
  if (!existed) RemoveDirectoryA(made.c_str());
}

TEST_F(TempDirectory, ValuesOf260CharactersAreRefusedAndChangeNothing) {
  std::string const longest = "C:\\" + std::string(MAX_PATH - 4, 't');
  setVariable("TMP", longest + "t");
  EXPECT_STREQ(KestTempDirectory(), nullptr);
  setVariable("TMP", "");
  setVariable("TEMP", longest + "t");
  EXPECT_STREQ(KestTempDirectory(), nullptr);
  EXPECT_EQ(variable("TMP"), "");
  setVariable("TEMP", longest);
  EXPECT_STREQ(KestTempDirectory(), longest.c_str());
}

// The tour shows the runtime's rule (Windows and Wine alike): TMP wins over the folder given.
TEST_F(TempDirectory, TempFilenameNamesAFileNotYetMadeAndRefusesPrefixesLeavingTheFolderOrTooLong) {
  std::string const longPrefix(MAX_PATH, 'p');
  char const *const prefix260 = longPrefix.c_str(), *const huge = kHuge.c_str();
  std::pair<char const*, char const*> const cases[] = {
      {nullptr, "..\\x"}, {nullptr, "a/b"},     {nullptr, "a:b"}, {nullptr, "\\"},  //
      {nullptr, "C:x"},   {nullptr, prefix260}, {huge, "abc"},    {huge, huge},     //
  };
  for (auto [folder, prefix] : cases)
    EXPECT_EQ(KestTempFilename(folder, prefix), nullptr) << prefix;
  char const* made = KestTempFilename(nullptr, "abc");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(GetFileAttributesA(made), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(KestTempFilename(nullptr, nullptr), nullptr);  // no prefix: none is used
}

TEST(FreeDiskSpace, AnyPathOnADriveGivesItsSpaceAndOthersAreRefused) {
  ULARGE_INTEGER root{}, other{};
  unsigned long megabytes = 0;
  ASSERT_EQ(KestFreeDiskSpace("C:\\", &root), 1);
  EXPECT_EQ(KestFreeDiskSpaceC("c:\\any\\dir\\file.txt", &other), 1);
  EXPECT_EQ(KestFreeDiskSpaceMBC(kHugePath.c_str(), &megabytes), 1);
  // Other programs write to the disk meanwhile: readings agree to within 256 MB.
  EXPECT_NEAR(double(other.QuadPart), double(root.QuadPart), 256 << 20);
  EXPECT_NEAR(double(megabytes), double(root.QuadPart >> 20), 256);
  EXPECT_EQ(KestFreeDiskSpace("C:\\", nullptr) + KestFreeDiskSpaceMB("C:\\", nullptr), 0);
  for (char const* path : {"\\\\server\\share\\dir", "data", static_cast<char const*>(nullptr)}) {
    EXPECT_EQ(KestFreeDiskSpace(path, &other) + KestFreeDiskSpaceMB(path, &megabytes), 0);
    EXPECT_EQ(megabytes, 0u);
  }
}

}  // namespace
