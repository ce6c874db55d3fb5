#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "kest011/files.h"

namespace {

// 0xFFFFFFFF is both the failure value of SetFilePointer and GetFileSize without a high part
// and a true position or size (4 GiB - 1); only the thread's last error tells them apart.
// The error is cleared first, so a stale one from an earlier call cannot make a success
// look like a failure.
template <class Call>
bool succeeded(Call call, DWORD failureValue, DWORD& result) {
  SetLastError(NO_ERROR);
  result = call();
  return result != failureValue || GetLastError() == NO_ERROR;
}

int moveFilePointer(HANDLE file, LONG offset, DWORD method, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  DWORD position = 0;
  if (!succeeded([&] { return SetFilePointer(file, offset, nullptr, method); },
                 INVALID_SET_FILE_POINTER, position))
    return report.lastError(0);
  return 1;
}

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

// The counts are the call's own: threads reading or writing at once must not see each
// other's.
int KestFileRead(void* file, void* buffer, unsigned long count, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  DWORD read = 0;
  if (!ReadFile(file, buffer, count, &read, nullptr)) return report.lastError(0);
  return read == count ? 1 : 0;
}

int KestFileWrite(void* file, void* const buffer, unsigned long count, unsigned long* code,
                  char** text) {
  kest::SystemErrorReport report(code, text);
  DWORD written = 0;
  if (!WriteFile(file, buffer, count, &written, nullptr)) return report.lastError(0);
  return written == count ? 1 : 0;
}

int KestFileSeekEnd(void* file, unsigned long* code, char** text) {
  return moveFilePointer(file, 0, FILE_END, code, text);
}

int KestFileSeek(void* file, long offset, unsigned long* code, char** text) {
  return moveFilePointer(file, offset, FILE_BEGIN, code, text);
}

long KestFileSize(void* file, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  DWORD size = 0;
  if (!succeeded([&] { return GetFileSize(file, nullptr); }, INVALID_FILE_SIZE, size))
    return report.lastError(-1L);
  // Sizes of 2 GiB and more come back as the low 32 bits read as signed, by design; so a
  // size of 4 GiB - 1 is -1 with the code 0.
  return static_cast<long>(size);
}

long KestFileSize(char const* fileName, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  kest::FileHandle const file(CreateFileA(fileName, GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
  if (!file) return report.lastError(-1L);
  return KestFileSize(file.get(), code, text);
}
