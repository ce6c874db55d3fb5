// The error convention every wrapper follows, seen through the file-handle family.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kest011/files.h"
#include "support/system_text.h"
#include "support/temp_folder.h"

namespace {

using kest::test::systemText;
using kest::test::TempFolder;

char* const kStale = reinterpret_cast<char*>(0x1234);

TEST(ErrorReport, FailureFillsCodeAndSystemText) {
  TempFolder folder;
  unsigned long code = 99;
  char* text = kStale;
  EXPECT_EQ(KestFileSize(folder.file("missing").c_str(), &code, &text), -1);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), systemText(ERROR_FILE_NOT_FOUND));
}

TEST(ErrorReport, NullPointersAreAllowedAndNothingIsWritten) {
  TempFolder folder;
  EXPECT_EQ(KestFileSize(folder.file("missing").c_str(), nullptr, nullptr), -1);
}

TEST(ErrorReport, CodeOnlyLeavesTheTextBufferAlone) {
  TempFolder folder;
  char* text = nullptr;
  KestFileSize(folder.file("missing").c_str(), nullptr, &text);
  ASSERT_NE(text, nullptr);
  std::string const before = text;

  unsigned long code = 0;
  EXPECT_EQ(KestFileSeek(INVALID_HANDLE_VALUE, 0, &code, nullptr), 0);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(std::string(text), before);
}

TEST(ErrorReport, TwoFailuresShareOneBufferHoldingTheSecondText) {
  TempFolder folder;
  unsigned long code = 0;
  char* first = nullptr;
  char* second = nullptr;
  KestFileSize(folder.file("missing").c_str(), &code, &first);
  KestFileSeek(INVALID_HANDLE_VALUE, 0, &code, &second);
  EXPECT_EQ(first, second);
  EXPECT_EQ(code, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(std::string(second), systemText(ERROR_INVALID_HANDLE));
}

TEST(ErrorReport, SuccessClearsStaleValues) {
  TempFolder folder;
  std::string const name = folder.write("four", "abcd");
  unsigned long code = 99;
  char* text = kStale;
  EXPECT_EQ(KestFileSize(name.c_str(), &code, &text), 4);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(text, nullptr);
}

TEST(ErrorReport, ShortReadIsNoSystemFailure) {
  TempFolder folder;
  std::string const name = folder.write("four", "abcd");
  HANDLE const file =
      KestFileOpen(name.c_str(), GENERIC_READ, OPEN_EXISTING, 0, 0, nullptr, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[10];
  unsigned long code = 99;
  char* text = kStale;
  EXPECT_EQ(KestFileRead(file, buffer, sizeof buffer, &code, &text), 0);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(text, nullptr);
  CloseHandle(file);
}

}  // namespace
