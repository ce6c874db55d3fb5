#include <stdio.h>
#include <string.h>

// What code in Microsoft's C++ ABI expects from the static runtime library besides the
// entry point, where msvcrt.dll does not provide it (abi_support.cpp holds what any C
// runtime leaves to it).

// Where a noexcept function lets an exception out: msvcrt.dll's terminate, which calls the
// handler installed with set_terminate (abort by default).
void __cdecl terminate();
extern "C" void __cdecl __std_terminate() { terminate(); }

// What MinGW-w64's headers declare but msvcrt.dll lacks; MinGW's own import library carries
// code of its own for these, and so does this one.

// strnlen (C11), absent from the msvcrt.dll of older Windows.
extern "C" size_t __cdecl strnlen(char const* text, size_t most) {
  size_t length = 0;
  while (length < most && text[length]) ++length;
  return length;
}

// The standard streams, as the C runtime of newer compilers names them: msvcrt.dll has them
// in its _iob array. The headers declare the function dllimport, so callers reach it
// through its __imp_ pointer, defined here; a definition under its own name would be
// exported from the DLL.
namespace {
FILE* __cdecl standardStream(unsigned index) { return &__iob_func()[index]; }
}  // namespace
#ifdef _WIN64
extern "C" void* const kStandardStream __asm__("__imp___acrt_iob_func");
#else
extern "C" void* const kStandardStream __asm__("__imp____acrt_iob_func");
#endif
void* const kStandardStream = reinterpret_cast<void*>(&standardStream);
