#include "support/resource_counts.h"

namespace kest::test {

size_t openHandleCount() {
  // Handle values are multiples of 4; the suites stay far below this bound.
  constexpr ULONG_PTR kLastHandleValue = 0x10000;
  size_t count = 0;
  for (ULONG_PTR value = 4; value <= kLastHandleValue; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

size_t committedPrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (char const* address = nullptr;
       VirtualQuery(address, &region, sizeof region) == sizeof region;
       address = static_cast<char const*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (static_cast<char const*>(region.BaseAddress) + region.RegionSize < address) break;
  }
  return total;
}

}  // namespace kest::test
