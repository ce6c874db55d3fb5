// A program that uses the installed library: exits 0 when the calls answer as documented.
#include <kest011.h>
#include <stdio.h>

int main() {
  unsigned long code = 0;
  char* text = nullptr;
  long const size = KestFileSize("Z:\\nonexistent\\kest-consumer-missing", &code, &text);
  unsigned long const check = KestCrc("123456789", 0);  // CRC-32's check value: CBF43926
  printf("KestFileSize(missing) -> %ld, code %lu; KestCrc -> %08lX\n", size, code, check);
  bool const ok =
      size == -1 && code != 0 && text && KestGetResourceHandle() && check == 0xCBF43926UL;
  return ok ? 0 : 1;
}
