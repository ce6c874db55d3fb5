// Hostile callers: files, process.

#include <gtest/gtest.h>
#include <limits.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "hostile/resource_counts.h"
#include "kest011/files.h"
#include "kest011/process.h"
#include "support/temp_folder.h"

namespace {

using kest::test::growthOver;
using kest::test::kHeapSlack;

constexpr int kRounds = 2000;

// Absolute names of a given length in an existing folder, naming nothing.
std::string nameOfLength(kest::test::TempFolder const& folder, size_t length) {
  std::string name = folder.file("");
  name.resize(length, 'n');
  return name;
}

std::string const kHuge(100000, 'a');

// Windows refuses ANSI names of MAX_PATH characters or more with ERROR_FILENAME_EXCED_RANGE.
// Wine takes them like any other name, up to the 32,767 characters of a native name, past
// which it answers ERROR_INVALID_PARAMETER.
bool isTooLongAnswer(DWORD code, size_t length) {
  if (code == ERROR_FILENAME_EXCED_RANGE) return true;
  if (length > 32767) return code == ERROR_INVALID_PARAMETER;
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
}

// Runs `wrongAnswers(t)` on threads t = 0 .. threads - 1 at once; none may count one.
void expectNoWrongAnswers(int threads, std::function<int(int)> const& wrongAnswers) {
  std::vector<int> wrong(threads);
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t) running.emplace_back([&, t] { wrong[t] = wrongAnswers(t); });
  for (std::thread& thread : running) thread.join();
  for (int t = 0; t < threads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

bool isDirectory(std::string const& path) {
  DWORD const attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- File handles ---------------------------------------------------------------------

// Each handle call with the handle it is given, its failure result, and what it did.
struct HandleCall {
  char const* name;
  long failure;
  std::function<long(HANDLE, unsigned long*)> call;
};

char gBuffer[4];
std::vector<HandleCall> const kHandleCalls = {
    {"read", 0, [](HANDLE h, unsigned long* c) { return long{KestFileRead(h, gBuffer, 4, c, 0)}; }},
    {"write", 0,
     [](HANDLE h, unsigned long* c) { return long{KestFileWrite(h, gBuffer, 4, c, 0)}; }},
    {"seek end", 0, [](HANDLE h, unsigned long* c) { return long{KestFileSeekEnd(h, c, 0)}; }},
    {"seek", 0, [](HANDLE h, unsigned long* c) { return long{KestFileSeek(h, 0, c, 0)}; }},
    {"size", -1, [](HANDLE h, unsigned long* c) { return KestFileSize(h, c, 0); }},
};

TEST(HostileFileHandles, BadHandlesFailWithTheirCode) {
  HANDLE closed = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  CloseHandle(closed);
  HANDLE const event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  struct Row {
    char const* what;
    HANDLE handle;
  };
  for (Row const& row :
       {Row{"invalid", INVALID_HANDLE_VALUE}, Row{"null", nullptr}, Row{"closed", closed},
        Row{"current thread", GetCurrentThread()}, Row{"event", event}}) {
    for (HandleCall const& call : kHandleCalls) {
      unsigned long code = 0;
      EXPECT_EQ(call.call(row.handle, &code), call.failure) << call.name << ", " << row.what;
      EXPECT_EQ(code, static_cast<unsigned long>(ERROR_INVALID_HANDLE))
          << call.name << ", " << row.what;
    }
  }
  CloseHandle(event);
}

class HostileFile : public ::testing::Test {
 protected:
  HostileFile()
      : file_(CreateFileA(folder_.file("data").c_str(), GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr)) {
  }
  ~HostileFile() override { CloseHandle(file_); }

  kest::test::TempFolder folder_;
  HANDLE const file_;
  unsigned long code_ = 99;
};

TEST_F(HostileFile, ExtremeDistancesAndCounts) {
  char buffer[8] = "1234567";
  ASSERT_EQ(KestFileWrite(file_, buffer, 8, &code_, nullptr), 1);
  struct Row {
    char const* what;
    std::function<int()> call;
    int result;
    DWORD code;
    DWORD alsoSeen = NO_ERROR;  // the same fault in the words of another system
  };
  for (Row const& row : {
           Row{"seek LONG_MIN", [&] { return KestFileSeek(file_, LONG_MIN, &code_, nullptr); }, 0,
               ERROR_NEGATIVE_SEEK},
           Row{"seek LONG_MAX", [&] { return KestFileSeek(file_, LONG_MAX, &code_, nullptr); }, 1,
               NO_ERROR},
           Row{"read at LONG_MAX", [&] { return KestFileRead(file_, buffer, 8, &code_, nullptr); },
               0, NO_ERROR},
           Row{"seek 0", [&] { return KestFileSeek(file_, 0, &code_, nullptr); }, 1, NO_ERROR},
           Row{"read 0", [&] { return KestFileRead(file_, buffer, 0, &code_, nullptr); }, 1,
               NO_ERROR},
           Row{"read into null", [&] { return KestFileRead(file_, nullptr, 8, &code_, nullptr); },
               0, ERROR_NOACCESS},
           Row{"write from null", [&] { return KestFileWrite(file_, nullptr, 8, &code_, nullptr); },
               0, ERROR_NOACCESS, ERROR_INVALID_USER_BUFFER},
       }) {
    code_ = 99;
    EXPECT_EQ(row.call(), row.result) << row.what;
    EXPECT_TRUE(code_ == row.code || (row.alsoSeen != NO_ERROR && code_ == row.alsoSeen))
        << row.what << ": " << code_;
  }
}

// 0xFFFFFFFF is both the failure value and a true end or size here; the last error decides.
TEST_F(HostileFile, EndAndSizeOfFourGibibytesLessOne) {
  LARGE_INTEGER end;  // the file gets its size without a byte written
  end.QuadPart = 0xFFFFFFFFLL;
  ASSERT_TRUE(SetFilePointerEx(file_, end, nullptr, FILE_BEGIN) && SetEndOfFile(file_));
  SetFilePointer(file_, 0, nullptr, FILE_BEGIN);
  SetLastError(ERROR_ACCESS_DENIED);  // stale, from some earlier call
  EXPECT_EQ(KestFileSeekEnd(file_, &code_, nullptr), 1);
  EXPECT_EQ(code_, 0u);
  LARGE_INTEGER position{};
  ASSERT_TRUE(SetFilePointerEx(file_, LARGE_INTEGER{}, &position, FILE_CURRENT));
  EXPECT_EQ(position.QuadPart, 0xFFFFFFFFLL);
  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(KestFileSize(file_, &code_, nullptr), -1L);
  EXPECT_EQ(code_, 0u);
  EXPECT_EQ(KestFileSize(folder_.file("data").c_str(), &code_, nullptr), -1L);
  EXPECT_EQ(code_, 0u);
}

// Threads that read whole files and threads whose reads come up short, at once: each call
// must judge its own count.
TEST(HostileFileHandles, ReadsFromManyThreadsJudgeTheirOwnCounts) {
  kest::test::TempFolder folder;
  std::string const full = folder.write("full", "12345678");
  std::string const half = folder.write("half", "1234");
  expectNoWrongAnswers(4, [&](int t) {
    bool const whole = t % 2 == 0;
    HANDLE const file = CreateFileA((whole ? full : half).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[8];
    int wrong = 0;
    for (int i = 0; i < 5000; ++i) {
      SetFilePointer(file, 0, nullptr, FILE_BEGIN);
      wrong += KestFileRead(file, buffer, sizeof buffer, nullptr, nullptr) != (whole ? 1 : 0);
    }
    CloseHandle(file);
    return wrong;
  });
}

// ---- Files and directories by name ----------------------------------------------------

// Each call by name, as 1 for success and 0 for failure, and its code for a null or empty
// name (0: refused before the system is asked).
struct NameCall {
  char const* name;
  std::function<long(char const*, unsigned long*)> call;
  DWORD unnamed = NO_ERROR;
};

WIN32_FIND_DATAA gFound;
std::vector<NameCall> const kNameCalls = {
    {"find", [](char const* n, unsigned long* c) { return long{KestFileFind(n, c, 0)}; }},
    {"hide", [](char const* n, unsigned long* c) { return long{KestFileHide(n, c, 0)}; }},
    {"move from",
     [](char const* n, unsigned long* c) { return long{KestFileMove(n, "C:\\kest-x", c, 0)}; }},
    {"open",
     [](char const* n, unsigned long* c) {
       return long{KestFileOpen(n, GENERIC_READ, OPEN_EXISTING, 0, 0, c, 0) !=
                   INVALID_HANDLE_VALUE};
     },
     ERROR_PATH_NOT_FOUND},
    {"size", [](char const* n, unsigned long* c) { return long{KestFileSize(n, c, 0) != -1}; },
     ERROR_PATH_NOT_FOUND},
    {"directory find",
     [](char const* n, unsigned long* c) {
       return long{KestDirectoryFind(n, &gFound, c, 0) != INVALID_HANDLE_VALUE};
     }},
    {"directory create",
     [](char const* n, unsigned long* c) { return long{KestDirectoryCreate(n, c, 0)}; }},
};

// Null and empty names get each call's own code. A name of 259 characters reaches the
// system and names nothing; longer ones are too long for it, or refused by the directory
// functions (code 0) whose buffers hold 259.
TEST(HostileFileNames, NullEmptyAndLongNamesFailWithTheirCode) {
  for (char const* name : {static_cast<char const*>(nullptr), ""}) {
    for (NameCall const& call : kNameCalls) {
      unsigned long code = 99;
      EXPECT_EQ(call.call(name, &code), 0) << call.name;
      EXPECT_EQ(code, call.unnamed) << call.name;
    }
  }
  kest::test::TempFolder folder;
  std::string const names[] = {nameOfLength(folder, MAX_PATH - 1), nameOfLength(folder, MAX_PATH),
                               nameOfLength(folder, MAX_PATH + 1), kHuge};
  for (std::string const& name : names) {
    bool const tooLong = name.size() >= MAX_PATH;
    for (NameCall const& call : kNameCalls) {
      std::string const what = std::string(call.name) + ", " + std::to_string(name.size());
      unsigned long code = 99;
      if (std::string(call.name) == "directory create" && !tooLong) {
        // Windows limits a directory's name to 248 characters, Wine to 259.
        int const made = call.call(name.c_str(), &code);
        EXPECT_TRUE(made == 1 || code == ERROR_FILENAME_EXCED_RANGE) << what;
        continue;
      }
      EXPECT_EQ(call.call(name.c_str(), &code), 0) << what;
      bool const refused = tooLong && std::string(call.name).find("directory") == 0;
      if (tooLong && !refused)
        EXPECT_TRUE(isTooLongAnswer(code, name.size())) << what << ": " << code;
      else
        EXPECT_EQ(code, refused ? NO_ERROR : ERROR_FILE_NOT_FOUND) << what;
    }
  }
}

// Names of 260 characters are left out: Wine moves the file there.
TEST(HostileFileNames, MoveToMissingOrHugeNamesFailsAndKeepsTheSource) {
  kest::test::TempFolder folder;
  std::string const source = folder.write("source", "x");
  std::string const huge = "C:\\" + kHuge;
  for (char const* destination : {static_cast<char const*>(nullptr), ""}) {
    unsigned long code = 99;
    EXPECT_EQ(KestFileMove(source.c_str(), destination, &code, nullptr), 0);
    EXPECT_EQ(code, 0u);
  }
  for (std::string const& destination : {huge, kHuge}) {  // renamed, and copied
    unsigned long code = 0;
    EXPECT_EQ(KestFileMove(source.c_str(), destination.c_str(), &code, nullptr), 0);
    EXPECT_TRUE(isTooLongAnswer(code, destination.size())) << code;
  }
  EXPECT_EQ(kest::test::readFile(source), "x");
}

// A move onto the file itself under another spelling must never lose it: relative names
// go the copy-and-delete way, where the copy fails on the open source.
TEST(HostileFileNames, MoveOntoItselfUnderAnotherSpellingKeepsTheFile) {
  kest::test::TempFolder folder;
  std::string const file = folder.write("b.txt", "b");
  char saved[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, saved);
  SetCurrentDirectoryA(folder.path().c_str());
  struct Row {
    char const* what;
    std::string source;
    std::string destination;
    int result;
    DWORD code;
  };
  for (Row const& row : {
           Row{"dot", "b.txt", ".\\b.txt", 0, ERROR_SHARING_VIOLATION},
           Row{"case", "b.txt", "B.TXT", 0, ERROR_SHARING_VIOLATION},
           Row{"relative to absolute", "b.txt", file, 0, ERROR_SHARING_VIOLATION},
           Row{"absolute with a dot", file, folder.path() + "\\.\\b.txt", 1, NO_ERROR},
       }) {
    unsigned long code = 99;
    EXPECT_EQ(KestFileMove(row.source.c_str(), row.destination.c_str(), &code, nullptr), row.result)
        << row.what;
    EXPECT_EQ(code, row.code) << row.what;
    EXPECT_EQ(kest::test::readFile(file), "b") << row.what;
  }
  SetCurrentDirectoryA(saved);
}

TEST(HostileFileNames, PathFunctionsTakeHugeAndMissingNames) {
  std::string const hugePath = "C:\\" + kHuge;
  EXPECT_EQ(KestDriveIsEqual(hugePath.c_str(), "C:"), 1);
  EXPECT_EQ(KestDriveIsEqual(nullptr, nullptr), 0);
  EXPECT_EQ(KestPathIsValid(hugePath.c_str(), 1, nullptr), 0);
  EXPECT_EQ(KestPathIsValid(nullptr, 1, nullptr), 0);
  EXPECT_EQ(KestFilenameIsValid(kHuge.c_str()), 1);
  EXPECT_EQ(KestFilenameIsValid(nullptr), 0);
  EXPECT_EQ(KestIsReservedDeviceName(kHuge.c_str()), 0);
  EXPECT_EQ(KestIsReservedDeviceName(nullptr), 0);
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(nullptr, '_', 3), 0u);
  ULARGE_INTEGER bytes{};
  EXPECT_EQ(KestFreeDiskSpace(hugePath.c_str(), &bytes), 1);
  EXPECT_EQ(KestFreeDiskSpace("C:\\", nullptr), 0);
  EXPECT_EQ(KestFreeDiskSpaceMB("C:\\", nullptr), 0);
}

// Once quadratic: 400,000 characters took nearly a minute.
TEST(HostileFileNames, ReplacingInAMillionCharactersIsLinear) {
  std::string name(1000000, '*');
  auto const start = std::chrono::steady_clock::now();
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(name.data(), '_', 3), 1000000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(name, std::string(1000000, '_'));
  name.assign(1000000, '*');
  EXPECT_EQ(KestReplaceInvalidFilenameCharacters(name.data(), '\0', 3), 1u);
  EXPECT_EQ(name[0], '\0');
  EXPECT_EQ(name[1], '*');  // the walk ends with the name
}

// Each thread makes deep paths of its own; every answer must match the disk.
TEST(HostileDirectories, CreateFromManyThreadsAnswersEachCallRight) {
  kest::test::TempFolder folder;
  expectNoWrongAnswers(8, [&](int t) {
    int wrong = 0;
    for (int i = 0; i < 75; ++i) {
      std::string path = folder.file("t" + std::to_string(t));
      for (int level = 0; level < 6; ++level) path += "\\level" + std::to_string(level);
      path += "\\" + std::to_string(i);
      wrong += KestDirectoryCreate(path.c_str(), nullptr, nullptr) != 1 || !isDirectory(path);
    }
    return wrong;
  });
}

// ---- Temporary names ------------------------------------------------------------------

TEST(HostileTempFilename, PrefixesThatLeaveTheFolderAndOverlongTextAreRefused) {
  for (char const* prefix : {"..\\x", "a/b", "a:b", "\\", "C:x"})
    EXPECT_EQ(KestTempFilename(nullptr, prefix), nullptr) << prefix;
  std::string const longPrefix(MAX_PATH, 'p');
  EXPECT_EQ(KestTempFilename(nullptr, longPrefix.c_str()), nullptr);
  EXPECT_EQ(KestTempFilename(kHuge.c_str(), "abc"), nullptr);
  EXPECT_EQ(KestTempFilename(kHuge.c_str(), kHuge.c_str()), nullptr);
  EXPECT_NE(KestTempFilename(nullptr, nullptr), nullptr);  // no prefix: none is used
}

// ---- Starting programs ----------------------------------------------------------------

using ExecWait = int (*)(char const*, char const*, unsigned short, void**, unsigned long,
                         unsigned long, unsigned long*, char**);

struct Launcher {
  char const* name;
  ExecWait execWait;
};
Launcher const kLaunchers[] = {{"32", KestWinExecWait32}, {"16", KestWinExecWait16}};

TEST(HostileExecWait, NothingToStartIsRefusedWithCodeZero) {
  for (Launcher const& launcher : kLaunchers) {
    unsigned long code = 99;
    char* text = reinterpret_cast<char*>(&code);
    EXPECT_EQ(launcher.execWait(nullptr, nullptr, SW_HIDE, nullptr, 0, INFINITE, &code, &text), -1)
        << launcher.name;
    EXPECT_EQ(code, 0u) << launcher.name;
    EXPECT_EQ(text, nullptr) << launcher.name;
  }
}

// A launch that could never end while waited for is refused before anything starts.
TEST(HostileExecWait, SuspendedOrDebuggedStartsWithAWaitAreRefused) {
  for (Launcher const& launcher : kLaunchers) {
    for (unsigned long flags : {CREATE_SUSPENDED, DEBUG_PROCESS, DEBUG_ONLY_THIS_PROCESS}) {
      for (DWORD timeout : {DWORD{1}, DWORD{100}, DWORD{INFINITE}}) {
        unsigned long code = 99;
        void* process = &code;
        EXPECT_EQ(launcher.execWait(nullptr, "kest_process_child.exe exit 0", SW_HIDE, &process,
                                    flags, timeout, &code, nullptr),
                  -1)
            << launcher.name << ", flags " << flags << ", timeout " << timeout;
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(process, &code);  // untouched: nothing started
      }
    }
  }
}

TEST(HostileExecWait, SuspendedStartWithoutWaitHandsOverTheProcess) {
  void* process = nullptr;
  ASSERT_EQ(KestWinExecWait32(nullptr, "kest_process_child.exe exit 0", SW_HIDE, &process,
                              CREATE_SUSPENDED, 0, nullptr, nullptr),
            1);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 100), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(process, 0);
  CloseHandle(process);
}

TEST(HostileExecWait, OddFlagsShowValuesAndLinesStillRunTheProgram) {
  struct Row {
    char const* what;
    std::string line;
    unsigned short show;
    unsigned long flags;
    int result;
  };
  std::string const lineTool = "kest_process_child.exe command-line ";
  for (Row const& row : {
           Row{"extended start-up flag", "kest_process_child.exe exit 3", SW_HIDE,
               EXTENDED_STARTUPINFO_PRESENT, 3},
           Row{"show 0xFFFF", "kest_process_child.exe exit 4", 0xFFFF, 0, 4},
           Row{"every flag bit but the refused", "kest_process_child.exe exit 6", SW_HIDE,
               EXTENDED_STARTUPINFO_PRESENT | CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, 6},
           Row{"100,000 characters", lineTool + kHuge, SW_HIDE, 0, MAX_PATH - 1},
       }) {
    for (Launcher const& launcher : kLaunchers) {
      unsigned long code = 99;
      EXPECT_EQ(launcher.execWait(nullptr, row.line.c_str(), row.show, nullptr, row.flags, INFINITE,
                                  &code, nullptr),
                row.result)
          << launcher.name << ", " << row.what;
      EXPECT_EQ(code, 0u) << launcher.name << ", " << row.what;
    }
  }
}

TEST(HostileExecWait, UnstartableNamesFailWithTheSystemsCode) {
  struct Row {
    char const* what;
    char const* application;
    char const* line;
    DWORD code;
  };
  for (Row const& row : {
           Row{"empty line", nullptr, "", ERROR_FILE_NOT_FOUND},
           Row{"empty application", "", nullptr, ERROR_PATH_NOT_FOUND},
           Row{"100,000-character application", kHuge.c_str(), nullptr, ERROR_FILENAME_EXCED_RANGE},
           Row{"spaces", nullptr, "   ", ERROR_FILE_NOT_FOUND},
       }) {
    unsigned long code = 0;
    EXPECT_EQ(
        KestWinExecWait32(row.application, row.line, SW_HIDE, nullptr, 0, INFINITE, &code, nullptr),
        -1)
        << row.what;
    if (row.code == ERROR_FILENAME_EXCED_RANGE)
      EXPECT_TRUE(isTooLongAnswer(code, kHuge.size())) << row.what << ": " << code;
    else
      EXPECT_EQ(code, row.code) << row.what;
  }
}

// ---- Nothing leaks --------------------------------------------------------------------

void expectNoGrowth(kest::test::Growth growth) {
  EXPECT_EQ(growth.handles, 0);
  EXPECT_LE(growth.bytes, kHeapSlack);
}

TEST(HostileLeaks, FileOperationsLeakNothing) {
  kest::test::TempFolder folder;
  std::string const file = folder.write("leak", "x"), moved = folder.file("moved");
  std::string const other = folder.file("other");
  std::string const top = folder.file("a"), deep = top + "\\b\\c";
  char* text = nullptr;
  WIN32_FIND_DATAA found;
  struct {
    char const* what;
    std::function<void()> round;
  } const rows[] = {
      {"create and size",
       [&] {
         CloseHandle(KestFileCreate(other.c_str(), GENERIC_WRITE, CREATE_ALWAYS, 0, 0, 0, 0));
         KestFileSize(other.c_str(), nullptr, nullptr);
       }},
      {"find files and directories",
       [&] {
         KestFileFind(file.c_str(), nullptr, &text);
         KestFileFind(folder.path().c_str(), nullptr, &text);
         KestFileFind(folder.file("missing").c_str(), nullptr, &text);
         FindClose(KestDirectoryFind(folder.path().c_str(), &found, nullptr, nullptr));
         KestDirectoryFind(file.c_str(), &found, nullptr, nullptr);
       }},
      {"directory create",
       [&] {
         KestDirectoryCreate(deep.c_str(), nullptr, nullptr);
         RemoveDirectoryA(deep.c_str());
         RemoveDirectoryA((top + "\\b").c_str());
         RemoveDirectoryA(top.c_str());
       }},
      {"temporary names",
       [] {
         KestTempDirectory();
         KestTempFilename(nullptr, "abc");
       }},
      {"move back and forth",
       [&] {
         KestFileMove(file.c_str(), moved.c_str(), nullptr, nullptr);
         KestFileMove(moved.c_str(), file.c_str(), nullptr, nullptr);
       }},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    expectNoGrowth(growthOver(kRounds, row.round));
  }
}

// Each start of a program under Wine takes about a quarter of a second on a busy machine:
// 40 rounds (and 10 to warm up) of two starts show a handle lost per start, and keep the
// suite's time on both targets within reason.
constexpr int kProgramRounds = 40;
constexpr int kProgramWarmUp = 10;
TEST(HostileLeaks, ProgramRuns) {
  expectNoGrowth(growthOver(
      kProgramRounds,
      [] {
        KestWinExecWait32(nullptr, "kest_process_child.exe exit 0", SW_HIDE, nullptr, 0, INFINITE,
                          nullptr, nullptr);
        void* process = nullptr;
        if (KestWinExecWait32(nullptr, "kest_process_child.exe exit 0", SW_HIDE, &process, 0, 0,
                              nullptr, nullptr) == 1) {
          WaitForSingleObject(process, INFINITE);
          CloseHandle(process);
        }
        KestWinExecWait32(nullptr, "kest_no_such_program.exe", SW_HIDE, nullptr, 0, INFINITE,
                          nullptr, nullptr);
      },
      kProgramWarmUp));
}

// The PIF is written only on the consumer platform, which the test prefix gives this copy
// of the child; it counts for itself (0: nothing leaked).
TEST(HostileLeaks, ProgramInformationFileWriting) {
  EXPECT_EQ(KestWinExecWait32(
                nullptr, ("kest_process_win98.exe pif-leak " + std::to_string(kRounds)).c_str(),
                SW_HIDE, nullptr, 0, INFINITE, nullptr, nullptr),
            0);
}

}  // namespace
