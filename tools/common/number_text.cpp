#include "common/number_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kest::helpers {

std::string shortestText(double value) {
  int wholeDigits = 1;
  for (double power = 10.0; power <= std::fabs(value) && power < 1e17; power *= 10.0) ++wholeDigits;
  char text[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits < wholeDigits ? wholeDigits : digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string hexDigits(unsigned long value, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*lX", digits, value);
  return text;
}

std::string hexBytes(unsigned char const* bytes, std::size_t count) {
  std::string hex;
  char pair[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::snprintf(pair, sizeof pair, i ? " %02x" : "%02x", bytes[i]);
    hex += pair;
  }
  return hex;
}

}  // namespace kest::helpers
