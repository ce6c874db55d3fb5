#pragma once
// The ways the library computes CRC-32, from the portable table lookup to carry-less
// multiplication on 512-bit vectors, and the choice between them for the running CPU.
//
// Every path works on the CRC register itself (the complement of the checksum) and gives
// the same register as feeding the bytes one at a time through the table, for any length
// and any alignment of `data`.

#include <stddef.h>
#include <stdint.h>

namespace kest::crc32 {

using Update = uint32_t (*)(uint32_t reg, unsigned char const* data, size_t length);

// Slicing by 16 over the lookup tables: any CPU.
uint32_t updateSliced(uint32_t reg, unsigned char const* data, size_t length);

// Folding with 128-bit carry-less multiplication: needs PCLMULQDQ and SSE4.1.
uint32_t updateClmul(uint32_t reg, unsigned char const* data, size_t length);

// Folding with 512-bit carry-less multiplication: needs VPCLMULQDQ and AVX-512 (F, VL)
// besides what updateClmul needs.
uint32_t updateVpclmul(uint32_t reg, unsigned char const* data, size_t length);

struct CpuFeatures {
  bool clmul = false;    // PCLMULQDQ and SSE4.1
  bool vpclmul = false;  // VPCLMULQDQ, AVX-512 F and VL, and the OS saves the ZMM state
};

// What the running CPU (and the OS's register saving) offers.
CpuFeatures detectCpuFeatures();

// The fastest path that `cpu` can run.
Update selectUpdate(CpuFeatures const& cpu);

}  // namespace kest::crc32
