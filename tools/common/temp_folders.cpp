#include "common/temp_folders.h"

#include <windows.h>

#include <atomic>

namespace kest::helpers {
namespace {

// Names another process (or a crashed run with the same id) left behind are stepped over,
// but not forever: past this many, something other than a clash is wrong.
constexpr unsigned kMaxNameAttempts = 1000;

}  // namespace

unsigned long makeTempFolder(std::string const& prefix, std::string& path) {
  // One counter for the process, so folders made one after another get distinct names.
  static std::atomic<unsigned> counter;
  char base[MAX_PATH + 1];
  DWORD const length = GetTempPathA(sizeof base, base);
  if (length == 0 || length >= sizeof base) {
    path = "the temporary directory";
    DWORD const error = GetLastError();
    return error ? error : ERROR_BUFFER_OVERFLOW;
  }
  std::string const stem = base + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-";
  for (unsigned attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    path = stem + std::to_string(counter++);
    if (CreateDirectoryA(path.c_str(), nullptr)) return 0;
    DWORD const error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return error;
  }
  return ERROR_ALREADY_EXISTS;
}

void removeTree(std::string const& path) {
  WIN32_FIND_DATAA entry;
  HANDLE const find = FindFirstFileA((path + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string const name = entry.cFileName;
      if (name == "." || name == "..") continue;
      std::string const child = path + "\\" + name;
      SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        removeTree(child);
      else
        DeleteFileA(child.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(path.c_str());
}

}  // namespace kest::helpers
