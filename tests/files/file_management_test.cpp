// Files and directories by name, on real files in a temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "files/machine.h"
#include "kest011/files.h"
#include "support/temp_folder.h"

namespace {

using kest::test::CurrentDirectory;
using kest::test::exists;
using kest::test::readFile;
using kest::test::TempFolder;

TEST(FileFind, FileMatchesDirectoryAndMissingDoNot) {
  TempFolder folder;
  folder.write("a.txt", "a");
  unsigned long code = 99;
  char* text = nullptr;
  EXPECT_EQ(KestFileFind(folder.file("a.txt").c_str(), &code, &text), 1);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(KestFileFind(folder.file("*.txt").c_str(), &code, &text), 1);

  EXPECT_EQ(KestFileFind(folder.path().c_str(), &code, &text), 0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(text, nullptr);

  EXPECT_EQ(KestFileFind(folder.file("missing").c_str(), &code, &text), 0);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_NE(text, nullptr);
  EXPECT_EQ(KestFileFind(folder.file("no\\such").c_str(), &code, &text), 0);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
}

TEST(FileFind, NullAndEmptyNamesAreRefused) {
  unsigned long code = 99;
  char* text = reinterpret_cast<char*>(1);
  EXPECT_EQ(KestFileFind(nullptr, &code, &text), 0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(KestFileFind("", &code, &text), 0);
  EXPECT_EQ(code, 0u);
}

class FileManagement : public ::testing::Test {
 protected:
  DWORD attributes(std::string const& name) const {
    return GetFileAttributesA(folder_.file(name).c_str());
  }

  TempFolder folder_;
  unsigned long code_ = 99;
  char* text_ = nullptr;
};

TEST_F(FileManagement, HideSetsHiddenAloneAndLeavesHiddenNamesAsTheyAre) {
  DWORD const shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
  std::string const readOnly = folder_.write("ro.txt", "x");
  std::string const hidden = folder_.write("hidden.txt", "x");
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), shown));
  EXPECT_EQ(KestFileHide(readOnly.c_str(), &code_, &text_), 1);
  EXPECT_EQ(KestFileHide(hidden.c_str(), &code_, &text_), 1);
  // Wine reports every file as archive too, so only these two bits are compared.
  EXPECT_EQ(attributes("ro.txt") & shown, DWORD{FILE_ATTRIBUTE_HIDDEN});
  EXPECT_EQ(attributes("hidden.txt") & shown, shown);
  EXPECT_EQ(KestFileHide(folder_.file("missing").c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileManagement, MoveOnOneDriveRenamesButNeverReplaces) {
  std::string const a = folder_.write("a.txt", "a");
  std::string const c = folder_.write("c.txt", "c");
  EXPECT_EQ(KestFileMove(a.c_str(), folder_.file("b.txt").c_str(), &code_, &text_), 1);
  EXPECT_FALSE(exists(a));
  EXPECT_EQ(KestFileMove(c.c_str(), folder_.file("b.txt").c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(readFile(folder_.file("b.txt")), "a");
  EXPECT_EQ(readFile(c), "c");
}

TEST_F(FileManagement, MoveAcrossDrivesCopiesOverTheDestinationAndDeletes) {
  std::string const destination = std::string(kest::test::kSecondFixedDrive) + "\\moved-" +
                                  std::to_string(GetCurrentProcessId());
  CopyFileA(folder_.write("old.txt", "old").c_str(), destination.c_str(), FALSE);
  ASSERT_TRUE(exists(destination)) << "the test prefix lacks the second fixed drive";
  std::string const source = folder_.write("a.txt", "new");
  EXPECT_EQ(KestFileMove(source.c_str(), destination.c_str(), &code_, &text_), 1);
  EXPECT_FALSE(exists(source));
  EXPECT_EQ(readFile(destination), "new");
  DeleteFileA(destination.c_str());
}

TEST_F(FileManagement, RelativeMovesAreCopiesSoTheyReplaceButNeverOntoThemselves) {
  folder_.write("a.txt", "a");
  folder_.write("b.txt", "b");
  CurrentDirectory here(folder_.path());
  EXPECT_EQ(KestFileMove("a.txt", "b.txt", &code_, &text_), 1);
  EXPECT_FALSE(exists(folder_.file("a.txt")));
  EXPECT_EQ(readFile(folder_.file("b.txt")), "a");
  EXPECT_EQ(KestFileMove("b.txt", folder_.file("b.txt").c_str(), &code_, &text_), 0);
  EXPECT_NE(code_, 0u);
  EXPECT_EQ(readFile(folder_.file("b.txt")), "a");
}

TEST_F(FileManagement, MoveRefusesDirectoriesAndMissingNames) {
  ASSERT_TRUE(CreateDirectoryA(folder_.file("dir").c_str(), nullptr));
  std::string const directory = folder_.file("dir");
  for (auto const& [source, destination] :
       {std::pair<char const*, char const*>{directory.c_str(), "C:\\d2"},
        {nullptr, "x"},
        {"x", nullptr},
        {"", "x"},
        {"x", ""}}) {
    EXPECT_EQ(KestFileMove(source, destination, &code_, &text_), 0);
    EXPECT_EQ(code_, 0u);
    EXPECT_EQ(text_, nullptr);
  }
  EXPECT_TRUE(exists(directory));
}

}  // namespace
