// A program that uses the installed library: exits 0 when the calls answer as documented.
#include <kest011.h>
#include <stdio.h>

int main() {
  unsigned long code = 0;
  char* text = nullptr;
  long const size = KestFileSize("Z:\\nonexistent\\kest-consumer-missing", &code, &text);
  printf("KestFileSize(missing) -> %ld, code %lu\n", size, code);
  bool const ok = size == -1 && code != 0 && text != nullptr && KestGetResourceHandle() != nullptr;
  return ok ? 0 : 1;
}
