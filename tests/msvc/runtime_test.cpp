// The parts of msvc/crt that the library's own calls may not reach: the printf conversions
// the library makes, with the widths, precisions and flags it gives them, as MinGW-w64's C99
// printf writes them (the expected texts are its output), 64-bit division (the helpers of
// 32-bit code), and frames larger than a page (the stack probe). Prints each failure, then
// "N failed".
#include <stdint.h>
#include <stdio.h>
#include <string.h>

namespace {

int g_failed;

void check(bool ok, char const* what, char const* detail = "") {
  if (!ok) printf("FAILED %s %s\n", what, detail);
  g_failed += !ok;
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
  char text[64];
  snprintf(text, 64, "%08lX-%04X-%02X|%08lx|%u", 0xA1B2C3DUL, 0xFu, 0xABu, 0x409UL, 4294967295u);
  check(strcmp(text, "0A1B2C3D-000F-AB|00000409|4294967295") == 0, "hex and unsigned", text);
  snprintf(text, 64, "%d|%3d|%2d|%3d|%d", -7, 5, -3, 12345, INT32_MIN);
  check(strcmp(text, "-7|  5|-3|12345|-2147483648") == 0, "signed", text);
  snprintf(text, 64, "%s|%.*s|%.*s|%*s|%*s", "text", 2, "xyz", 0, "xyz", 5, "ab", 1, "abc");
  check(strcmp(text, "text|xy||   ab|abc") == 0, "texts", text);
  check(snprintf(text, 5, "%d", 123456) == 6 && strcmp(text, "1234") == 0,
        "a cut text is terminated and counted in full");
  check(snprintf(text, 64, "%d%c", 1, 'c') == -1 && snprintf(text, 64, "%ls%p", L"w", text) == -1,
        "a directive the runtime does not make fails the call");

  // Quotients truncate toward zero; remainders take the dividend's sign. Volatile operands
  // keep the compiler from dividing at compile time.
  struct Division {
    int64_t dividend, divisor, quotient, remainder;
  } const divisions[] = {
      {1000000000000LL, 7, 142857142857LL, 1},
      {1000000000000LL, -4294967296LL, -232, 3567587328LL},
      {INT64_MIN + 1, -2, 4611686018427387903LL, -1},
  };
  for (Division const& d : divisions) {
    volatile int64_t dividend = d.dividend, divisor = d.divisor;
    check(dividend / divisor == d.quotient && dividend % divisor == d.remainder, "signed division");
  }
  volatile uint64_t big = UINT64_MAX, wide = 0x100000001ull, narrow = 10;
  check(big / wide == 0xFFFFFFFFull && big % wide == 0 && big / narrow == 1844674407370955161ull &&
            big % narrow == 5,
        "unsigned division");

  check(deepFrames(20) == 2 * (20 * 21 / 2), "frames larger than a page");

  printf("%d failed\n", g_failed);
  return g_failed == 0 ? 0 : 1;
}
