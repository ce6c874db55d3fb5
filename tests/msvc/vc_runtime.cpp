// A program on the runtime of Visual C++ 2015-2022, vcruntime140.dll and the Universal CRT,
// with no msvcrt.dll (msvc/crt/ucrt_exe_entry.cpp starts it), runs the rows of
// library_objects.cpp. Under Wine, unlike Windows, the UCRT's malloc has a heap of its own,
// so a block freed into the wrong heap shows there as growth.
#include <stdarg.h>
#include <stdio.h>

#include "tests/msvc/library_objects.h"

// The UCRT's formatting, which the inline printf of Microsoft's headers calls.
extern "C" __declspec(dllimport) int __cdecl __stdio_common_vfprintf(
    unsigned long long options, FILE* stream, char const* format, void* locale, va_list arguments);

namespace {
int g_failed;

void say(char const* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  __stdio_common_vfprintf(0, stdout, format, nullptr, arguments);
  va_end(arguments);
}
}  // namespace

bool check(bool ok, char const* what, int line) {
  if (!ok) say("FAILED line %d: %s\n", line, what);
  g_failed += !ok;
  return ok;
}

int main() {
  HeapGrowth const growth = libraryObjectRows();
  say("library objects: process heap %lld bytes more, C runtime heap %lld\n%d failed\n",
      growth.process, growth.runtime, g_failed);
  return g_failed == 0 ? 0 : 1;
}
