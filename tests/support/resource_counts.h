#pragma once
// What a process holds, counted the way that works under Wine too: GetProcessHandleCount
// returns 0 there, so handles are counted by asking about each value in the handle range.

#include <windows.h>

#include <cstddef>

namespace kest::test {

inline size_t openHandleCount() {
  // Handle values are multiples of 4; the suites stay far below this bound.
  constexpr ULONG_PTR kLastHandleValue = 0x10000;
  size_t count = 0;
  for (ULONG_PTR value = 4; value <= kLastHandleValue; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

// From a VirtualQuery walk.
inline size_t committedPrivateBytes() {
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

// Runs `operation` `rounds` times after `warmUp` rounds (which fill caches and pools that
// stay), and reports by how much the handle count and committed private memory grew.
struct Growth {
  long handles;
  long long bytes;
};
template <class Operation>
Growth growthOver(int rounds, Operation operation, int warmUp = 50) {
  for (int i = 0; i < warmUp; ++i) operation();
  size_t const handles = openHandleCount();
  size_t const bytes = committedPrivateBytes();
  for (int i = 0; i < rounds; ++i) operation();
  return {static_cast<long>(openHandleCount()) - static_cast<long>(handles),
          static_cast<long long>(committedPrivateBytes()) - static_cast<long long>(bytes)};
}

// Heaps grow in steps and keep what they took: growth below this is the allocator's, no leak.
inline constexpr long long kHeapSlack = 256 * 1024;

}  // namespace kest::test
