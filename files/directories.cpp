#include <shlwapi.h>
#include <string.h>

#include "files/file_names.h"
#include "frame/bounded_text.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "kest011/files.h"

using kest::isMissing;
using kest::files::isDirectory;
using kest::files::PathBuffer;

namespace {

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
void restoreFirstCut(char* text) { text[strlen(text)] = '\\'; }

bool isExistingDirectory(char const* path) {
  DWORD const attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void* KestDirectoryFind(char const* path, WIN32_FIND_DATAA* findData, unsigned long* code,
                        char** text) {
  kest::SystemErrorReport report(code, text);
  PathBuffer copy;
  if (isMissing(path) || findData == nullptr || !kest::copyIfFits(copy, path))
    return INVALID_HANDLE_VALUE;
  PathRemoveBackslashA(copy);
  kest::FindHandle search(FindFirstFileA(copy, findData));
  if (!search) return report.lastError(INVALID_HANDLE_VALUE);
  if (!isDirectory(*findData)) return INVALID_HANDLE_VALUE;
  // The caller goes on with FindNextFileA and closes the search.
  return search.release();
}

int KestDirectoryCreate(char const* path, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  // Cut and rebuilt in a buffer of the call's own, so that calls on several threads never
  // see each other's paths.
  PathBuffer work;
  if (path == nullptr || kest::boundedLength(path, 2) < 2 || !kest::copyIfFits(work, path))
    return 0;
  // A drive or its root exists already.
  if (strlen(work) <= 3 && strchr(work, ':')) return 1;
  char* const firstBackslash = strchr(work, '\\');
  if (firstBackslash == nullptr) return 0;
  unsigned const cuts = cutAtBackslashes(firstBackslash + 1);
  for (unsigned level = 0; level < cuts; ++level) {
    // Levels above may exist already, be protected or be out of reach: their failures do
    // not matter, only whether the last level can be made.
    CreateDirectoryA(work, nullptr);
    restoreFirstCut(work);
  }
  if (CreateDirectoryA(work, nullptr)) return 1;
  DWORD const failure = GetLastError();
  // "Already exists" is success only when what exists is a directory, not a file.
  if (failure == ERROR_ALREADY_EXISTS && isExistingDirectory(work)) return 1;
  return report.fail(0, failure);
}
