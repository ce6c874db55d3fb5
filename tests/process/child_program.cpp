// A program for the launch tests to start. What it does is its first argument: exit N,
//   sleep MS (then ends with 5), command-line (ends with the line's length), exec16[-null]:
//   starts itself as "exit 7" through KestWinExecWait16 (a null application name for -null)
//   and ends with the result, or 2000 + the code for -1. pif-leak N: writes a PIF N times
//   through KestWinExecWait16 (whose start then fails); ends with 0 when nothing leaked,
//   1000 + the handles gained, 3000 for memory gained, or 4000 when no PIF was written.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "kest011/process.h"
#include "support/resource_counts.h"

namespace {

int pifLeaks(int rounds) {
  char windows[MAX_PATH];
  UINT const length = GetWindowsDirectoryA(windows, MAX_PATH);
  std::string const pif = std::string(windows, length) + "\\kest_pif_leak.pif";
  auto const round = [&] {
    DeleteFileA(pif.c_str());
    KestWinExecWait16("C:\\kest-no-such-folder\\kest_pif_leak.exe", nullptr, SW_HIDE, nullptr, 0,
                      INFINITE, nullptr, nullptr);
  };
  round();
  if (GetFileAttributesA(pif.c_str()) == INVALID_FILE_ATTRIBUTES) return 4000;
  kest::test::Growth const growth = kest::test::growthOver(rounds, round);
  DeleteFileA(pif.c_str());
  if (growth.handles != 0) return 1000 + growth.handles;
  return growth.bytes > kest::test::kHeapSlack ? 3000 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string const mode = argc > 1 ? argv[1] : "";
  if (mode == "exit" && argc == 3) return std::strtoul(argv[2], nullptr, 0);
  if (mode == "sleep" && argc == 3) {
    Sleep(std::strtoul(argv[2], nullptr, 0));
    return 5;
  }
  if (mode == "command-line") return std::strlen(GetCommandLineA());
  if (mode == "pif-leak" && argc == 3) return pifLeaks(std::atoi(argv[2]));
  char self[MAX_PATH];
  if (mode.compare(0, 6, "exec16") != 0 || !GetModuleFileNameA(nullptr, self, MAX_PATH)) return 100;
  unsigned long code = 0;
  int const result = KestWinExecWait16(mode == "exec16" ? self : nullptr, "self exit 7", SW_HIDE,
                                       nullptr, 0, INFINITE, &code, nullptr);
  return result == -1 ? 2000 + code : result;
}
