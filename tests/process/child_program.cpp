// A program for the launch tests to start. What it does is its first argument:
//   exit N, sleep MS (then ends with 5), command-line (ends with the line's length),
//   exec16[-null]: starts itself as "exit 7" through KestWinExecWait16 (with a null
//   application name for -null); ends with the result, or 2000 + the code for -1.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kest011/process.h"

int main(int argc, char** argv) {
  std::string const mode = argc > 1 ? argv[1] : "";
  if (mode == "exit" && argc == 3) return std::strtoul(argv[2], nullptr, 0);
  if (mode == "sleep" && argc == 3) {
    Sleep(std::strtoul(argv[2], nullptr, 0));
    return 5;
  }
  if (mode == "command-line") return std::strlen(GetCommandLineA());
  char self[MAX_PATH];
  if (mode.compare(0, 6, "exec16") != 0 || !GetModuleFileNameA(nullptr, self, MAX_PATH)) return 100;
  unsigned long code = 0;
  int const result = KestWinExecWait16(mode == "exec16" ? self : nullptr, "self exit 7", SW_HIDE,
                                       nullptr, 0, INFINITE, &code, nullptr);
  return result == -1 ? 2000 + code : result;
}
