// Files and directories by name, on real files in a temporary folder.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "kest011/files.h"
#include "support/temp_folder.h"

namespace {

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

}  // namespace
