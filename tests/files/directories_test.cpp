// Finding and creating directories, on real folders under the temporary directory.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/machine.h"
#include "kest011/files.h"
#include "support/system_text.h"
#include "support/temp_folder.h"

namespace {

using kest::test::exists;

class Directories : public ::testing::Test {
 protected:
  kest::test::TempFolder folder_;
  unsigned long code_ = 99;
  char* text_ = nullptr;
};

TEST_F(Directories, CreateMakesEveryMissingLevelAndAcceptsExistingOnes) {
  for (char const* path : {"a\\b\\c", "a\\b\\c", "x\\y\\"}) {
    EXPECT_EQ(KestDirectoryCreate(folder_.file(path).c_str(), &code_, &text_), 1) << path;
    EXPECT_EQ(code_, 0u);
    EXPECT_TRUE(exists(folder_.file(path)));
  }
  for (char const* drive : {"C:", "C:\\", "A:x"})  // answered without asking the system
    EXPECT_EQ(KestDirectoryCreate(drive, &code_, &text_), 1) << drive;
  for (char const* refused : {"x", "xy", "", static_cast<char const*>(nullptr)}) {
    EXPECT_EQ(KestDirectoryCreate(refused, &code_, &text_), 0);
    EXPECT_EQ(code_, 0u);
  }
}

TEST_F(Directories, CreateOfRelativePathMakesOnlyItsLastLevel) {
  kest::test::CurrentDirectory here(folder_.path());
  EXPECT_EQ(KestDirectoryCreate("dir\\sub", &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), kest::test::systemText(ERROR_PATH_NOT_FOUND));
}

TEST_F(Directories, CreateWhereAFileHoldsTheNameFails) {
  EXPECT_EQ(KestDirectoryCreate(folder_.write("taken", "x").c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
}

TEST_F(Directories, CreateTakesPathsUpTo259CharactersAndRefusesLonger) {
  std::string path = folder_.path();
  while (path.size() + 8 <= MAX_PATH - 3) path += "\\ddddddd";
  path += "\\" + std::string(MAX_PATH - 2 - path.size(), 'e');
  ASSERT_EQ(path.size(), size_t{MAX_PATH - 1});
  EXPECT_EQ(KestDirectoryCreate((path + "e").c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  // Made, or refused by the system, whose limit for directories may be lower.
  int const made = KestDirectoryCreate(path.c_str(), &code_, &text_);
  EXPECT_TRUE(made == 1 || code_ != 0u) << made;
}

TEST_F(Directories, FindReturnsAnOpenSearchForDirectoriesOnly) {
  folder_.write("file.txt", "x");
  ASSERT_TRUE(CreateDirectoryA(folder_.file("sub").c_str(), nullptr));
  WIN32_FIND_DATAA found;
  HANDLE const search = KestDirectoryFind(folder_.file("sub\\").c_str(), &found, &code_, &text_);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "sub");
  FindClose(search);

  EXPECT_EQ(KestDirectoryFind(folder_.file("file.txt").c_str(), &found, &code_, &text_),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, 0u);
  EXPECT_STREQ(found.cFileName, "file.txt");

  std::string const tooLong = "C:\\" + std::string(MAX_PATH, 'a');
  for (char const* refused : {"", tooLong.c_str()}) {
    EXPECT_EQ(KestDirectoryFind(refused, &found, &code_, &text_), INVALID_HANDLE_VALUE);
    EXPECT_EQ(code_, 0u);
  }
  EXPECT_EQ(KestDirectoryFind(folder_.path().c_str(), nullptr, &code_, &text_),
            INVALID_HANDLE_VALUE);
}

}  // namespace
