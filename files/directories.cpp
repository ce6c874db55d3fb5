#include <shlwapi.h>

#include <cstring>

#include "files/file_names.h"
#include "frame/error_report.h"
#include "kest011/files.h"

using kest::files::isDirectory;
using kest::files::isMissing;

namespace {

constexpr size_t kDirectoryWorkSize = MAX_PATH;
// KestDirectoryCreate cuts the path here at its backslashes and rebuilds it level by level.
char g_directoryWork[kDirectoryWorkSize];

bool fitsWorkBuffer(char const* path) { return std::strlen(path) < kDirectoryWorkSize; }

// Ends the text at every backslash from `from` on, and returns how many there were.
unsigned cutAtBackslashes(char* from) {
  unsigned cuts = 0;
  for (; *from; ++from) {
    if (*from != '\\') continue;
    *from = '\0';
    ++cuts;
  }
  return cuts;
}

// Puts back the backslash at the end of the text, where its first cut stands.
void restoreFirstCut(char* text) { text[std::strlen(text)] = '\\'; }

bool isExistingDirectory(char const* path) {
  DWORD const attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void* KestDirectoryFind(char const* path, WIN32_FIND_DATAA* findData, unsigned long* code,
                        char** text) {
  kest::SystemErrorReport report(code, text);
  if (isMissing(path) || findData == nullptr || std::strlen(path) >= MAX_PATH)
    return INVALID_HANDLE_VALUE;
  char copy[MAX_PATH];
  std::strcpy(copy, path);
  PathRemoveBackslashA(copy);
  HANDLE const search = FindFirstFileA(copy, findData);
  if (search == INVALID_HANDLE_VALUE) return report.lastError(INVALID_HANDLE_VALUE);
  // The caller goes on with FindNextFileA and closes the search.
  if (isDirectory(*findData)) return search;
  FindClose(search);
  return INVALID_HANDLE_VALUE;
}

int KestDirectoryCreate(char const* path, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (path == nullptr || std::strlen(path) < 2 || !fitsWorkBuffer(path)) return 0;
  // A drive or its root exists already.
  if (std::strlen(path) <= 3 && std::strchr(path, ':')) return 1;
  std::strcpy(g_directoryWork, path);
  char* const firstBackslash = std::strchr(g_directoryWork, '\\');
  if (firstBackslash == nullptr) return 0;
  unsigned const cuts = cutAtBackslashes(firstBackslash + 1);
  for (unsigned level = 0; level < cuts; ++level) {
    // Levels above may exist already, be protected or be out of reach: their failures do
    // not matter, only whether the last level can be made.
    CreateDirectoryA(g_directoryWork, nullptr);
    restoreFirstCut(g_directoryWork);
  }
  if (CreateDirectoryA(g_directoryWork, nullptr)) return 1;
  DWORD const failure = GetLastError();
  // "Already exists" is success only when what exists is a directory, not a file.
  if (failure == ERROR_ALREADY_EXISTS && isExistingDirectory(g_directoryWork)) return 1;
  return report.fail(0, failure, failure);
}
