// Which CRC-32 path the running CPU can take.

#include <cpuid.h>
#include <string.h>

#include "util/crc32_paths.h"

namespace kest::crc32 {
namespace {

// XCR0 bits the OS sets when it saves a register file on a thread switch: the SSE and AVX
// state (the YMM upper halves), and the three parts of the AVX-512 state (mask registers,
// upper ZMM halves, ZMM16-31).
constexpr uint64_t kYmmStateSaved = 0x2 | 0x4;
constexpr uint64_t kZmmStateSaved = kYmmStateSaved | 0x20 | 0x40 | 0x80;

bool allOf(uint64_t bits, uint64_t wanted) { return (bits & wanted) == wanted; }

uint64_t enabledRegisterState() {
  uint32_t low = 0;
  uint32_t high = 0;
  // The _xgetbv intrinsic would need the xsave target; the bare instruction needs nothing.
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (uint64_t{high} << 32) | low;
}

}  // namespace

CpuFeatures featuresFrom(uint32_t leaf1Ecx, uint32_t leaf7Ebx, uint32_t leaf7Ecx, uint64_t xcr0) {
  CpuFeatures cpu;
  cpu.clmul = allOf(leaf1Ecx, bit_PCLMUL | bit_SSE4_1);
  cpu.vpclmul256 = cpu.clmul && allOf(leaf1Ecx, bit_AVX) && allOf(leaf7Ebx, bit_AVX2) &&
                   allOf(leaf7Ecx, bit_VPCLMULQDQ) && allOf(xcr0, kYmmStateSaved);
  cpu.vpclmul512 =
      cpu.vpclmul256 && allOf(leaf7Ebx, bit_AVX512F | bit_AVX512VL) && allOf(xcr0, kZmmStateSaved);
  return cpu;
}

CpuFeatures detectCpuFeatures() {
  unsigned eax = 0, leaf1Ecx = 0, ebx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &leaf1Ecx, &edx)) return {};
  unsigned leaf7Ebx = 0, leaf7Ecx = 0;
  if (!__get_cpuid_count(7, 0, &eax, &leaf7Ebx, &leaf7Ecx, &edx)) leaf7Ebx = leaf7Ecx = 0;
  // XGETBV faults unless the OS has turned it on, which OSXSAVE reports.
  uint64_t const xcr0 = (leaf1Ecx & bit_OSXSAVE) ? enabledRegisterState() : 0;
  return featuresFrom(leaf1Ecx, leaf7Ebx, leaf7Ecx, xcr0);
}

Update selectUpdate(CpuFeatures const& cpu) {
  if (cpu.vpclmul512) return updateVpclmul512;
  if (cpu.vpclmul256) return updateVpclmul256;
  if (cpu.clmul) return updateClmul;
  return updateSliced;
}

Path findPath(char const* name, CpuFeatures const& cpu) {
  Path const paths[] = {{updateSliced, true},
                        {updateClmul, cpu.clmul},
                        {updateVpclmul256, cpu.vpclmul256},
                        {updateVpclmul512, cpu.vpclmul512}};
  static_assert(sizeof paths / sizeof paths[0] == sizeof kPathNames / sizeof kPathNames[0]);
  for (size_t i = 0; i < sizeof paths / sizeof paths[0]; ++i)
    if (strcmp(name, kPathNames[i]) == 0) return paths[i];
  return {nullptr, false};
}

}  // namespace kest::crc32
