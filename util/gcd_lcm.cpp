// Greatest common divisor and least common multiple by Euclid's algorithm, with remainders
// truncated toward zero, so results keep the signs the steps give them.

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

#include "kest011/util.h"

namespace {

// a % b, except that a remainder by -1 is 0: INT_MIN % -1 overflows in the division.
std::int32_t remainder(std::int32_t a, std::int32_t b) { return b == -1 ? 0 : a % b; }

std::int32_t gcd(std::int32_t a, std::int32_t b) {
  while (b != 0) {
    std::int32_t const next = remainder(a, b);
    a = b;
    b = next;
  }
  return a;
}

// a * b / gcd(a, b), formed in 64 bits; 0 when it does not fit in 32 (or a or b is 0).
std::int32_t lcm(std::int32_t a, std::int32_t b) {
  std::int32_t const divisor = gcd(a, b);
  if (divisor == 0) return 0;
  std::int64_t const multiple = std::int64_t{a} * b / divisor;
  if (multiple < std::numeric_limits<std::int32_t>::min() ||
      multiple > std::numeric_limits<std::int32_t>::max())
    return 0;
  return static_cast<std::int32_t>(multiple);
}

}  // namespace

int __KestGcdi(int a, int b) { return gcd(a, b); }

long __KestGcdl(long a, long b) { return gcd(a, b); }

double __KestGcdd(double a, double b) {
  // `b` itself, not its magnitude, is compared: a negative or NaN second value ends it.
  while (b > DBL_EPSILON) {
    double const next = std::fmod(a, b);
    a = b;
    b = next;
  }
  return a;
}

int __KestLcmi(int a, int b) { return lcm(a, b); }

long __KestLcml(long a, long b) { return lcm(a, b); }

double __KestLcmd(double a, double b) {
  double const divisor = __KestGcdd(a, b);
  if (divisor == 0.0) return 0.0;
  return a * b / divisor;
}
