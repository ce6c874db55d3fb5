#include "storage/wide_name.h"

#include <comdef.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

namespace kest {
namespace {

// The HRESULT of the thread's last system error; 0 when there is none.
HRESULT lastErrorResult() {
  DWORD const error = GetLastError();
  return error ? static_cast<HRESULT>(0x80070000UL | (error & 0xFFFF)) : 0;
}

}  // namespace

WideName::WideName(char const* name, UINT codePage) {
  if (!name) return;
  // One code unit per byte and one for the terminator is room enough for any code page.
  // A name too long to count in an int gets the most room there is and fails to convert.
  size_t const room = std::min<size_t>(std::strlen(name) + 1, INT_MAX);
  std::unique_ptr<wchar_t[]> converted(new (std::nothrow) wchar_t[room]);
  if (!converted) throw _com_error(E_OUTOFMEMORY);
  if (MultiByteToWideChar(codePage, 0, name, -1, converted.get(), static_cast<int>(room)) == 0)
    throw _com_error(lastErrorResult());
  text_ = SysAllocString(converted.get());
  if (!text_) throw _com_error(E_OUTOFMEMORY);
}

WideName::~WideName() { SysFreeString(text_); }

}  // namespace kest
