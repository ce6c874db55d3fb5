#pragma once
// The lookup tables of the reflected CRC-32 (polynomial 0xEDB88320), built by the compiler.
//
// Table 0 is the classic byte table: entry i is i run through eight shift-and-XOR steps.
// Table k gives the effect of a byte followed by k zero bytes, so 16 bytes can be looked
// up independently and combined with XOR.

#include <stddef.h>
#include <stdint.h>
#include <string.h>

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

// Little-endian, as on every x86 CPU; memcpy keeps unaligned reads defined.
inline uint32_t loadWord(unsigned char const* data) {
  uint32_t word;
  memcpy(&word, data, sizeof word);
  return word;
}

// The four bytes of `word`, looked up in the tables for `distance` to `distance - 3`
// following bytes.
inline uint32_t lookUpWord(uint32_t word, int distance) {
  return kTables[distance][word & 0xFFu] ^ kTables[distance - 1][(word >> 8) & 0xFFu] ^
         kTables[distance - 2][(word >> 16) & 0xFFu] ^ kTables[distance - 3][word >> 24];
}

// The register after fewer than 16 bytes: one step for each bit of the length, so that no
// byte waits on more than three lookups before it. Always inlined: as a call of its own it
// costs more than its lookups.
[[gnu::always_inline]] inline uint32_t updateShortByTable(uint32_t reg, unsigned char const* data,
                                                          size_t length) {
  if (length & 8) {
    reg = lookUpWord(loadWord(data) ^ reg, 7) ^ lookUpWord(loadWord(data + 4), 3);
    data += 8;
  }
  if (length & 4) {
    reg = lookUpWord(loadWord(data) ^ reg, 3);
    data += 4;
  }
  if (length & 2) {
    uint32_t const pair = reg ^ (data[0] | uint32_t{data[1]} << 8);
    reg = (reg >> 16) ^ kTables[1][pair & 0xFFu] ^ kTables[0][(pair >> 8) & 0xFFu];
    data += 2;
  }
  if (length & 1) reg = updateByte(reg, *data);
  return reg;
}

}  // namespace kest::crc32
