#pragma once
// What a process holds, counted the way that works under Wine too: GetProcessHandleCount
// returns 0 there, so handles are counted by asking about each value in the handle range.

#include <windows.h>

#include <cstddef>

namespace kest::test {

size_t openHandleCount();
size_t committedPrivateBytes();  // from a VirtualQuery walk

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

// Heaps grow in steps and keep what they took; growth below this over thousands of rounds
// is the allocator's, not a leak.
inline constexpr long long kHeapSlack = 256 * 1024;

}  // namespace kest::test
