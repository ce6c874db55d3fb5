// The second process of the consumer program. What it does is its first argument:
//   exit N: ends with N.
//   shared NAME: attaches to the shared block NAME, checks the bytes the consumer wrote
//     (byte i is i % 251) and writes "pong" over its start; ends with 0, or 1 when the
//     block is missing, 2 when the bytes differ.
//   os: ends with the operating-system family the library sees.
#include <stdlib.h>
#include <string.h>

#include "kest011.h"

int main(int argc, char** argv) {
  if (argc == 3 && strcmp(argv[1], "exit") == 0)
    return static_cast<int>(strtoul(argv[2], nullptr, 0));
  if (argc == 2 && strcmp(argv[1], "os") == 0) return CKestSystemVersionInfo().GetOperatingSystem();
  if (argc != 3 || strcmp(argv[1], "shared") != 0) return 100;

  CKestSharedMemory block;
  auto* bytes = static_cast<unsigned char*>(block.Open(argv[2], nullptr, nullptr));
  if (!bytes) return 1;
  for (unsigned i = 0; i < 4096; ++i)
    if (bytes[i] != i % 251) return 2;
  memcpy(bytes, "pong", 4);
  return 0;
}
