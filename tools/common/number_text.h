#pragma once
// Numbers as the kest tool and the tests show them.

#include <cstddef>
#include <string>

namespace kest::helpers {

// The fewest significant digits that read back as the same double, with all of a whole part
// below 10^17 written out ("50", not "5e+01").
std::string shortestText(double value);

// `value` in upper-case hex, zero-padded to `digits` ("80030002", "B0").
std::string hexDigits(unsigned long value, int digits);

// Each byte as two lower-case hex digits, separated by spaces ("4d 54 68 64").
std::string hexBytes(unsigned char const* bytes, std::size_t count);

}  // namespace kest::helpers
