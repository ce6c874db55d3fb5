// File handles, files and directories, on real files in a temporary folder and on K:, the
// second fixed drive that prefix-setup.sh maps.

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "kest011/files.h"
#include "support/checks.h"
#include "support/temp_folder.h"

namespace {

using kest::test::readFile;

bool exists(std::string const& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Files : public ::testing::Test {
 protected:
  Files() { GetCurrentDirectoryA(MAX_PATH, savedDirectory_); }
  ~Files() override { SetCurrentDirectoryA(savedDirectory_); }
  void workInFolder() { SetCurrentDirectoryA(folder_.path().c_str()); }

  kest::test::TempFolder folder_;
  unsigned long code_ = 99;
  char* text_ = nullptr;
  char savedDirectory_[MAX_PATH] = {};
};

TEST_F(Files, HandlesWriteSeekReadAndSizeAndShortReadsAreNoSystemFailure) {
  std::string const name = folder_.file("data");
  HANDLE const file = KestFileCreate(name.c_str(), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, 0,
                                     FILE_SHARE_READ, &code_, &text_);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char data[] = "0123456789";
  char got[10] = {};
  EXPECT_EQ(KestFileWrite(file, data, 10, &code_, &text_), 1);
  EXPECT_EQ(KestFileSeek(file, 4, &code_, &text_), 1);
  EXPECT_EQ(KestFileRead(file, got, 3, &code_, &text_), 1);
  EXPECT_EQ(std::string(got, 3), "456");
  EXPECT_EQ(KestFileRead(file, got, 10, &code_, &text_), 0);  // 3 bytes left
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestFileSeekEnd(file, &code_, &text_), 1);
  EXPECT_EQ(KestFileWrite(file, data, 2, &code_, &text_), 1);
  EXPECT_EQ(KestFileSize(file, &code_, &text_), 12);
  EXPECT_EQ(KestFileSize(name.c_str(), &code_, &text_), 12);  // held, but shared for reading
  EXPECT_EQ(KestFileSeek(file, -1, &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_NEGATIVE_SEEK));
  LARGE_INTEGER end;
  end.QuadPart = 0x1FFFFFFF0LL;  // the low 32 bits, read as signed: -16
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  EXPECT_EQ(KestFileSize(file, &code_, &text_), -16);
  CloseHandle(file);
}

// 0xFFFFFFFF is both the failure value and a true end or size here; the last error decides,
// and a stale one from some earlier call must not.
TEST_F(Files, EndAndSizeOfFourGibibytesLessOneAreNoFailure) {
  std::string const name = folder_.file("data");
  HANDLE const file = KestFileCreate(name.c_str(), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS, 0,
                                     FILE_SHARE_READ, &code_, &text_);
  LARGE_INTEGER end;  // the file gets its size without a byte written
  end.QuadPart = 0xFFFFFFFFLL;
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(KestFileSeekEnd(file, &code_, nullptr), 1);
  EXPECT_EQ(code_, 0u);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(KestFileSize(file, &code_, nullptr), -1L);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestFileSize(name.c_str(), &code_, nullptr), -1L);
  EXPECT_EQ(code_, 0u);
  CloseHandle(file);
}

// Threads whose reads fill the buffer and threads whose reads come up short, at once: each
// call judges its own count.
TEST_F(Files, ReadsFromManyThreadsJudgeTheirOwnCounts) {
  std::string const names[] = {folder_.write("full", "12345678"), folder_.write("half", "1234")};
  HANDLE files[4];
  for (int t = 0; t < 4; ++t)
    files[t] = CreateFileA(names[t % 2].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(kest::test::wrongOnThreads(4, 5000,
                                       [&](int t) {
                                         char buffer[8];
                                         SetFilePointer(files[t], 0, nullptr, FILE_BEGIN);
                                         return KestFileRead(files[t], buffer, 8, 0, 0) ==
                                                (t % 2 == 0);
                                       }),
            0);
  for (HANDLE file : files) CloseHandle(file);
}

// Null and empty names are refused (code 0) or reach the system, never a buffer.
TEST_F(Files, NullAndEmptyNamesFail) {
  WIN32_FIND_DATAA found;
  std::string const file = folder_.write("a.txt", "a");
  for (char const* name : {static_cast<char const*>(nullptr), ""}) {
    auto const failed = [&](char const* what, bool failed, DWORD code = 0) {
      EXPECT_TRUE(failed) << what;
      EXPECT_EQ(code_, code) << what << (name ? " empty" : " null");
      code_ = 99;
    };
    failed("find", !KestFileFind(name, &code_, 0));
    failed("hide", !KestFileHide(name, &code_, 0));
    failed("move from", !KestFileMove(name, "C:\\kest-x", &code_, 0));
    failed("move to", !KestFileMove(file.c_str(), name, &code_, 0));
    failed("open",
           KestFileOpen(name, GENERIC_READ, OPEN_EXISTING, 0, 0, &code_, 0) == INVALID_HANDLE_VALUE,
           ERROR_PATH_NOT_FOUND);
    failed("size", KestFileSize(name, &code_, 0) == -1, ERROR_PATH_NOT_FOUND);
    failed("directory find", KestDirectoryFind(name, &found, &code_, 0) == INVALID_HANDLE_VALUE);
    failed("directory create", !KestDirectoryCreate(name, &code_, 0));
  }
  EXPECT_EQ(readFile(file), "a");
}

TEST_F(Files, FindMatchesFilesButNotDirectories) {
  EXPECT_EQ(KestFileFind(folder_.write("a.txt", "a").c_str(), &code_, &text_), 1);
  EXPECT_EQ(KestFileFind(folder_.path().c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
}

TEST_F(Files, HideSetsHiddenAloneAndLeavesHiddenNamesAsTheyAre) {
  DWORD const shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
  std::string const readOnly = folder_.write("ro.txt", "x");
  std::string const hidden = folder_.write("hidden.txt", "x");
  ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), shown));
  EXPECT_EQ(KestFileHide(readOnly.c_str(), &code_, &text_), 1);
  EXPECT_EQ(KestFileHide(hidden.c_str(), &code_, &text_), 1);
  // Wine reports every file as archive too, so only these two bits are compared.
  EXPECT_EQ(GetFileAttributesA(readOnly.c_str()) & shown, DWORD{FILE_ATTRIBUTE_HIDDEN});
  EXPECT_EQ(GetFileAttributesA(hidden.c_str()) & shown, shown);
}

TEST_F(Files, MoveOnOneDriveRenamesButNeverReplaces) {
  std::string const a = folder_.write("a.txt", "a");
  std::string const c = folder_.write("c.txt", "c");
  std::string const b = folder_.file("b.txt");
  EXPECT_EQ(KestFileMove(a.c_str(), b.c_str(), &code_, &text_), 1);
  EXPECT_FALSE(exists(a));
  EXPECT_EQ(KestFileMove(c.c_str(), b.c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(readFile(b) + readFile(c), "ac");
}

TEST_F(Files, MoveAcrossDrivesCopiesOverTheDestinationAndDeletes) {
  std::string const destination = "K:\\moved-" + std::to_string(GetCurrentProcessId());
  CopyFileA(folder_.write("old.txt", "old").c_str(), destination.c_str(), FALSE);
  ASSERT_TRUE(exists(destination)) << "the test prefix lacks the second fixed drive";
  std::string const source = folder_.write("a.txt", "new");
  EXPECT_EQ(KestFileMove(source.c_str(), destination.c_str(), &code_, &text_), 1);
  EXPECT_FALSE(exists(source));
  EXPECT_EQ(readFile(destination), "new");
  DeleteFileA(destination.c_str());
}

TEST_F(Files, RelativeMovesAreCopiesSoTheyReplace) {
  folder_.write("a.txt", "a");
  std::string const b = folder_.write("b.txt", "b");
  workInFolder();
  EXPECT_EQ(KestFileMove("a.txt", "b.txt", &code_, &text_), 1);
  EXPECT_FALSE(exists(folder_.file("a.txt")));
  EXPECT_EQ(readFile(b), "a");
}

// A move onto the file itself under another spelling must never lose it: relative names go
// the copy-and-delete way, where the copy fails on the open source.
TEST_F(Files, MoveOntoItselfUnderAnotherSpellingKeepsTheFile) {
  std::string const file = folder_.write("b.txt", "b");
  workInFolder();
  struct {
    std::string source, destination;
    int result;
    DWORD code;
  } const rows[] = {{"b.txt", ".\\b.txt", 0, ERROR_SHARING_VIOLATION},
                    {"b.txt", "B.TXT", 0, ERROR_SHARING_VIOLATION},
                    {"b.txt", file, 0, ERROR_SHARING_VIOLATION},
                    {file, folder_.path() + "\\.\\b.txt", 1, NO_ERROR}};
  for (auto const& row : rows) {
    EXPECT_EQ(KestFileMove(row.source.c_str(), row.destination.c_str(), &code_, 0), row.result)
        << row.destination;
    EXPECT_EQ(code_, row.code) << row.destination;
    EXPECT_EQ(readFile(file), "b") << row.destination;
  }
}

TEST_F(Files, DirectoryCreateWalksDownAFullPathAndRefusesWhatItCannotWalk) {
  for (char const* path : {"a\\b\\c", "a\\b\\c", "x\\y\\"})
    EXPECT_EQ(KestDirectoryCreate(folder_.file(path).c_str(), &code_, &text_), 1) << path;
  for (char const* drive : {"C:", "C:\\", "A:x"})  // answered without asking the system
    EXPECT_EQ(KestDirectoryCreate(drive, &code_, &text_), 1) << drive;
  for (char const* refused : {"x", "xy", static_cast<char const*>(nullptr)}) {
    EXPECT_EQ(KestDirectoryCreate(refused, &code_, &text_), 0);
    EXPECT_EQ(code_, 0u);
  }
  // A relative path gets only its last level; a file holding the name is no directory.
  workInFolder();
  EXPECT_EQ(KestDirectoryCreate("dir\\sub", &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(KestDirectoryCreate(folder_.write("taken", "x").c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
}

TEST_F(Files, DirectoryFindGivesDirectoriesOnlyAndRefusesPathsOf260Characters) {
  WIN32_FIND_DATAA found;
  HANDLE const search = KestDirectoryFind((folder_.path() + "\\").c_str(), &found, &code_, &text_);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  std::string path = folder_.write("file.txt", "x");
  EXPECT_EQ(KestDirectoryFind(path.c_str(), &found, &code_, &text_), INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, 0u);
  path.resize(MAX_PATH, 'x');
  code_ = 99;
  EXPECT_EQ(KestDirectoryFind(path.c_str(), &found, &code_, &text_), INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestDirectoryCreate(path.c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  path.resize(MAX_PATH - 1);  // made, or refused by the system, whose limit may be lower
  int const made = KestDirectoryCreate(path.c_str(), &code_, &text_);
  EXPECT_TRUE(made == 1 || code_ != 0u) << made;
}

// Each thread makes deep paths of its own at once; every answer must match the disk.
TEST_F(Files, DirectoryCreateFromManyThreadsAnswersEachCallRight) {
  EXPECT_EQ(kest::test::wrongOnThreads(8, 75,
                                       [&](int t) {
                                         static LONG serial;
                                         std::string path = folder_.file("t" + std::to_string(t));
                                         for (char const* level : {"a", "b", "c", "d", "e", "f"})
                                           (path += "\\") += level;
                                         path +=
                                             "\\" + std::to_string(InterlockedIncrement(&serial));
                                         DWORD const made = KestDirectoryCreate(path.c_str(), 0, 0);
                                         DWORD const kind = GetFileAttributesA(path.c_str());
                                         return made == 1 && kind != INVALID_FILE_ATTRIBUTES &&
                                                (kind & FILE_ATTRIBUTE_DIRECTORY);
                                       }),
            0);
}

}  // namespace
