#pragma once
// The lookup tables of the reflected CRC-32 (polynomial 0xEDB88320), built by the compiler.
//
// Table 0 is the classic byte table: entry i is i run through eight shift-and-XOR steps.
// Table k gives the effect of a byte followed by k zero bytes, so 16 bytes can be looked
// up independently and combined with XOR.

#include <stdint.h>

namespace kest::crc32 {

inline constexpr uint32_t kReflectedPolynomial = 0xEDB88320u;
inline constexpr int kSliceCount = 16;

struct Tables {
  uint32_t entries[kSliceCount][256];
  constexpr uint32_t const* operator[](int k) const { return entries[k]; }
  constexpr uint32_t* operator[](int k) { return entries[k]; }
};

constexpr Tables makeTables() {
  Tables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t entry = i;
    for (int bit = 0; bit < 8; ++bit)
      entry = (entry & 1u) ? (entry >> 1) ^ kReflectedPolynomial : entry >> 1;
    tables[0][i] = entry;
  }
  for (int k = 1; k < kSliceCount; ++k)
    for (int i = 0; i < 256; ++i) {
      uint32_t const previous = tables[k - 1][i];
      tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFFu];
    }
  return tables;
}

inline constexpr Tables kTables = makeTables();

static_assert(kTables[0][0] == 0u && kTables[0][1] == 0x77073096u &&
              kTables[0][255] == 0x2D02EF8Du);

// One byte through table 0.
constexpr uint32_t updateByte(uint32_t reg, unsigned char byte) {
  return (reg >> 8) ^ kTables[0][(reg ^ byte) & 0xFFu];
}

}  // namespace kest::crc32
