// kest subcommands and tour sections of the files family.

#include <shlwapi.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "kest/command.h"
#include "kest011/files.h"

namespace kest::cli {
namespace {

// The outcome of a call with the error out-parameters.
struct Outcome {
  unsigned long code = 0;
  char* text = nullptr;
};

// Reports a failed call: the system's code and text, or, for code 0, why the library
// refused the call itself.
int failed(Command const& command, std::string const& what, Outcome const& outcome,
           char const* refusal) {
  if (outcome.code == 0) return fail(command.name, what + ": " + refusal);
  return fail(command.name, what + " (code " + std::to_string(outcome.code) + ")", outcome.text);
}

// Runs an operation of the library on one name and reports its failure.
int runOnName(Command const& command, Args const& args,
              int (*operation)(char const*, unsigned long*, char**), char const* refusal) {
  if (args.size() != 1) return usage(command);
  Outcome outcome;
  if (operation(args[0].c_str(), &outcome.code, &outcome.text)) return kExitOk;
  return failed(command, args[0], outcome, refusal);
}

char const* yesNo(int answer) { return answer ? "yes" : "no"; }

// The last name of a path, after its last separator.
std::string lastName(std::string const& path) {
  size_t const separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

int fileSize(Args const& args);
Command const kFileSize{"filesize", "FILE", "print the size of FILE in bytes", fileSize};

int fileSize(Args const& args) {
  if (args.size() != 1) return usage(kFileSize);
  Outcome outcome;
  long const size = KestFileSize(args[0].c_str(), &outcome.code, &outcome.text);
  if (size == -1) return failed(kFileSize, args[0], outcome, "refused");
  std::printf("%ld\n", size);
  return kExitOk;
}

int pathCheck(Args const& args);
Command const kPath{"path", "check PATH",
                    "say whether PATH is a valid path, whether it is on a removable drive, and "
                    "whether its last name is a reserved device name",
                    pathCheck};

int pathCheck(Args const& args) {
  if (args.size() != 2 || args[0] != "check") return usage(kPath);
  std::string const& path = args[1];
  int isRemovable = 0;
  int const valid = KestPathIsValid(path.c_str(), 1, &isRemovable);
  std::printf("valid path: %s\n", yesNo(valid));
  std::printf("removable drive: %s\n", yesNo(isRemovable));
  std::printf("reserved device name: %s\n",
              yesNo(KestIsReservedDeviceName(lastName(path).c_str())));
  return kExitOk;
}

int nameFix(Args const& args);
Command const kName{"name", "fix NAME [REPLACEMENT]",
                    "print NAME with every character a file name must not hold replaced by "
                    "REPLACEMENT (one character, _ when not given)",
                    nameFix};

int nameFix(Args const& args) {
  if (args.size() < 2 || args.size() > 3 || args[0] != "fix") return usage(kName);
  if (args.size() == 3 && args[2].size() != 1) return usage(kName);
  char const replacement = args.size() == 3 ? args[2][0] : '_';
  std::string name = args[1];
  KestReplaceInvalidFilenameCharacters(name.data(), replacement, GCT_LFNCHAR | GCT_SHORTCHAR);
  std::printf("%s\n", name.c_str());
  return kExitOk;
}

int makeDirectory(Args const& args);
Command const kMkdir{"mkdir", "PATH", "create directory PATH and every missing directory above it",
                     makeDirectory};

int makeDirectory(Args const& args) {
  return runOnName(kMkdir, args, KestDirectoryCreate,
                   "refused: a path needs a backslash and fewer than 260 characters");
}

int moveFile(Args const& args);
Command const kMv{"mv", "SOURCE DESTINATION",
                  "move a file: renamed on one drive (never replacing DESTINATION), copied over "
                  "DESTINATION and deleted across drives or for relative paths",
                  moveFile};

int moveFile(Args const& args) {
  if (args.size() != 2) return usage(kMv);
  Outcome outcome;
  if (KestFileMove(args[0].c_str(), args[1].c_str(), &outcome.code, &outcome.text)) return kExitOk;
  return failed(kMv, args[0] + " to " + args[1], outcome,
                "refused: directories are not moved, and both names must be given");
}

int hideFile(Args const& args);
Command const kHide{"hide", "FILE",
                    "hide FILE or a directory (its other attributes, read-only among them, are "
                    "cleared)",
                    hideFile};

int hideFile(Args const& args) {
  return runOnName(kHide, args, KestFileHide, "refused: no name given");
}

int tempDirectory(Args const& args);
Command const kTempdir{"tempdir", "",
                       "print the directory for temporary files (TMP, else TEMP, else ~Temp in "
                       "the system directory, which is then made)",
                       tempDirectory};

int tempDirectory(Args const& args) {
  if (!args.empty()) return usage(kTempdir);
  char const* directory = KestTempDirectory();
  if (!directory) return fail(kTempdir.name, "no temporary directory (or one of 260+ characters)");
  std::printf("%s\n", directory);
  return kExitOk;
}

int tempName(Args const& args);
Command const kTempname{"tempname", "[DIR] PREFIX",
                        "print a name for a new temporary file in DIR (default: the temporary "
                        "directory) beginning with PREFIX; the file is not made",
                        tempName};

int tempName(Args const& args) {
  if (args.empty() || args.size() > 2) return usage(kTempname);
  char const* directory = args.size() == 2 ? args[0].c_str() : nullptr;
  char const* name = KestTempFilename(directory, args.back().c_str());
  if (!name) return fail(kTempname.name, "no temporary name for prefix " + args.back());
  std::printf("%s\n", name);
  return kExitOk;
}

int diskFree(Args const& args);
Command const kDf{"df", "PATH", "print the free space of the drive of PATH, in bytes and in MB",
                  diskFree};

int diskFree(Args const& args) {
  if (args.size() != 1) return usage(kDf);
  ULARGE_INTEGER freeBytes{};
  unsigned long freeMegabytes = 0;
  if (!KestFreeDiskSpace(args[0].c_str(), &freeBytes) ||
      !KestFreeDiskSpaceMB(args[0].c_str(), &freeMegabytes))
    return fail(kDf.name, args[0] + ": no free space (a full drive, no drive letter, or no drive)");
  std::printf("%llu bytes\n%lu MB\n", freeBytes.QuadPart, freeMegabytes);
  return kExitOk;
}

void tourFileHandles(Tour& tour) {
  std::string const name = tour.path("hello.txt");
  unsigned long code = 0;
  char* text = nullptr;
  void* file = KestFileCreate(name.c_str(), GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, 0, &code, &text);
  tour.show("KestFileCreate(hello.txt) -> %s",
            file == INVALID_HANDLE_VALUE ? "INVALID_HANDLE_VALUE" : "a handle");
  if (file == INVALID_HANDLE_VALUE) return;
  char message[] = "Hello from Kest011";
  tour.show("KestFileWrite(18 bytes) -> %d", KestFileWrite(file, message, 18, &code, &text));
  tour.show("KestFileSize(handle) -> %ld", KestFileSize(file, &code, &text));
  tour.show("KestFileSeek(6) -> %d", KestFileSeek(file, 6, &code, &text));
  char word[5] = {};
  int const read = KestFileRead(file, word, 4, &code, &text);
  tour.show("KestFileRead(4 bytes) -> %d \"%s\"", read, word);
  int const pastEnd = KestFileRead(file, word, 100, &code, &text);
  tour.show("KestFileRead(100 bytes past the end) -> %d, code %lu", pastEnd, code);
  int const seek = KestFileSeek(file, -1, &code, &text);
  tour.show("KestFileSeek(-1) -> %d, code %lu: %s", seek, code, errorText(text).c_str());
  tour.show("KestFileSeekEnd -> %d", KestFileSeekEnd(file, &code, &text));
  CloseHandle(file);
  tour.show("KestFileSize(hello.txt) -> %ld", KestFileSize(name.c_str(), &code, &text));
  long const missing = KestFileSize(tour.path("missing.txt").c_str(), &code, &text);
  tour.show("KestFileSize(missing.txt) -> %ld, code %lu: %s", missing, code,
            errorText(text).c_str());
}

void tourPaths(Tour& tour) {
  for (auto const& [path1, path2] : {std::pair<char const*, char const*>{"C:", "c:\\data\\x.txt"},
                                     {"C:\\a", "\\\\server\\share\\a"},
                                     {"dir\\a", "dir\\b"}})
    tour.show("KestDriveIsEqual(%s, %s) -> %d", path1, path2, KestDriveIsEqual(path1, path2));
  for (char const* path : {"C:\\data\\..\\report.txt", "\\\\server\\share\\dir", "C:\\a*.txt",
                           "C:dir", "C:\\a\\\\b", "Q:\\no\\such\\drive"}) {
    int isRemovable = 0;
    int const valid = KestPathIsValid(path, 0, &isRemovable);
    tour.show("KestPathIsValid(%s) -> %d, removable %d", path, valid, isRemovable);
  }
  for (char const* name : {"report.txt", "a?b", "   "})
    tour.show("KestFilenameIsValid(\"%s\") -> %d", name, KestFilenameIsValid(name));
  char name[] = "what? a*b";
  unsigned const replaced = KestReplaceInvalidFilenameCharacters(name, '_', 3);
  tour.show("KestReplaceInvalidFilenameCharacters(\"what? a*b\", '_', 3) -> %u \"%s\"", replaced,
            name);
  for (char const* device : {"Lpt1", "LPT5", "con", "CON.TXT"})
    tour.show("KestIsReservedDeviceName(%s) -> %d", device, KestIsReservedDeviceName(device));
}

void tourFilesAndDirectories(Tour& tour) {
  Outcome outcome;
  int const made =
      KestDirectoryCreate(tour.path("data\\2000\\run").c_str(), &outcome.code, &outcome.text);
  tour.show("KestDirectoryCreate(data\\2000\\run) -> %d", made);
  tour.show("KestDirectoryCreate(data) again -> %d",
            KestDirectoryCreate(tour.path("data").c_str(), &outcome.code, &outcome.text));
  WIN32_FIND_DATAA found;
  void* search =
      KestDirectoryFind(tour.path("data\\").c_str(), &found, &outcome.code, &outcome.text);
  tour.show("KestDirectoryFind(data\\) -> %s \"%s\"",
            search == INVALID_HANDLE_VALUE ? "INVALID_HANDLE_VALUE" : "a search handle",
            search == INVALID_HANDLE_VALUE ? "" : found.cFileName);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);

  std::string const draft = tour.path("data\\draft.txt");
  void* file = KestFileCreate(draft.c_str(), GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY,
                              0, &outcome.code, &outcome.text);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  tour.show("KestFileHide(draft.txt, read-only) -> %d",
            KestFileHide(draft.c_str(), &outcome.code, &outcome.text));
  DWORD const attributes = GetFileAttributesA(draft.c_str());
  tour.show("  hidden %s, read-only %s", yesNo(attributes & FILE_ATTRIBUTE_HIDDEN),
            yesNo(attributes & FILE_ATTRIBUTE_READONLY));

  std::string const finalName = tour.path("data\\final.txt");
  tour.show("KestFileMove(draft.txt, final.txt) -> %d",
            KestFileMove(draft.c_str(), finalName.c_str(), &outcome.code, &outcome.text));
  tour.show("KestFileFind(final.txt) -> %d, KestFileFind(draft.txt) -> %d",
            KestFileFind(finalName.c_str(), nullptr, nullptr),
            KestFileFind(draft.c_str(), nullptr, nullptr));
  int const moved =
      KestFileMove(tour.path("hello.txt").c_str(), finalName.c_str(), &outcome.code, &outcome.text);
  tour.show("KestFileMove(hello.txt onto final.txt) -> %d, code %lu: %s", moved, outcome.code,
            errorText(outcome.text).c_str());
  int const directory = KestFileMove(tour.path("data\\2000").c_str(), tour.path("y2k").c_str(),
                                     &outcome.code, &outcome.text);
  tour.show("KestFileMove(data\\2000, a directory) -> %d, code %lu", directory, outcome.code);
}

void tourTemporaryLocations(Tour& tour) {
  char const* directory = KestTempDirectory();
  tour.show("KestTempDirectory() -> %s", directory ? directory : "(null)");
  char const* name = KestTempFilename(tour.folder().c_str(), "kst");
  tour.show("KestTempFilename(tour folder, \"kst\") -> %s", name ? name : "(null)");
}

void tourFreeSpace(Tour& tour) {
  ULARGE_INTEGER freeBytes{};
  unsigned long freeMegabytes = 0;
  int const bytes = KestFreeDiskSpace("C:\\", &freeBytes);
  int const megabytes = KestFreeDiskSpaceMB("c:\\any\\dir\\file.txt", &freeMegabytes);
  tour.show("KestFreeDiskSpace(C:\\) -> %d, %llu bytes", bytes, freeBytes.QuadPart);
  tour.show("KestFreeDiskSpaceMB(c:\\any\\dir\\file.txt) -> %d, %lu MB", megabytes, freeMegabytes);
  int const plain = KestFreeDiskSpaceMBC("C:", &freeMegabytes);
  tour.show("KestFreeDiskSpaceMBC(C:) -> %d, %lu MB", plain, freeMegabytes);
  for (char const* path : {"\\\\server\\share\\dir", "data"})
    tour.show("KestFreeDiskSpace(%s) -> %d", path, KestFreeDiskSpace(path, &freeBytes));
}

RegisterCommand const registerFileSize(kFileSize);
RegisterCommand const registerPath(kPath);
RegisterCommand const registerName(kName);
RegisterCommand const registerMkdir(kMkdir);
RegisterCommand const registerMv(kMv);
RegisterCommand const registerHide(kHide);
RegisterCommand const registerTempdir(kTempdir);
RegisterCommand const registerTempname(kTempname);
RegisterCommand const registerDf(kDf);
RegisterTourSection const registerTour({200, "File handles", tourFileHandles});
RegisterTourSection const registerPathsTour({210, "Paths and file names", tourPaths});
RegisterTourSection const registerFilesTour({220, "Files and directories",
                                             tourFilesAndDirectories});
RegisterTourSection const registerTempTour({230, "Temporary locations", tourTemporaryLocations});
RegisterTourSection const registerSpaceTour({240, "Free disk space", tourFreeSpace});

}  // namespace
}  // namespace kest::cli
