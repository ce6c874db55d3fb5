#include <stdio.h>

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

// MinGW-w64's <stdio.h> names the standard streams through the C runtime of newer
// compilers; msvcrt.dll has them in its _iob array.
extern "C" FILE* __cdecl __acrt_iob_func(unsigned index) { return &__iob_func()[index]; }
