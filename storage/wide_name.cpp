#include "storage/wide_name.h"

#include <comdef.h>
#include <limits.h>
#include <stdint.h>
#include <string.h>

#include "frame/scoped_resource.h"

namespace kest {
namespace {

// The one place where the storage family raises an exception: a narrow name that cannot
// become a wide one leaves the caller nothing to report through.
[[noreturn]] void raiseComError(HRESULT hr) { throw _com_error(hr); }

// The HRESULT of the thread's last system error; 0 when there is none.
HRESULT lastErrorResult() {
  DWORD const error = GetLastError();
  return error ? static_cast<HRESULT>(0x80070000UL | (error & 0xFFFF)) : 0;
}

// Fills `*text` with the wide copy of `name` (S_OK), or leaves it null and returns the
// failure's HRESULT (0 when the system gave none) with nothing left allocated: the conversion's
// buffer is freed on return, so the caller raises after every owner here is released and no
// clean-up waits on the catcher's unwinding.
HRESULT wideCopy(char const* name, UINT codePage, BSTR* text) {
  // One code unit per byte and one for the terminator is room enough for any code page.
  // A name too long to count in an int gets the most room there is and fails to convert.
  size_t const length = strlen(name);
  size_t const room = length < INT_MAX ? length + 1 : INT_MAX;
  if (room > SIZE_MAX / sizeof(wchar_t)) return E_OUTOFMEMORY;
  HeapBlock const converted(allocate(room * sizeof(wchar_t)));
  if (!converted) return E_OUTOFMEMORY;
  wchar_t* const units = static_cast<wchar_t*>(converted.get());
  // Bytes that are no text in the code page (a lead byte without the rest of its character)
  // are refused, not turned into a substitute that another such name would share.
  if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, name, -1, units,
                          static_cast<int>(room)) == 0)
    return lastErrorResult();
  *text = SysAllocString(units);
  return *text ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

WideName::WideName(char const* name, UINT codePage) {
  if (!name) return;
  HRESULT const result = wideCopy(name, codePage, &text_);
  if (!text_) raiseComError(result);
}

WideName::~WideName() { SysFreeString(text_); }

}  // namespace kest
