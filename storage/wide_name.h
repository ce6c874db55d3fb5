#pragma once
// Narrow names turned into the wide names that the storage functions take.

#include <ole2.h>

namespace kest {

// A narrow name converted from `codePage` into a counted wide string, freed at the end of
// the owner's life. A null name stays null. Raises _com_error when the conversion fails
// (with the system error as a Win32 HRESULT) or memory runs out (E_OUTOFMEMORY); nothing
// is left allocated then.
class WideName {
 public:
  explicit WideName(char const* name, UINT codePage = CP_ACP);
  ~WideName();
  WideName(WideName const&) = delete;
  WideName& operator=(WideName const&) = delete;

  unsigned short const* get() const { return reinterpret_cast<unsigned short const*>(text_); }

 private:
  BSTR text_ = nullptr;
};

}  // namespace kest
