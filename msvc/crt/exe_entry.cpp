// The entry point of a console program: arguments from msvcrt.dll, the C++ initialisers,
// main, and exit, which runs the functions registered with atexit and flushes the streams.

#include <stdlib.h>

#include "startup.h"

namespace {

struct StartupInfo {
  int newMode;  // what _set_new_mode would set; 0: malloc failures do not call new handlers
};

}  // namespace

extern "C" int __cdecl __getmainargs(int* argc, char*** argv, char*** environment,
                                     int expandWildcards, StartupInfo* startup);
extern "C" void __cdecl __set_app_type(int type);
int main(int argc, char** argv);

extern "C" void mainCRTStartup() {
  constexpr int kConsoleApplication = 1;
  __set_app_type(kConsoleApplication);
  int argc = 0;
  char** argv = nullptr;
  char** environment = nullptr;
  StartupInfo startup = {};
  __getmainargs(&argc, &argv, &environment, 0, &startup);
  kest::msvc::runInitializers();
  exit(main(argc, argv));
}
