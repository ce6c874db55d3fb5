// Exact decimal digits of a double: its binary value m * 2^e is a whole number times a power of
// ten (m * 2^e, or m * 5^-e / 10^-e), so a whole number in base 10^9 holds every digit, and the
// rounding looks at the digits themselves rather than at an approximation of them.

#include "frame/decimal_digits.h"

#include <stdint.h>
#include <string.h>

namespace kest {
namespace {

// A whole number in base 10^9, least significant limb first. 86 limbs hold m * 5^1074, whose
// 767 digits are the most any double has.
struct BigWhole {
  static constexpr uint32_t kBase = 1000000000u;
  uint32_t limbs[88];
  int size;

  // `factor` is at most 2^31, so a product and its carry fit 64 bits.
  void multiply(uint32_t factor) {
    uint64_t carry = 0;
    for (int i = 0; i < size; ++i) {
      uint64_t const product = static_cast<uint64_t>(limbs[i]) * factor + carry;
      carry = product / kBase;
      limbs[i] = static_cast<uint32_t>(product - carry * kBase);
    }
    for (; carry != 0; carry /= kBase) limbs[size++] = static_cast<uint32_t>(carry % kBase);
  }
};

// The significand times 2^exponent (exponent >= 0) or times 5^-exponent.
void scaledSignificand(uint64_t significand, int exponent, BigWhole& whole) {
  whole.size = 0;
  for (; significand != 0; significand /= BigWhole::kBase)
    whole.limbs[whole.size++] = static_cast<uint32_t>(significand % BigWhole::kBase);
  if (exponent >= 0) {
    for (; exponent >= 31; exponent -= 31) whole.multiply(uint32_t{1} << 31);
    whole.multiply(uint32_t{1} << exponent);
    return;
  }
  int fives = -exponent;
  for (; fives >= 13; fives -= 13) whole.multiply(1220703125u);  // 5^13
  uint32_t rest = 1;
  for (; fives > 0; --fives) rest *= 5;
  whole.multiply(rest);
}

// Writes the limbs as decimal digits, the top limb without leading zeros; returns the count.
int writeDigits(BigWhole const& whole, char* digits) {
  int count = 0;
  for (int i = whole.size - 1; i >= 0; --i) {
    char limb[9];
    uint32_t rest = whole.limbs[i];
    for (int d = 8; d >= 0; --d, rest /= 10) limb[d] = static_cast<char>('0' + rest % 10);
    int first = 0;
    if (i == whole.size - 1)
      while (first < 8 && limb[first] == '0') ++first;
    memcpy(digits + count, limb + first, static_cast<size_t>(9 - first));
    count += 9 - first;
  }
  return count;
}

// Whether the `count` exact digits after the first `kept` round up: above half a unit, or at
// exactly half with an odd last kept digit (none kept counts as even).
bool roundsUp(char const* digits, int count, int kept) {
  if (kept >= count || digits[kept] < '5') return false;
  if (digits[kept] > '5') return true;
  for (int i = kept + 1; i < count; ++i)
    if (digits[i] != '0') return true;
  return kept > 0 && (digits[kept - 1] - '0') % 2 == 1;
}

// Adds one to the `count` digits; all nines become 1 followed by zeros, one digit longer.
int incremented(char* digits, int count) {
  for (int i = count; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return count;
    }
    digits[i] = '0';
  }
  digits[count] = '0';
  digits[0] = '1';
  return count + 1;
}

}  // namespace

void decimalDigits(double value, int places, DecimalDigits& out) {
  if (places > kMaxDecimalPlaces) places = kMaxDecimalPlaces;
  if (places < -kMaxDecimalPlaces) places = -kMaxDecimalPlaces;
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  int const biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t const fraction = bits & ((uint64_t{1} << 52) - 1);
  int count = 0;
  if (biased != 0x7FF && (biased != 0 || fraction != 0)) {
    BigWhole whole;
    int const exponent = biased == 0 ? -1074 : biased - 1075;
    scaledSignificand(biased == 0 ? fraction : fraction | uint64_t{1} << 52, exponent, whole);
    int const exact = writeDigits(whole, out.digits);
    int const pointOfExact = exact + (exponent < 0 ? exponent : 0);
    int const kept = pointOfExact + places;
    if (kept >= 0) {
      bool const up = roundsUp(out.digits, exact, kept);
      if (kept > exact) memset(out.digits + exact, '0', static_cast<size_t>(kept - exact));
      count = up ? incremented(out.digits, kept) : kept;
    }
  }
  out.digits[count] = '\0';
  out.point = count - places;
}

}  // namespace kest
