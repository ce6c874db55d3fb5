// File handles, files and directories: real files in a temporary folder and on K:, a second drive.

#include <gtest/gtest.h>
#include <windows.h>

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

  // Gives the open file `size` bytes without writing one.
  static bool resize(HANDLE file, long long size) {
    LARGE_INTEGER end;
    end.QuadPart = size;
    return SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  }

  kest::test::TempFolder folder_;
  unsigned long code_ = 99;
  char* text_ = nullptr;
  char savedDirectory_[MAX_PATH] = {};
};

// 0xFFFFFFFF is both the failure value and a true end or size here; the last error decides,
// and a stale one from some earlier call must not. Past 4 GiB a size gives its low 32 bits.
TEST_F(Files, EndAndSizeOfFourGibibytesLessOneAreNoFailure) {
  HANDLE const file = KestFileCreate(folder_.file("data").c_str(), GENERIC_READ | GENERIC_WRITE,
                                     CREATE_ALWAYS, 0, FILE_SHARE_READ, &code_, &text_);
  ASSERT_TRUE(resize(file, 0xFFFFFFFFLL));
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(KestFileSeekEnd(file, &code_, nullptr), 1);
  EXPECT_EQ(code_, 0u);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(KestFileSize(file, &code_, nullptr), -1L);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestFileSize(folder_.file("data").c_str(), &code_, nullptr), -1L);  // while open
  EXPECT_EQ(code_, 0u);
  ASSERT_TRUE(resize(file, 0x1FFFFFFF0LL));  // read as signed: -16
  EXPECT_EQ(KestFileSize(file, &code_, &text_), -16);
  CloseHandle(file);
}

// Full and short reads on several threads at once: each call judges its own count.
TEST_F(Files, ReadsFromManyThreadsJudgeTheirOwnCounts) {
  std::string const names[] = {folder_.write("full", "12345678"), folder_.write("half", "1234")};
  HANDLE files[4];
  for (int t = 0; t < 4; ++t)
    files[t] = CreateFileA(names[t % 2].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  auto const readOnce = [&](int t) {
    char buffer[8];
    SetFilePointer(files[t], 0, nullptr, FILE_BEGIN);
    return KestFileRead(files[t], buffer, 8, 0, 0) == (t % 2 == 0);
  };
  EXPECT_EQ(kest::test::wrongOnThreads(4, 5000, readOnce), 0);
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
  }
  EXPECT_EQ(readFile(file), "a");
}

TEST_F(Files, FindMatchesNoDirectoryAndHideLeavesAHiddenFileAlone) {
  EXPECT_EQ(KestFileFind(folder_.path().c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  DWORD const shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
  std::string const hidden = folder_.write("hidden.txt", "x");
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), shown));
  EXPECT_EQ(KestFileHide(hidden.c_str(), &code_, &text_), 1);
  // Wine reports every file as archive too, so only these two bits are compared.
  EXPECT_EQ(GetFileAttributesA(hidden.c_str()) & shown, shown);
}

// Full names on one drive are renamed, never replacing (see the tour); relative names and other
// drives copy over the destination, then delete. A move onto itself must never lose the file.
TEST_F(Files, MovesRenameOrCopyAndNeverLoseTheSource) {
  std::string const b = folder_.file("b.txt");
  std::string const otherDrive = "K:\\moved-" + std::to_string(GetCurrentProcessId());
  CopyFileA(folder_.write("old.txt", "old").c_str(), otherDrive.c_str(), FALSE);
  ASSERT_TRUE(exists(otherDrive)) << "the test prefix lacks the second fixed drive";
  workInFolder();
  struct {
    std::string source, destination;
    int result;
    DWORD code;
    char const* at;  // the destination's contents after the move
  } const rows[] = {{folder_.write("a.txt", "a"), b, 1, NO_ERROR, "a"},
                    {"old.txt", "b.txt", 1, NO_ERROR, "old"},
                    {folder_.write("d.txt", "d"), otherDrive, 1, NO_ERROR, "d"},
                    {"b.txt", "B.TXT", 0, ERROR_SHARING_VIOLATION, "old"},
                    {b, folder_.path() + "\\.\\b.txt", 1, NO_ERROR, "old"}};
  for (auto const& row : rows) {
    EXPECT_EQ(KestFileMove(row.source.c_str(), row.destination.c_str(), &code_, 0), row.result)
        << row.source << " to " << row.destination;
    EXPECT_EQ(code_, row.code) << row.destination;
    EXPECT_EQ(readFile(row.destination), row.at) << row.destination;
    EXPECT_EQ(exists(row.source), row.source == b || row.result == 0) << row.source;
  }
  DeleteFileA(otherDrive.c_str());
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

// Paths of 259 characters are the system's to refuse or make: the answer is its own.
TEST_F(Files, DirectoryFindRefusesFilesAndBothRefuse260CharactersBut259GoesToTheSystem) {
  WIN32_FIND_DATAA found;
  std::string path = folder_.write("file.txt", "x");
  EXPECT_EQ(KestDirectoryFind(path.c_str(), &found, &code_, &text_), INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, 0u);
  path.resize(MAX_PATH, 'x');
  code_ = 99;
  EXPECT_EQ(KestDirectoryFind(path.c_str(), &found, &code_, &text_), INVALID_HANDLE_VALUE);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestDirectoryCreate(path.c_str(), &code_, &text_), 0);
  EXPECT_EQ(code_, 0u);
  path.resize(MAX_PATH - 1);
  std::string const sibling = path.substr(0, MAX_PATH - 2) + "y";
  DWORD const system = CreateDirectoryA(sibling.c_str(), nullptr) ? 0 : GetLastError();
  EXPECT_EQ(KestDirectoryCreate(path.c_str(), &code_, &text_), system ? 0 : 1);
  EXPECT_EQ(code_, system);
}

// Each thread makes deep paths of its own at once; every answer must match the disk.
TEST_F(Files, DirectoryCreateFromManyThreadsAnswersEachCallRight) {
  auto const makeDeep = [&](int t) {
    static LONG serial;
    std::string const path = folder_.file("t" + std::to_string(t)) + "\\a\\b\\c\\d\\e\\f\\" +
                             std::to_string(InterlockedIncrement(&serial));
    DWORD const made = KestDirectoryCreate(path.c_str(), 0, 0);
    DWORD const kind = GetFileAttributesA(path.c_str());
    return made == 1 && kind != INVALID_FILE_ATTRIBUTES && (kind & FILE_ATTRIBUTE_DIRECTORY);
  };
  EXPECT_EQ(kest::test::wrongOnThreads(8, 75, makeDeep), 0);
}

}  // namespace
