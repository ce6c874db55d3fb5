#pragma once
// Failures of the structured-storage family: HRESULT codes, texts in the family's own buffer.

#include <objbase.h>
#include <windows.h>

#include "frame/error_report.h"
#include "frame/scoped_resource.h"

namespace kest {

// The 256-byte text buffer of the structured-storage family, apart from the system one so
// that neither family overwrites the other's text.
ErrorText& storageErrorText();

class StorageErrorReport : public ErrorReport<long> {
 public:
  StorageErrorReport(long* code, char** text) : ErrorReport(code, text, storageErrorText()) {}

  // Stores `hr` and the system text for its low 16 bits (the Win32 code, for storage and
  // Win32 facility HRESULTs), and returns `result`.
  template <class Result>
  Result fail(Result result, HRESULT hr) const {
    return failWithMessage(result, hr, HRESULT_CODE(hr));
  }

  template <class Result>
  Result outOfMemory(Result result) const {
    return fail(result, E_OUTOFMEMORY);
  }
};

// The platform's name type; the interface's `unsigned short` is the same 16-bit unit.
static_assert(sizeof(wchar_t) == sizeof(unsigned short), "UTF-16 code units");
inline wchar_t const* platformName(unsigned short const* name) {
  return reinterpret_cast<wchar_t const*>(name);
}

}  // namespace kest
