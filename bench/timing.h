#pragma once
// The clock of the benchmarks: seconds from the performance counter.

#include <windows.h>

namespace kest::bench {

inline double now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace kest::bench
