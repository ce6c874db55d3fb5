// CRC-32 by table lookup, 16 bytes a step: the path for every CPU.

#include "util/crc32_paths.h"
#include "util/crc32_table.h"

namespace kest::crc32 {

namespace {

// Sixteen bytes a step; apart, so that short inputs do not pay for the registers it saves.
__attribute__((noinline)) uint32_t updateLong(unsigned char const* data, size_t length,
                                              uint32_t crc) {
  uint32_t reg = ~crc;
  for (; length >= 16; data += 16, length -= 16) {
    reg = lookUpWord(loadWord(data) ^ reg, 15) ^ lookUpWord(loadWord(data + 4), 11) ^
          lookUpWord(loadWord(data + 8), 7) ^ lookUpWord(loadWord(data + 12), 3);
  }
  return ~updateShortByTable(reg, data, length);
}

}  // namespace

uint32_t updateSliced(unsigned char const* data, size_t length, uint32_t crc) {
  if (length >= 16) return updateLong(data, length, crc);
  return ~updateShortByTable(~crc, data, length);
}

}  // namespace kest::crc32
