#pragma once
// The exact decimal digits of a double, rounded to a number of decimal places: the one way the
// library turns a double into text, so that every build and every runtime write the same digits.

#include <float.h>

namespace kest {

// Places beyond these change nothing: every double is exact at 1074 places (its last bit is
// 2^-1074), and every double rounds to 0 at -309 places.
constexpr int kMaxDecimalPlaces = 1074;

struct DecimalDigits {
  // No sign, no point, no leading zeros: "" when the value rounds to 0. Otherwise point + places
  // digits, the trailing zeros included.
  char digits[DBL_MAX_10_EXP + 1 + kMaxDecimalPlaces + 1];
  int point;  // how many of the digits stand before the decimal point; may be negative
};

// |value| rounded to `places` decimal places (for a negative count, that many places left of
// the point; clamped to +-kMaxDecimalPlaces), half to even on the exact binary value: the
// contract of _fcvt, but exact. A NaN or infinity gives "".
void decimalDigits(double value, int places, DecimalDigits& out);

}  // namespace kest
