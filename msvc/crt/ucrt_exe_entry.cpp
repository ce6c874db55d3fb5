// The entry point of a console program on the Visual C++ 2015-2022 runtime (vcruntime140.dll
// and the Universal CRT), as the start-up code of Microsoft's static runtime library makes
// it: the UCRT's arguments and environment, the C++ initialisers, main, and exit, which runs
// the functions registered with atexit and flushes the streams.

#include <stdlib.h>

#include "startup.h"

extern "C" {
__declspec(dllimport) void __cdecl _set_app_type(int type);
__declspec(dllimport) int __cdecl _configure_narrow_argv(int mode);
__declspec(dllimport) int __cdecl _initialize_narrow_environment();
__declspec(dllimport) int* __cdecl __p___argc();
__declspec(dllimport) char*** __cdecl __p___argv();
}
int main(int argc, char** argv);

extern "C" void mainCRTStartup() {
  constexpr int kConsoleApplication = 1;
  constexpr int kUnexpandedArguments = 1;  // no wildcard expansion, as msvcrt's start-up here
  _set_app_type(kConsoleApplication);
  _configure_narrow_argv(kUnexpandedArguments);
  _initialize_narrow_environment();
  kest::msvc::runInitializers();
  exit(main(*__p___argc(), *__p___argv()));
}
