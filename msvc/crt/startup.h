#pragma once
// Start-up shared by the entry points of programs and DLLs in Microsoft's C++ ABI.

namespace kest::msvc {

// Runs the C++ dynamic initialisers of the module, in the order the linker laid them out.
void runInitializers();

}  // namespace kest::msvc
