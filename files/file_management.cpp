#include "frame/error_report.h"
#include "kest011/files.h"

namespace {

bool isDirectory(WIN32_FIND_DATAA const& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isMissing(char const* name) { return name == nullptr || *name == '\0'; }

}  // namespace

int KestFileFind(char const* name, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (isMissing(name)) return 0;
  WIN32_FIND_DATAA found;
  HANDLE const search = FindFirstFileA(name, &found);
  if (search == INVALID_HANDLE_VALUE) return report.lastError(0);
  FindClose(search);
  // Only the first match counts: a directory there is not a file.
  return isDirectory(found) ? 0 : 1;
}
