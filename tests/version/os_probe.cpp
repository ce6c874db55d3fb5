// Writes what CKestSystemVersionInfo makes of the running system into OUTPUT:
// "family predicates", the predicates as seven digits from IsUnknownOS to IsWin2000.
// The tests start copies of it that the prefix gives other Windows versions.
// usage: kest_os_<version> OUTPUT

#include <cstdio>

#include "kest011/version.h"

int main(int argc, char** argv) {
  if (argc != 2) return 100;
  CKestSystemVersionInfo system;
  FILE* output = std::fopen(argv[1], "w");
  if (!output) return 101;
  std::fprintf(output, "%d %d%d%d%d%d%d%d", system.GetOperatingSystem(), system.IsUnknownOS(),
               system.IsWin32S(), system.IsWin95(), system.IsWin98(), system.IsNT35(),
               system.IsNT40(), system.IsWin2000());
  std::fclose(output);
  return 0;
}
