#include <stdio.h>
#include <string.h>

// What code in Microsoft's C++ ABI expects from the static runtime library besides the
// entry point, where msvcrt.dll does not provide it.

// Type descriptors of thrown and caught types point at type_info's virtual table; catching
// compares their names, so the table is only ever an address. Its one slot, the deleting
// destructor, is never called for a descriptor, which lives as long as its module.
namespace {
void __cdecl typeInfoDestructor() {}
}  // namespace
extern "C" void (*const kTypeInfoVirtualTable[])() __asm__("??_7type_info@@6B@") = {
    typeInfoDestructor};

// The linker looks for this symbol in every module that uses floating point.
extern "C" int _fltused = 0x9875;

// Where a noexcept function lets an exception out: msvcrt.dll's terminate, which calls the
// handler installed with set_terminate (abort by default).
void __cdecl terminate();
extern "C" void __cdecl __std_terminate() { terminate(); }

// C runtime functions that MinGW-w64's headers declare but msvcrt.dll lacks; MinGW's own
// import library carries them as code of its own, and so does this one. The headers declare
// them dllimport, so callers reach them through __imp_ pointers, defined here; defining the
// functions under their own names would export them from the DLL.
#ifdef _WIN64
#define KEST_IMPORT_POINTER(name) "__imp_" #name
#else
#define KEST_IMPORT_POINTER(name) "__imp__" #name
#endif

namespace {

// The standard streams, as the C runtime of newer compilers names them: msvcrt.dll has them
// in its _iob array.
FILE* __cdecl standardStream(unsigned index) { return &__iob_func()[index]; }

size_t __cdecl boundedLength(char const* text, size_t most) {
  size_t length = 0;
  while (length < most && text[length]) ++length;
  return length;
}

}  // namespace

extern "C" {
extern void* const kStandardStream __asm__(KEST_IMPORT_POINTER(__acrt_iob_func));
void* const kStandardStream = reinterpret_cast<void*>(&standardStream);
extern void* const kBoundedLength __asm__(KEST_IMPORT_POINTER(strnlen));
void* const kBoundedLength = reinterpret_cast<void*>(&boundedLength);
}
