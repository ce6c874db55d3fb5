// Greatest common divisor and least common multiple by Euclid's algorithm, with remainders
// truncated toward zero, so results keep the signs the steps give them.

#include <float.h>
#include <math.h>
#include <stdint.h>

#include "kest011/util.h"

namespace {

// a % b, except that a remainder by -1 is 0: INT_MIN % -1 overflows in the division.
int32_t truncatedRemainder(int32_t a, int32_t b) { return b == -1 ? 0 : a % b; }

int32_t gcd(int32_t a, int32_t b) {
  while (b != 0) {
    int32_t const next = truncatedRemainder(a, b);
    a = b;
    b = next;
  }
  return a;
}

// a * b / gcd(a, b), formed in 64 bits; 0 when it does not fit in 32 (or a or b is 0).
int32_t lcm(int32_t a, int32_t b) {
  int32_t const divisor = gcd(a, b);
  if (divisor == 0) return 0;
  int64_t const multiple = int64_t{a} * b / divisor;
  if (multiple < INT32_MIN || multiple > INT32_MAX) return 0;
  return static_cast<int32_t>(multiple);
}

}  // namespace

int __KestGcdi(int a, int b) { return gcd(a, b); }

long __KestGcdl(long a, long b) { return gcd(a, b); }

double __KestGcdd(double a, double b) {
  // `b` itself, not its magnitude, is compared: a negative or NaN second value ends it.
  while (b > DBL_EPSILON) {
    double const next = fmod(a, b);
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
