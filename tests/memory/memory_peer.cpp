// The second process of the shared-memory tests.
//   memory_peer exists NAME   exits 0 when the block can be opened, else 1
//   memory_peer answer NAME   opens the block and turns its leading "ping" into "pong";
//                             exits 0, or 1 when there is no block, 2 when it held no "ping"

#include <cstring>

#include "kest011/memory.h"

int main(int argc, char** argv) {
  if (argc != 3) return 3;
  CKestSharedMemory block;
  if (std::strcmp(argv[1], "exists") == 0) return block.Exist(argv[2]) ? 0 : 1;
  auto* const data = static_cast<unsigned char*>(block.Open(argv[2], nullptr, nullptr));
  if (!data) return 1;
  if (std::memcmp(data, "ping", 4) != 0) return 2;
  std::memcpy(data, "pong", 4);
  return 0;
}
