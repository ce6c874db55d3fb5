// Memory-mapped files, on real files in a temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "kest011/memory.h"
#include "stand_ins.h"
#include "support/temp_folder.h"

namespace {

using namespace kest::test;
using Mode = CKestMmFile::eOpenmode;

// Shows the members that have no accessor.
struct MmFileProbe : CKestMmFile {
  using CKestMmFile::m_eMode;
  using CKestMmFile::m_szPath;
};

bool canOpen(std::string const& path, DWORD access, DWORD sharing) {
  HANDLE const file =
      CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool nobodyHolds(std::string const& path) { return canOpen(path, GENERIC_READ | GENERIC_WRITE, 0); }

class MappedFile : public ::testing::Test {
 protected:
  void* open(CKestMmFile& file, Mode mode, std::string const& path) {
    report_ = Report();
    return file.Open(mode, path.c_str(), &report_.code, &report_.text);
  }

  TempFolder folder_;
  std::string const digits_ = folder_.write("digits", "0123456789");
  std::string const other_ = folder_.write("other", "xyz");
  Report report_;
};

TEST_F(MappedFile, ReadWriteViewWritesLandInTheFileAndASecondOpenIsRefused) {
  MmFileProbe file;
  auto* const view = static_cast<char*>(open(file, CKestMmFile::eReadWrite, digits_));
  ASSERT_NE(view, nullptr);
  report_.expectClear();
  std::memcpy(view + 2, "ab", 2);
  EXPECT_EQ(open(file, CKestMmFile::eRead, other_), nullptr);
  report_.expectClear();
  EXPECT_STREQ(file.m_szPath, digits_.c_str());
  EXPECT_EQ(file.Size(nullptr), 10u);
  file.Close();
  file.Close();
  EXPECT_EQ(readFile(digits_), "01ab456789");
  EXPECT_EQ(file.Size(nullptr), 10u);
}

TEST_F(MappedFile, SharingWhileMappedFollowsTheMode) {
  DWORD const both = FILE_SHARE_READ | FILE_SHARE_WRITE;
  struct {
    Mode mode;
    DWORD access, sharing;
    bool opens;
  } const cases[] = {{CKestMmFile::eRead, GENERIC_READ, FILE_SHARE_READ, true},
                     {CKestMmFile::eRead, GENERIC_READ, both, true},
                     {CKestMmFile::eRead, GENERIC_READ, 0, false},
                     {CKestMmFile::eRead, GENERIC_WRITE, both, false},
                     {CKestMmFile::eReadWrite, GENERIC_READ, both, false},
                     {CKestMmFile::eReadWrite, GENERIC_WRITE, both, false}};
  for (auto const& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", access " << std::hex << c.access
                                    << ", sharing " << c.sharing);
    CKestMmFile file;
    ASSERT_NE(open(file, c.mode, digits_), nullptr);
    EXPECT_EQ(canOpen(digits_, c.access, c.sharing), c.opens);
    file.Close();
    EXPECT_TRUE(nobodyHolds(digits_));
  }
}

TEST_F(MappedFile, EmptyFileIsRefusedWithTheLibrarysTextAndLeftClosed) {
  std::string const empty = folder_.write("empty", "");
  CKestMmFile file;
  EXPECT_EQ(open(file, CKestMmFile::eRead, empty), nullptr);
  EXPECT_EQ(report_.code, 0u);
  EXPECT_STREQ(report_.text, "Cannot create filemapping for files with size 0");
  EXPECT_TRUE(nobodyHolds(empty));
  EXPECT_EQ(file.Size(nullptr), 0u);
}

TEST_F(MappedFile, UnknownModesAndOverlongPathsAreRefusedClearingTheLastOpen) {
  std::string const overlong = folder_.path() + "\\" + std::string(300, 'x');
  struct {
    int mode;
    std::string path;
  } const cases[] = {{0, digits_}, {3, digits_}, {1, overlong}, {2, overlong}};
  for (auto const& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " " << c.path);
    MmFileProbe file;
    ASSERT_NE(open(file, CKestMmFile::eRead, digits_), nullptr);
    file.Close();
    EXPECT_EQ(open(file, Mode(c.mode), c.path), nullptr);
    report_.expectClear();
    EXPECT_EQ(file.m_eMode, 0);
    EXPECT_STREQ(file.m_szPath, "");
    EXPECT_EQ(file.Size(nullptr), 0u);
  }
}

TEST_F(MappedFile, SystemFailuresAreReportedAndLeaveTheFileClosed) {
  HANDLE const held =
      CreateFileA(other_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  struct {
    std::string path;
    DWORD code;
    char const* failingFunction;
    void* standIn;
  } const cases[] = {
      {folder_.file("missing"), ERROR_FILE_NOT_FOUND, nullptr, nullptr},
      {folder_.file("no\\such"), ERROR_PATH_NOT_FOUND, nullptr, nullptr},
      {folder_.path(), ERROR_ACCESS_DENIED, nullptr, nullptr},  // a folder
      {other_, ERROR_SHARING_VIOLATION, nullptr, nullptr},
      {digits_, kInjectedError, "GetFileSize", failing(&GetFileSize)},
      {digits_, kInjectedError, "CreateFileMappingA", failing(&CreateFileMappingA)},
      {digits_, kInjectedError, "MapViewOfFile", failing(&MapViewOfFile)},
  };
  for (auto const& c : cases) {
    SCOPED_TRACE(c.failingFunction ? c.failingFunction : c.path.c_str());
    MmFileProbe file;
    std::optional<ImportPatch> patch;
    if (c.failingFunction) patch.emplace(c.failingFunction, c.standIn);
    EXPECT_EQ(open(file, CKestMmFile::eReadWrite, c.path), nullptr);
    patch.reset();
    report_.expectReported(c.code);
    EXPECT_EQ(file.m_eMode, 0);
  }
  EXPECT_TRUE(nobodyHolds(digits_));
  CloseHandle(held);
}

TEST_F(MappedFile, SizeOfFourGiBPlusFiveSplitsIntoHalves) {
  std::string const big = folder_.file("big");
  HANDLE const handle =
      CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = 0x100000005LL;
  ASSERT_TRUE(SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && SetEndOfFile(handle));
  CloseHandle(handle);
  CKestMmFile file;
  ASSERT_NE(open(file, CKestMmFile::eReadWrite, big), nullptr);  // maps the low 5 bytes
  unsigned long high = 0;
  EXPECT_EQ(file.Size(&high), 5u);
  EXPECT_EQ(high, 1u);
}

TEST_F(MappedFile, CopiesKeepTheViewAndFileUntilTheLastLetsGo) {
  {
    CKestMmFile copy;
    {
      CKestMmFile source;
      auto* const view = static_cast<char*>(open(source, CKestMmFile::eReadWrite, digits_));
      ASSERT_NE(view, nullptr);
      CKestMmFile second(source);
      copy = second;
      source.Close();
      view[0] = '#';
    }
    EXPECT_FALSE(canOpen(digits_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(open(copy, CKestMmFile::eRead, other_), nullptr);  // the copy is open too

    CKestMmFile target;
    ASSERT_NE(open(target, CKestMmFile::eRead, other_), nullptr);
    target = copy;  // lets go of its own file, the last to hold it
    EXPECT_TRUE(nobodyHolds(other_));
  }
  EXPECT_EQ(readFile(digits_), "#123456789");
  EXPECT_TRUE(nobodyHolds(digits_));
}

}  // namespace
