#include "files/file_names.h"
#include "frame/bounded_text.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "kest011/files.h"

using kest::isMissing;
using kest::files::isDirectory;

namespace {

// The first match of `name`, in `found`; false, reported, when nothing matches.
bool findFirstMatch(char const* name, WIN32_FIND_DATAA& found,
                    kest::SystemErrorReport const& report) {
  kest::FindHandle const search(FindFirstFileA(name, &found));
  if (!search) return report.lastError(false);
  return true;
}

}  // namespace

int KestFileFind(char const* name, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (isMissing(name)) return 0;
  WIN32_FIND_DATAA found;
  if (!findFirstMatch(name, found, report)) return 0;
  // Only the first match counts: a directory there is not a file.
  return isDirectory(found) ? 0 : 1;
}

int KestFileHide(char const* name, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (isMissing(name)) return 0;
  DWORD const attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return report.lastError(0);
  if (attributes & FILE_ATTRIBUTE_HIDDEN) return 1;
  // Hidden alone, not added to the others: read-only, system and archive are cleared.
  if (!SetFileAttributesA(name, FILE_ATTRIBUTE_HIDDEN)) return report.lastError(0);
  return 1;
}

int KestFileMove(char const* source, char const* destination, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (isMissing(source) || isMissing(destination)) return 0;
  WIN32_FIND_DATAA found;
  if (!findFirstMatch(source, found, report)) return 0;
  if (isDirectory(found)) return 0;
  if (KestDriveIsEqual(source, destination)) {
    // A rename, which never replaces: an existing destination makes it fail.
    if (!MoveFileA(source, destination)) return report.lastError(0);
    return 1;
  }
  // Another drive, or a relative path whose drive is not known: the copy replaces an
  // existing destination, and the source goes only once the copy is complete.
  if (!CopyFileA(source, destination, FALSE)) return report.lastError(0);
  if (!DeleteFileA(source)) return report.lastError(0);
  return 1;
}
