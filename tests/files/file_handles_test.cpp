// File handles on real files in a temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kest011/files.h"
#include "support/system_text.h"
#include "support/temp_folder.h"

namespace {

using kest::test::readFile;
using kest::test::systemText;
using kest::test::TempFolder;

class FileHandles : public ::testing::Test {
 protected:
  void TearDown() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }

  HANDLE create(std::string const& name, DWORD disposition = CREATE_ALWAYS) {
    file_ = KestFileCreate(folder_.file(name).c_str(), GENERIC_READ | GENERIC_WRITE, disposition,
                           FILE_ATTRIBUTE_NORMAL, 0, &code_, &text_);
    return file_;
  }

  TempFolder folder_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  unsigned long code_ = 0;
  char* text_ = nullptr;
};

TEST_F(FileHandles, WriteSeekReadRoundTrip) {
  ASSERT_NE(create("data"), INVALID_HANDLE_VALUE);
  char message[] = "0123456789";
  EXPECT_EQ(KestFileWrite(file_, message, 10, &code_, &text_), 1);
  EXPECT_EQ(KestFileSize(file_, &code_, &text_), 10);
  EXPECT_EQ(KestFileSeek(file_, 4, &code_, &text_), 1);
  char got[3] = {};
  EXPECT_EQ(KestFileRead(file_, got, 3, &code_, &text_), 1);
  EXPECT_EQ(std::string(got, 3), "456");
  EXPECT_EQ(KestFileSeekEnd(file_, &code_, &text_), 1);
  EXPECT_EQ(KestFileWrite(file_, message, 2, &code_, &text_), 1);
  CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  EXPECT_EQ(readFile(folder_.file("data")), "012345678901");
}

TEST_F(FileHandles, ZeroByteTransfersSucceed) {
  ASSERT_NE(create("empty"), INVALID_HANDLE_VALUE);
  char byte = 0;
  EXPECT_EQ(KestFileWrite(file_, &byte, 0, &code_, &text_), 1);
  EXPECT_EQ(KestFileRead(file_, &byte, 0, &code_, &text_), 1);
}

TEST_F(FileHandles, ReadAtEndAndShortReadGiveZeroWithoutError) {
  ASSERT_NE(create("four"), INVALID_HANDLE_VALUE);
  char data[] = "abcd";
  ASSERT_EQ(KestFileWrite(file_, data, 4, nullptr, nullptr), 1);
  char buffer[10];
  EXPECT_EQ(KestFileRead(file_, buffer, 1, &code_, &text_), 0);  // at the end
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(text_, nullptr);
  ASSERT_EQ(KestFileSeek(file_, 0, nullptr, nullptr), 1);
  EXPECT_EQ(KestFileRead(file_, buffer, 10, &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(text_, nullptr);
}

TEST_F(FileHandles, NegativeSeekFailsInTheSystemAndIsReported) {
  ASSERT_NE(create("seek"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(KestFileSeek(file_, -1, &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_NEGATIVE_SEEK));
  ASSERT_NE(text_, nullptr);
  EXPECT_EQ(std::string(text_), systemText(ERROR_NEGATIVE_SEEK));
}

TEST_F(FileHandles, EmptyFileHasSizeZeroAndSeeksToItsEnd) {
  ASSERT_NE(create("empty"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(KestFileSeekEnd(file_, &code_, &text_), 1);
  EXPECT_EQ(KestFileSize(file_, &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  CloseHandle(file_);
  file_ = INVALID_HANDLE_VALUE;
  EXPECT_EQ(KestFileSize(folder_.file("empty").c_str(), &code_, &text_), 0);
}

TEST_F(FileHandles, SizeByNameWorksWhileAWriterHoldsTheFile) {
  // The size opener shares reading and writing, so a writer that shares reading lets it in.
  file_ = KestFileCreate(folder_.file("held").c_str(), GENERIC_WRITE, CREATE_ALWAYS, 0,
                         FILE_SHARE_READ, nullptr, nullptr);
  ASSERT_NE(file_, INVALID_HANDLE_VALUE);
  char data[] = "xyz";
  ASSERT_EQ(KestFileWrite(file_, data, 3, nullptr, nullptr), 1);
  EXPECT_EQ(KestFileSize(folder_.file("held").c_str(), &code_, &text_), 3);
}

TEST_F(FileHandles, SizeByNameOfAnExclusivelyHeldFileIsASharingViolation) {
  ASSERT_NE(create("locked"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(KestFileSize(folder_.file("locked").c_str(), &code_, &text_), -1);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
}

TEST_F(FileHandles, CreateNewOnAnExistingFileFailsWithItsCode) {
  folder_.write("exists", "x");
  EXPECT_EQ(create("exists", CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_FILE_EXISTS));
  EXPECT_EQ(std::string(text_), systemText(ERROR_FILE_EXISTS));
}

TEST_F(FileHandles, NullNameAndInvalidHandleAreReportedNotCrashed) {
  EXPECT_EQ(KestFileCreate(nullptr, GENERIC_READ, OPEN_EXISTING, 0, 0, &code_, &text_),
            INVALID_HANDLE_VALUE);
  EXPECT_NE(code_, 0u);
  EXPECT_EQ(KestFileSize(static_cast<char const*>(nullptr), &code_, &text_), -1);
  EXPECT_NE(code_, 0u);
  char buffer[4];
  for (HANDLE bad : {INVALID_HANDLE_VALUE, HANDLE(nullptr)}) {
    EXPECT_EQ(KestFileRead(bad, buffer, 4, &code_, &text_), 0);
    EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(KestFileWrite(bad, buffer, 4, &code_, &text_), 0);
    EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(KestFileSeekEnd(bad, &code_, &text_), 0);
    EXPECT_EQ(KestFileSize(bad, &code_, &text_), -1);
    EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
  }
}

TEST_F(FileHandles, SizeOfFourGiBPlusFiveReadsAsLowBits) {
  ASSERT_NE(create("sparse"), INVALID_HANDLE_VALUE);
  LARGE_INTEGER end;
  end.QuadPart = 0x100000005LL;
  ASSERT_TRUE(SetFilePointerEx(file_, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file_));
  EXPECT_EQ(KestFileSize(file_, &code_, &text_), 5);
  end.QuadPart = 0xFFFFFFF0LL;  // 4 GiB - 16: reads as a negative long
  ASSERT_TRUE(SetFilePointerEx(file_, end, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file_));
  EXPECT_EQ(KestFileSize(file_, &code_, &text_), -16);
}

}  // namespace
