// 64-bit division for 32-bit code: the compiler calls these helpers of Microsoft's static
// runtime library for every 64-bit / and %. Each takes its operands on the stack, pops
// them itself and returns in EDX:EAX, which is __stdcall with a 64-bit result; the names
// carry no @16 decoration. They divide with shifts and subtractions, as a / here would call
// them back.

#include <stdint.h>

namespace {

uint64_t divideUnsigned(uint64_t dividend, uint64_t divisor, uint64_t* remainder) {
  uint64_t quotient = 0;
  uint64_t rest = 0;
  for (int bit = 63; bit >= 0; --bit) {
    rest = (rest << 1) | ((dividend >> bit) & 1);
    if (rest >= divisor) {
      rest -= divisor;
      quotient |= uint64_t{1} << bit;
    }
  }
  *remainder = rest;
  return quotient;
}

uint64_t magnitude(int64_t value) {
  return value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

}  // namespace

extern "C" {

uint64_t __stdcall unsignedQuotient(uint64_t dividend, uint64_t divisor) __asm__("__aulldiv");
uint64_t __stdcall unsignedQuotient(uint64_t dividend, uint64_t divisor) {
  uint64_t remainder;
  return divideUnsigned(dividend, divisor, &remainder);
}

uint64_t __stdcall unsignedRemainder(uint64_t dividend, uint64_t divisor) __asm__("__aullrem");
uint64_t __stdcall unsignedRemainder(uint64_t dividend, uint64_t divisor) {
  uint64_t remainder;
  divideUnsigned(dividend, divisor, &remainder);
  return remainder;
}

// Signed: the quotient truncates toward zero, the remainder takes the dividend's sign.
int64_t __stdcall signedQuotient(int64_t dividend, int64_t divisor) __asm__("__alldiv");
int64_t __stdcall signedQuotient(int64_t dividend, int64_t divisor) {
  uint64_t remainder;
  uint64_t const quotient = divideUnsigned(magnitude(dividend), magnitude(divisor), &remainder);
  return static_cast<int64_t>((dividend < 0) != (divisor < 0) ? uint64_t{0} - quotient : quotient);
}

int64_t __stdcall signedRemainder(int64_t dividend, int64_t divisor) __asm__("__allrem");
int64_t __stdcall signedRemainder(int64_t dividend, int64_t divisor) {
  uint64_t remainder;
  divideUnsigned(magnitude(dividend), magnitude(divisor), &remainder);
  return static_cast<int64_t>(dividend < 0 ? uint64_t{0} - remainder : remainder);
}

}  // extern "C"
