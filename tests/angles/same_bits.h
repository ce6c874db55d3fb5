#pragma once
// Doubles compared bit for bit: -0.0 is not 0.0, and every last place counts.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace kest::test {

inline ::testing::AssertionResult sameBits(double expected, double actual) {
  std::uint64_t expectedBits, actualBits;
  std::memcpy(&expectedBits, &expected, sizeof expected);
  std::memcpy(&actualBits, &actual, sizeof actual);
  if (expectedBits == actualBits) return ::testing::AssertionSuccess();
  char text[80];
  std::snprintf(text, sizeof text, "expected %.17g, got %.17g", expected, actual);
  return ::testing::AssertionFailure() << text;
}

}  // namespace kest::test
