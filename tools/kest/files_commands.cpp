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

// Reports a failed call: the system's code and text, or, for code 0, why the library
// refused the call itself.
int failedOrRefused(Call const& call, std::string const& what, SystemError const& error,
                    char const* refusal) {
  if (error.code == 0) return call.fail(what + ": " + refusal);
  return call.fail(what, error);
}

// Runs an operation of the library on one name and reports its failure.
int runOnName(Call const& call, int (*operation)(char const*, unsigned long*, char**),
              char const* refusal) {
  Args const& args = call.operands();
  if (args.size() != 1) return call.usage();
  SystemError error;
  if (operation(args[0].c_str(), &error.code, &error.text)) return kExitOk;
  return failedOrRefused(call, args[0], error, refusal);
}

char const* yesNo(int answer) { return answer ? "yes" : "no"; }

// The last name of a path, after its last separator. The system steps by character, so the
// second byte of a double-byte character is never taken for a backslash.
std::string lastName(std::string const& path) {
  char const* name = path.c_str();
  for (char const* character = name; *character; character = CharNextA(character))
    if (*character == '\\' || *character == '/' || *character == ':') name = character + 1;
  return name;
}

int fileSize(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 1) return call.usage();
  SystemError error;
  long const size = KestFileSize(args[0].c_str(), &error.code, &error.text);
  if (size == -1) return failedOrRefused(call, args[0], error, "refused");
  std::printf("%ld\n", size);
  return kExitOk;
}

int pathCheck(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 2 || args[0] != "check") return call.usage();
  std::string const& path = args[1];
  int isRemovable = 0;
  int const valid = KestPathIsValid(path.c_str(), 1, &isRemovable);
  std::printf("valid path: %s\n", yesNo(valid));
  std::printf("removable drive: %s\n", yesNo(isRemovable));
  std::printf("reserved device name: %s\n",
              yesNo(KestIsReservedDeviceName(lastName(path).c_str())));
  return kExitOk;
}

int nameFix(Call& call) {
  Args const& args = call.operands();
  if (args.size() < 2 || args.size() > 3 || args[0] != "fix") return call.usage();
  if (args.size() == 3 && args[2].size() != 1) return call.usage();
  char const replacement = args.size() == 3 ? args[2][0] : '_';
  std::string name = args[1];
  KestReplaceInvalidFilenameCharacters(name.data(), replacement, GCT_LFNCHAR | GCT_SHORTCHAR);
  std::printf("%s\n", name.c_str());
  return kExitOk;
}

int makeDirectory(Call& call) {
  return runOnName(call, KestDirectoryCreate,
                   "refused: a path needs a backslash and fewer than 260 characters");
}

int moveFile(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 2) return call.usage();
  SystemError error;
  if (KestFileMove(args[0].c_str(), args[1].c_str(), &error.code, &error.text)) return kExitOk;
  return failedOrRefused(call, args[0] + " to " + args[1], error,
                         "refused: directories are not moved, and both names must be given");
}

int hideFile(Call& call) { return runOnName(call, KestFileHide, "refused: no name given"); }

int tempDirectory(Call& call) {
  if (!call.operands().empty()) return call.usage();
  char const* directory = KestTempDirectory();
  if (!directory) return call.fail("no temporary directory (or one of 260+ characters)");
  std::printf("%s\n", directory);
  return kExitOk;
}

int tempName(Call& call) {
  Args const& args = call.operands();
  if (args.empty() || args.size() > 2) return call.usage();
  char const* directory = args.size() == 2 ? args[0].c_str() : nullptr;
  char const* name = KestTempFilename(directory, args.back().c_str());
  if (!name) return call.fail("no temporary name for prefix " + args.back());
  std::printf("%s\n", name);
  return kExitOk;
}

int diskFree(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 1) return call.usage();
  ULARGE_INTEGER freeBytes{};
  unsigned long freeMegabytes = 0;
  if (!KestFreeDiskSpace(args[0].c_str(), &freeBytes) ||
      !KestFreeDiskSpaceMB(args[0].c_str(), &freeMegabytes))
    return call.fail(args[0] + ": no free space (a full drive, no drive letter, or no drive)");
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
  SystemError outcome;
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

RegisterCommand const registerFileSize({"filesize", "print a file's size in bytes", "FILE",
                                        fileSize});
RegisterCommand const registerPath(
    {"path", "check a path: valid, on a removable drive, a reserved device name",
     "check PATH\n"
     "Says whether PATH is a valid path, whether it is on a removable drive, and whether its "
     "last name is a reserved device name (CON, LPT1, ...).",
     pathCheck});
RegisterCommand const registerName(
    {"name", "replace the characters a file name must not hold",
     "fix NAME [REPLACEMENT]\n"
     "Prints NAME with each such character replaced by REPLACEMENT, a single character (_ by "
     "default).",
     nameFix});
RegisterCommand const registerMkdir({"mkdir", "create a directory and every missing parent",
                                     "PATH\nPATH must hold a backslash and be shorter than 260 "
                                     "characters.",
                                     makeDirectory});
RegisterCommand const registerMv(
    {"mv", "move a file",
     "SOURCE DESTINATION\n"
     "On one drive the file is renamed, never replacing DESTINATION; across drives, or for "
     "relative paths, it is copied over DESTINATION and then deleted. Directories are not "
     "moved.",
     moveFile});
RegisterCommand const registerHide({"hide", "hide a file or directory",
                                    "FILE\n"
                                    "Hidden becomes its only attribute: read-only and the others "
                                    "are cleared.",
                                    hideFile});
RegisterCommand const registerTempdir({"tempdir", "print the directory for temporary files",
                                       "\n"
                                       "TMP, else TEMP, else ~Temp in the system directory, "
                                       "which is then made.",
                                       tempDirectory});
RegisterCommand const registerTempname(
    {"tempname", "print a name for a new temporary file",
     "[DIR] PREFIX\n"
     "The name is in DIR (by default the directory for temporary files) and begins with "
     "PREFIX; the file is not made.",
     tempName});
RegisterCommand const registerDf({"df", "print the free space of a drive",
                                  "PATH\n"
                                  "Prints the free space of the drive of PATH in bytes and in MB.",
                                  diskFree});
RegisterTourSection const registerTour({200, "File handles", tourFileHandles});
RegisterTourSection const registerPathsTour({210, "Paths and file names", tourPaths});
RegisterTourSection const registerFilesTour({220, "Files and directories",
                                             tourFilesAndDirectories});
RegisterTourSection const registerTempTour({230, "Temporary locations", tourTemporaryLocations});
RegisterTourSection const registerSpaceTour({240, "Free disk space", tourFreeSpace});

}  // namespace
}  // namespace kest::cli
