// The error convention every wrapper follows, seen through the file family: a missing file
// and an invalid handle are two failures the system reports with different codes.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/system_text.h"
#include "kest011/files.h"
#include "support/temp_folder.h"

namespace {

using kest::helpers::systemText;

class ErrorReport : public ::testing::Test {
 protected:
  kest::test::TempFolder folder_;
  std::string const missing_ = folder_.file("missing");
  unsigned long code_ = 99;
  char* text_ = reinterpret_cast<char*>(0x1234);  // stale
};

// Failures share one buffer, which a call that asks for the code alone leaves as it was.
TEST_F(ErrorReport, TwoFailuresShareOneBufferHoldingTheSecondText) {
  char* first = nullptr;
  EXPECT_EQ(KestFileSize(missing_.c_str(), &code_, &first), -1);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(KestFileSeek(INVALID_HANDLE_VALUE, 0, &code_, nullptr), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(std::string(first ? first : ""), systemText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(KestFileSeek(INVALID_HANDLE_VALUE, 0, &code_, &text_), 0);
  EXPECT_EQ(first, text_);
  EXPECT_EQ(std::string(text_ ? text_ : ""), systemText(ERROR_INVALID_HANDLE));
}

}  // namespace
