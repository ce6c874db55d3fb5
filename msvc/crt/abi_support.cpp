// What code in Microsoft's C++ ABI expects from the static runtime library whichever C
// runtime DLL it runs on: neither msvcrt.dll nor Wine's vcruntime140.dll exports these.

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
