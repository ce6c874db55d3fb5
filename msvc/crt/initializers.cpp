// The compiler puts a pointer to each dynamic initialiser in a .CRT$XCU section; the
// linker sorts the .CRT$XC* sections by name, so these two bracket them all.

#include "startup.h"

namespace {

using Initializer = void(__cdecl*)();

#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
__declspec(allocate(".CRT$XCA")) Initializer g_firstInitializer = nullptr;
__declspec(allocate(".CRT$XCZ")) Initializer g_lastInitializer = nullptr;

}  // namespace

// The C runtime's (msvcrt.dll, or the UCRT): calls every non-null pointer in [first, last).
extern "C" void __cdecl _initterm(Initializer* first, Initializer* last);

void kest::msvc::runInitializers() { _initterm(&g_firstInitializer, &g_lastInitializer); }
