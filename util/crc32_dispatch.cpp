// Which CRC-32 path the running CPU can take.

#include <cpuid.h>

#include "util/crc32_paths.h"

namespace kest::crc32 {
namespace {

// XCR0 bits the OS sets when it saves a register file on a thread switch: SSE and AVX
// state, and the three parts of the AVX-512 state (mask registers, upper ZMM halves,
// ZMM16-31).
constexpr uint64_t kAvx512StateSaved = 0x2 | 0x4 | 0x20 | 0x40 | 0x80;

uint64_t enabledRegisterState() {
  uint32_t low = 0;
  uint32_t high = 0;
  // The _xgetbv intrinsic would need the xsave target; the bare instruction needs nothing.
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (uint64_t{high} << 32) | low;
}

}  // namespace

CpuFeatures detectCpuFeatures() {
  CpuFeatures cpu;
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return cpu;
  cpu.clmul = (ecx & bit_PCLMUL) && (ecx & bit_SSE4_1);
  bool const osSavesState = (ecx & bit_OSXSAVE) != 0;

  if (!cpu.clmul || !osSavesState || !__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return cpu;
  bool const avx512 = (ebx & bit_AVX512F) && (ebx & bit_AVX512VL);
  cpu.vpclmul = avx512 && (ecx & bit_VPCLMULQDQ) &&
                (enabledRegisterState() & kAvx512StateSaved) == kAvx512StateSaved;
  return cpu;
}

Update selectUpdate(CpuFeatures const& cpu) {
  if (cpu.vpclmul) return updateVpclmul;
  if (cpu.clmul) return updateClmul;
  return updateSliced;
}

}  // namespace kest::crc32
