// The second process of the shared-memory tests: memory_peer NAME opens the block and turns its
// leading "ping" into "pong". Exits 0, or 1 when there is no block, 2 when it held no "ping".

#include <cstring>

#include "kest011/memory.h"

int main(int argc, char** argv) {
  CKestSharedMemory block;
  if (argc != 2 || !block.Open(argv[1], nullptr, nullptr)) return 1;
  if (std::memcmp(block, "ping", 4) != 0) return 2;
  std::memcpy(block, "pong", 4);
  return 0;
}
