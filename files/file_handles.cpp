#include "frame/error_report.h"
#include "kest011/files.h"

namespace {

// What the last ReadFile and WriteFile moved; callers only learn whether it was all.
DWORD g_lastReadCount;
DWORD g_lastWriteCount;

}  // namespace

void* KestFileCreate(char const* fileName, unsigned long desiredAccess,
                     unsigned long creationDisposition, unsigned long flagsAndAttributes,
                     unsigned long shareMode, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  HANDLE const file = CreateFileA(fileName, desiredAccess, shareMode, nullptr, creationDisposition,
                                  flagsAndAttributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return report.lastError(INVALID_HANDLE_VALUE);
  return file;
}

void* KestFileOpen(char const* fileName, unsigned long desiredAccess,
                   unsigned long creationDisposition, unsigned long flagsAndAttributes,
                   unsigned long shareMode, unsigned long* code, char** text) {
  return KestFileCreate(fileName, desiredAccess, creationDisposition, flagsAndAttributes, shareMode,
                        code, text);
}

int KestFileRead(void* file, void* buffer, unsigned long count, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (!ReadFile(file, buffer, count, &g_lastReadCount, nullptr)) return report.lastError(0);
  return g_lastReadCount == count ? 1 : 0;
}

int KestFileWrite(void* file, void* const buffer, unsigned long count, unsigned long* code,
                  char** text) {
  kest::SystemErrorReport report(code, text);
  if (!WriteFile(file, buffer, count, &g_lastWriteCount, nullptr)) return report.lastError(0);
  return g_lastWriteCount == count ? 1 : 0;
}

namespace {

int moveFilePointer(HANDLE file, LONG offset, DWORD method, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  if (SetFilePointer(file, offset, nullptr, method) == INVALID_SET_FILE_POINTER)
    return report.lastError(0);
  return 1;
}

}  // namespace

int KestFileSeekEnd(void* file, unsigned long* code, char** text) {
  return moveFilePointer(file, 0, FILE_END, code, text);
}

int KestFileSeek(void* file, long offset, unsigned long* code, char** text) {
  return moveFilePointer(file, offset, FILE_BEGIN, code, text);
}

long KestFileSize(void* file, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  DWORD const size = GetFileSize(file, nullptr);
  if (size == INVALID_FILE_SIZE) return report.lastError(-1L);
  // Sizes of 2 GiB and more come back as the low 32 bits read as signed, by design.
  return static_cast<long>(size);
}

long KestFileSize(char const* fileName, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  HANDLE const file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return report.lastError(-1L);
  long const size = KestFileSize(file, code, text);
  CloseHandle(file);
  return size;
}
