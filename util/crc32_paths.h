#pragma once
// The ways the library computes CRC-32, from the portable table lookup to carry-less
// multiplication on 512-bit vectors, and the choice between them for the running CPU.
//
// Every path takes the checksum so far (0 before the first byte) and gives the checksum
// after `data`, the same as feeding the bytes one at a time through the table, for any
// length and any alignment of `data`. Checksums rather than the CRC register (their
// complement) in and out, and KestCrc's order of arguments, let KestCrc hand its call on to
// the path with a jump, its arguments where they are.

#include <stddef.h>
#include <stdint.h>

namespace kest::crc32 {

using Update = uint32_t (*)(unsigned char const* data, size_t length, uint32_t crc);

// Inputs shorter than this take the same code on every folding path, chosen by one length
// check: tables under 16 bytes, then 128-bit folding.
inline constexpr size_t kShortInput = 64;

// Slicing by 16 over the lookup tables: any CPU.
uint32_t updateSliced(unsigned char const* data, size_t length, uint32_t crc);

// Folding with 128-bit carry-less multiplication: needs PCLMULQDQ and SSE4.1.
uint32_t updateClmul(unsigned char const* data, size_t length, uint32_t crc);

// Folding with 256-bit carry-less multiplication: needs VPCLMULQDQ and AVX2 besides what
// updateClmul needs.
uint32_t updateVpclmul256(unsigned char const* data, size_t length, uint32_t crc);

// Folding with 512-bit carry-less multiplication: needs AVX-512 (F, VL) besides what
// updateVpclmul256 needs.
uint32_t updateVpclmul512(unsigned char const* data, size_t length, uint32_t crc);

struct CpuFeatures {
  bool clmul = false;       // PCLMULQDQ and SSE4.1
  bool vpclmul256 = false;  // and VPCLMULQDQ, AVX2, and the OS saves the YMM state
  bool vpclmul512 = false;  // and AVX-512 F and VL, and the OS saves the ZMM state
};

// What a CPU offers, from CPUID leaf 1 (ECX), leaf 7 (EBX, ECX) and XCR0, the register
// state the OS saves (0 where the OS does not say).
CpuFeatures featuresFrom(uint32_t leaf1Ecx, uint32_t leaf7Ebx, uint32_t leaf7Ecx, uint64_t xcr0);

// What the running CPU (and the OS's register saving) offers.
CpuFeatures detectCpuFeatures();

// The fastest path that `cpu` can run.
Update selectUpdate(CpuFeatures const& cpu);

// The paths one by one, narrowest first, as the tests and the benchmark name them (and
// take one of them alone when KEST_CRC_PATH names it).
inline constexpr char const* kPathNames[] = {"tables", "clmul", "vpclmul256", "vpclmul512"};

struct Path {
  Update update;  // null for a name that is none of kPathNames
  bool runs;      // whether the CPU can run it
};

Path findPath(char const* name, CpuFeatures const& cpu);

}  // namespace kest::crc32
