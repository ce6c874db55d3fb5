// CRC-32 by table lookup, 16 bytes a step: the path for every CPU, and the tail of the
// vector paths.

#include <string.h>

#include "util/crc32_paths.h"
#include "util/crc32_table.h"

namespace kest::crc32 {
namespace {

// Little-endian, as on every x86 CPU; memcpy keeps unaligned reads defined.
uint32_t loadWord(unsigned char const* data) {
  uint32_t word;
  memcpy(&word, data, sizeof word);
  return word;
}

// The four bytes of `word`, looked up in the tables for `distance` to `distance - 3`
// following bytes.
uint32_t lookUpWord(uint32_t word, int distance) {
  return kTables[distance][word & 0xFFu] ^ kTables[distance - 1][(word >> 8) & 0xFFu] ^
         kTables[distance - 2][(word >> 16) & 0xFFu] ^ kTables[distance - 3][word >> 24];
}

}  // namespace

uint32_t updateSliced(uint32_t crc, unsigned char const* data, size_t length) {
  uint32_t reg = ~crc;
  for (; length >= 16; data += 16, length -= 16) {
    reg = lookUpWord(loadWord(data) ^ reg, 15) ^ lookUpWord(loadWord(data + 4), 11) ^
          lookUpWord(loadWord(data + 8), 7) ^ lookUpWord(loadWord(data + 12), 3);
  }
  // The tail: 8 and 4 bytes at a time keep the byte-by-byte chain short.
  if (length >= 8) {
    reg = lookUpWord(loadWord(data) ^ reg, 7) ^ lookUpWord(loadWord(data + 4), 3);
    data += 8;
    length -= 8;
  }
  if (length >= 4) {
    reg = lookUpWord(loadWord(data) ^ reg, 3);
    data += 4;
    length -= 4;
  }
  for (; length > 0; ++data, --length) reg = updateByte(reg, *data);
  return ~reg;
}

}  // namespace kest::crc32
