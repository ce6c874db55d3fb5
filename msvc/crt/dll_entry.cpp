// The entry point of a DLL: the module's C++ initialisers run before DllMain sees the
// process attach, and the exit functions it registered after DllMain sees the detach.

#include <windows.h>

#include "startup.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved);

namespace {

// Destructors of the module's static objects, registered through atexit as they are built.
// A DLL keeps its own list: one unloaded by FreeLibrary must run them then, not at exit.
constexpr int kMaxExitFunctions = 64;
void(__cdecl* g_exitFunctions[kMaxExitFunctions])();
int g_exitFunctionCount;

}  // namespace

extern "C" int __cdecl atexit(void(__cdecl* function)()) {
  if (g_exitFunctionCount == kMaxExitFunctions) return -1;
  g_exitFunctions[g_exitFunctionCount++] = function;
  return 0;
}

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, void* reserved) {
  if (reason == DLL_PROCESS_ATTACH) kest::msvc::runInitializers();
  BOOL const result = DllMain(instance, reason, reserved);
  if (reason == DLL_PROCESS_DETACH)
    while (g_exitFunctionCount > 0) g_exitFunctions[--g_exitFunctionCount]();
  return result;
}
