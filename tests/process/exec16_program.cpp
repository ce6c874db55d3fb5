// Runs KestWinExecWait16 in a process of its own, which the prefix gives a consumer Windows
// version, and writes "result code" into OUTPUT.
// usage: kest_exec16_win98 OUTPUT APPLICATION|- COMMAND-LINE

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "kest011/process.h"

int main(int argc, char** argv) {
  if (argc != 4) return 100;
  char const* application = std::strcmp(argv[2], "-") == 0 ? nullptr : argv[2];
  unsigned long code = 0;
  int const result =
      KestWinExecWait16(application, argv[3], SW_HIDE, nullptr, 0, INFINITE, &code, nullptr);
  FILE* output = std::fopen(argv[1], "w");
  if (!output) return 101;
  std::fprintf(output, "%d %lu", result, code);
  std::fclose(output);
  return 0;
}
