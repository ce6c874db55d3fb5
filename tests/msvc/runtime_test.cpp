// The parts of msvc/crt that the library's own calls may not reach: printf conversions as
// MinGW-w64's C99 printf writes them (the expected texts are its output), 64-bit division
// (the helpers of 32-bit code), and frames larger than a page (the stack probe). Prints each
// failure, then "N passed, N failed".
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

int g_passed;
int g_failed;

void check(bool ok, char const* what, char const* detail = "") {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    printf("FAILED %s %s\n", what, detail);
  }
}

// Frames of 40000 bytes, each filled from its lowest address: without the probe that
// touches its pages in order, the first write would land below the guard page.
__attribute__((noinline)) int deepFrames(int level) {
  volatile char frame[40000];
  memset(const_cast<char*>(frame), level, sizeof frame);
  int const here = frame[0] + frame[sizeof frame - 1];
  return level == 0 ? here : here + deepFrames(level - 1);
}

}  // namespace

int main() {
  // What MinGW-w64's printf writes for the same calls.
  char texts[7][96];
  snprintf(texts[0], 96, "%e|%g|%E", 1.0, 1e-5, 123.0);
  snprintf(texts[1], 96, "%p|%10p", reinterpret_cast<void*>(0x11fcc0),
           reinterpret_cast<void*>(0xab));
  snprintf(texts[2], 96, "%f|%f|%F|%5.1f|%+f", NAN, -NAN, INFINITY, -INFINITY, NAN);
  snprintf(texts[3], 96, "%.40f", 0.1);
  snprintf(texts[4], 96, "%#.0e|%#g|%G|%g", 3.0, 1.0, 1e16, 0.0001);
  snprintf(texts[5], 96, "%s|%.1s|%lld|%#X|%#6x|%ls", static_cast<char*>(nullptr),
           static_cast<char*>(nullptr), -7LL, 255u, 31u, L"wide");
  snprintf(texts[6], 96, "%.1f rounds to %.0f, %.1f to %.0f", 2.5, 2.5, 3.5, 3.5);
  char const* const expected[] = {
      "1.000000e+00|1e-05|1.230000E+02",
      sizeof(void*) == 8 ? "000000000011fcc0|        ab" : "0011fcc0|        ab",
      "nan|nan|INF| -inf|+nan",
      "0.1000000000000000055511151231257827021182",
      "3.e+00|1.00000|1E+16|0.0001",
      "(null)|(|-7|0XFF|  0x1f|wide",
      "2.5 rounds to 2, 3.5 to 4",
  };
  for (int i = 0; i < 7; ++i) check(strcmp(texts[i], expected[i]) == 0, expected[i], texts[i]);
  check(snprintf(nullptr, 0, "%e|%g|%E", 1.0, 1e-5, 123.0) == 31,
        "the length snprintf counts without a buffer");
  char small[5];
  check(snprintf(small, sizeof small, "%d", 123456) == 6 && strcmp(small, "1234") == 0,
        "a cut text is terminated and counted in full");

  // Quotients truncate toward zero; remainders take the dividend's sign. Volatile operands
  // keep the compiler from dividing at compile time.
  struct Division {
    int64_t dividend, divisor, quotient, remainder;
  };
  Division const divisions[] = {
      {1000000000000LL, 7, 142857142857LL, 1},
      {-1000000000000LL, 7, -142857142857LL, -1},
      {1000000000000LL, -4294967296LL, -232, 3567587328LL},
      {INT64_MAX, 1000000007LL, 9223371972LL, 291172003LL},
      {INT64_MIN + 1, -2, 4611686018427387903LL, -1},
  };
  for (Division const& d : divisions) {
    volatile int64_t dividend = d.dividend, divisor = d.divisor;
    check(dividend / divisor == d.quotient && dividend % divisor == d.remainder, "signed division");
  }
  volatile uint64_t big = UINT64_MAX, wide = 0x100000001ull, narrow = 10;
  check(big / wide == 0xFFFFFFFFull && big % wide == 0, "unsigned division by a wide divisor");
  check(big / narrow == 1844674407370955161ull && big % narrow == 5,
        "unsigned division by a narrow divisor");

  check(deepFrames(20) == 2 * (20 * 21 / 2), "frames larger than a page");

  printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
