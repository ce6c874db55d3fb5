#include <shlwapi.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "files/file_names.h"
#include "kest011/files.h"

using kest::files::isMissing;

namespace {

constexpr size_t kTempTextSize = MAX_PATH;
using TempText = char[kTempTextSize];
// What KestTempDirectory and KestTempFilename return.
TempText g_tempDirectory;
TempText g_tempFilename;

// Copies `text` into `buffer` and returns the buffer, or null when it does not fit.
char const* keep(std::string const& text, TempText& buffer) {
  if (text.size() >= sizeof buffer) return nullptr;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return buffer;
}

bool fits(std::string const& text) { return text.size() < kTempTextSize; }

// The process environment keeps its own copy of the assignment.
bool putVariable(char const* name, std::string const& value) {
  return _putenv((std::string(name) + "=" + value).c_str()) == 0;
}

// "~Temp" in the system directory, or empty when the system directory is not known.
std::string fallbackTempDirectory() {
  char system[MAX_PATH];
  UINT const length = GetSystemDirectoryA(system, sizeof system);
  if (length == 0 || length >= sizeof system) return {};
  // No room for the backslash means no room for the whole directory either.
  if (!PathAddBackslashA(system)) return {};
  return std::string(system) + "~Temp";
}

char const* makeFallbackTempDirectory() {
  std::string const directory = fallbackTempDirectory();
  if (directory.empty() || !fits(directory)) return nullptr;
  // Named even when it cannot be made, as the values of TMP and TEMP are.
  KestDirectoryCreate(directory.c_str(), nullptr, nullptr);
  if (!putVariable("TMP", directory) || !putVariable("TEMP", directory)) return nullptr;
  return keep(directory, g_tempDirectory);
}

using GetDiskFreeSpaceExProc = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                             PULARGE_INTEGER);

// Whether GetDiskFreeSpaceExA was looked up, and its address (null where the system lacks
// it). Looked up once, and the module stays loaded.
struct FreeSpaceLookup {
  bool done;
  GetDiskFreeSpaceExProc getDiskFreeSpaceEx;
};

FreeSpaceLookup g_freeSpaceLookup;       // of KestFreeDiskSpace
FreeSpaceLookup g_plainFreeSpaceLookup;  // of KestFreeDiskSpaceC

GetDiskFreeSpaceExProc lookUp(FreeSpaceLookup& lookup) {
  if (!lookup.done) {
    if (HMODULE const kernel = LoadLibraryA("KERNEL32.DLL")) {
      FARPROC const address = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
      lookup.getDiskFreeSpaceEx =
          reinterpret_cast<GetDiskFreeSpaceExProc>(reinterpret_cast<void*>(address));
    }
    lookup.done = true;
  }
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
  if (char const* tmp = std::getenv("TMP")) return keep(tmp, g_tempDirectory);
  if (char const* temp = std::getenv("TEMP")) {
    // A copy: changing the environment may move the text getenv pointed at.
    std::string const directory = temp;
    if (!fits(directory) || !putVariable("TMP", directory)) return nullptr;
    return keep(directory, g_tempDirectory);
  }
  return makeFallbackTempDirectory();
}

char const* KestTempFilename(char const* directory, char const* prefix) {
  if (directory == nullptr) directory = KestTempDirectory();
  char* const name = _tempnam(directory, prefix);
  if (name == nullptr) return nullptr;
  char const* const kept = *name ? keep(name, g_tempFilename) : nullptr;
  std::free(name);
  return kept;
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
