#include <shlwapi.h>
#include <string.h>

#include "files/file_names.h"
#include "frame/ansi_characters.h"
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
  for (char* next; *from; from = next) {
    next = kest::nextCharacter(from);
    if (*from != '\\') continue;
    *from = '\0';
    ++cuts;
  }
  return cuts;
}

// At most `count` characters long.
bool hasAtMostCharacters(char const* text, unsigned count) {
  for (; *text; text = kest::nextCharacter(text))
    if (count-- == 0) return false;
  return true;
}

// A drive or its root ("C:", "C:\"): at most three characters, one of them a colon.
bool isDriveOrRoot(char const* text) {
  return hasAtMostCharacters(text, 3) && kest::findCharacter(text, ":") != nullptr;
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
  if (path == nullptr || !kest::copyIfFits(work, path) || hasAtMostCharacters(work, 1)) return 0;
  // A drive or its root exists already.
  if (isDriveOrRoot(work)) return 1;
  // The first backslash that is a character, not the second byte of one.
  char* const separator = kest::findCharacter(work, "\\");
  if (separator == nullptr) return 0;
  unsigned const cuts = cutAtBackslashes(separator + 1);
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
