#include <shlwapi.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "files/file_names.h"
#include "frame/ansi_characters.h"
#include "frame/bounded_text.h"
#include "kest011/files.h"

using kest::isMissing;
using kest::files::PathBuffer;

namespace {

// What KestTempDirectory and KestTempFilename return.
PathBuffer g_tempDirectory;
PathBuffer g_tempFilename;

// "TEMP=" and a path: the longest assignment the library makes.
using Assignment = char[sizeof "TEMP=" + MAX_PATH];

// The process environment keeps its own copy of the assignment.
bool putVariable(char const* name, char const* value) {
  Assignment assignment;
  return kest::join(assignment, name, "=", value) && _putenv(assignment) == 0;
}

// Copies `directory` into the result buffer and returns it; null when it does not fit.
char const* keepDirectory(char const* directory) {
  return kest::copyIfFits(g_tempDirectory, directory) ? g_tempDirectory : nullptr;
}

// "~Temp" in the system directory, in `directory`; false when the system directory is not
// known or the whole would not fit.
bool fallbackTempDirectory(PathBuffer& directory) {
  PathBuffer system;
  UINT const length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) return false;
  // No room for the backslash means no room for the whole directory either.
  if (!PathAddBackslashA(system)) return false;
  return kest::join(directory, system, "~Temp");
}

char const* makeFallbackTempDirectory() {
  PathBuffer directory;
  if (!fallbackTempDirectory(directory)) return nullptr;
  // Named even when it cannot be made, as the values of TMP and TEMP are.
  KestDirectoryCreate(directory, nullptr, nullptr);
  if (!putVariable("TMP", directory) || !putVariable("TEMP", directory)) return nullptr;
  return keepDirectory(directory);
}

// A prefix that names a folder or a stream ("..\x", "a:b") would put the file elsewhere.
// Characters are judged whole: the second byte of a double-byte one may be a backslash.
bool isPlainPrefix(char const* prefix) { return kest::findCharacter(prefix, "\\/:") == nullptr; }

using GetDiskFreeSpaceExProc = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                             PULARGE_INTEGER);

// Whether GetDiskFreeSpaceExA was looked up, and its address (null where the system lacks
// it). Looked up once, also when threads ask at the same time, and the module stays loaded.
struct FreeSpaceLookup {
  INIT_ONCE once = INIT_ONCE_STATIC_INIT;
  GetDiskFreeSpaceExProc getDiskFreeSpaceEx = nullptr;
};

FreeSpaceLookup g_freeSpaceLookup;       // of KestFreeDiskSpace
FreeSpaceLookup g_plainFreeSpaceLookup;  // of KestFreeDiskSpaceC

BOOL CALLBACK lookUpOnce(INIT_ONCE*, void* lookup, void**) {
  if (HMODULE const kernel = LoadLibraryA("KERNEL32.DLL")) {
    FARPROC const address = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
    static_cast<FreeSpaceLookup*>(lookup)->getDiskFreeSpaceEx =
        reinterpret_cast<GetDiskFreeSpaceExProc>(reinterpret_cast<void*>(address));
  }
  return TRUE;  // done, whatever the outcome
}

GetDiskFreeSpaceExProc lookUp(FreeSpaceLookup& lookup) {
  InitOnceExecuteOnce(&lookup.once, lookUpOnce, &lookup, nullptr);
  return lookup.getDiskFreeSpaceEx;
}

// The bytes the caller may still use where the system can tell, else all free bytes.
bool queryFreeBytes(GetDiskFreeSpaceExProc getDiskFreeSpaceEx, char const* drive,
                    ULARGE_INTEGER& freeBytes) {
  if (getDiskFreeSpaceEx) {
    ULARGE_INTEGER totalBytes;
    ULARGE_INTEGER totalFreeBytes;
    return getDiskFreeSpaceEx(drive, &freeBytes, &totalBytes, &totalFreeBytes) != 0;
  }
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(drive, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    return false;
  freeBytes.QuadPart = ULONGLONG{bytesPerSector} * sectorsPerCluster * freeClusters;
  return true;
}

int freeDiskSpace(FreeSpaceLookup& lookup, char const* path, ULARGE_INTEGER* freeBytes) {
  if (isMissing(path) || freeBytes == nullptr) return 0;
  char drive[_MAX_DRIVE];
  _splitpath(path, drive, nullptr, nullptr, nullptr);
  // Network and relative paths have no drive letter.
  if (drive[0] == '\0') return 0;
  if (!queryFreeBytes(lookUp(lookup), drive, *freeBytes)) return 0;
  return freeBytes->QuadPart > 0 ? 1 : 0;
}

int freeDiskSpaceMB(int (*freeSpace)(char const*, ULARGE_INTEGER*), char const* path,
                    unsigned long* freeMegabytes) {
  if (freeMegabytes == nullptr) return 0;
  *freeMegabytes = 0;
  ULARGE_INTEGER freeBytes;
  if (!freeSpace(path, &freeBytes)) return 0;
  *freeMegabytes = static_cast<unsigned long>(freeBytes.QuadPart >> 20);
  return 1;
}

}  // namespace

char const* KestTempDirectory(void) {
  if (char const* tmp = getenv("TMP")) return keepDirectory(tmp);
  if (char const* temp = getenv("TEMP")) {
    // A copy: changing the environment may move the text getenv pointed at.
    PathBuffer directory;
    if (!kest::copyIfFits(directory, temp) || !putVariable("TMP", directory)) return nullptr;
    return keepDirectory(directory);
  }
  return makeFallbackTempDirectory();
}

char const* KestTempFilename(char const* directory, char const* prefix) {
  // The runtime's own limit on a prefix is no shorter than a path's, so longer ones could
  // never give a name that fits; a missing prefix is an empty one.
  PathBuffer plain = "";
  if (prefix && (!kest::copyIfFits(plain, prefix) || !isPlainPrefix(plain))) return nullptr;
  if (directory == nullptr) directory = KestTempDirectory();
  // A directory that does not fit a path cannot hold a name that does.
  else if (!kest::fits(g_tempFilename, directory))
    return nullptr;
  char* const name = _tempnam(directory, plain);
  if (name == nullptr) return nullptr;
  bool const kept = *name && kest::copyIfFits(g_tempFilename, name);
  free(name);
  return kept ? g_tempFilename : nullptr;
}

int KestFreeDiskSpace(char const* path, ULARGE_INTEGER* freeBytes) {
  return freeDiskSpace(g_freeSpaceLookup, path, freeBytes);
}

int KestFreeDiskSpaceMB(char const* path, unsigned long* freeMegabytes) {
  return freeDiskSpaceMB(KestFreeDiskSpace, path, freeMegabytes);
}

int KestFreeDiskSpaceC(char const* path, ULARGE_INTEGER* freeBytes) {
  return freeDiskSpace(g_plainFreeSpaceLookup, path, freeBytes);
}

int KestFreeDiskSpaceMBC(char const* path, unsigned long* freeMegabytes) {
  return freeDiskSpaceMB(KestFreeDiskSpaceC, path, freeMegabytes);
}
