// 64-bit division for 32-bit code: the compiler calls these helpers of Microsoft's static
// runtime library for every 64-bit / and %. Each takes its operands on the stack, pops
// them itself and returns in EDX:EAX, which is __stdcall with a 64-bit result; the names
// carry no @16 decoration. A 64-bit / here would call them back, so they divide with the
// 32-bit instruction and with shifts.

#include <stdint.h>

namespace {

// The divisor fits in 32 bits almost always: two hardware divisions, high half then low.
// A wider divisor leaves a quotient below 2^32, found bit by bit.
uint64_t divideUnsigned(uint64_t dividend, uint64_t divisor, uint64_t* remainder) {
  if (divisor >> 32 == 0) {
    uint32_t const narrow = static_cast<uint32_t>(divisor);
    uint32_t const high = static_cast<uint32_t>(dividend >> 32);
    uint32_t const highQuotient = high / narrow;
    uint32_t lowQuotient;
    uint32_t rest;
    __asm__("divl %4"
            : "=a"(lowQuotient), "=d"(rest)
            : "a"(static_cast<uint32_t>(dividend)), "d"(high % narrow), "rm"(narrow));
    *remainder = rest;
    return (uint64_t{highQuotient} << 32) | lowQuotient;
  }
  uint64_t quotient = 0;
  uint64_t rest = dividend;
  int shift = 0;
  while ((divisor << shift) >> 63 == 0 && (divisor << (shift + 1)) <= rest) ++shift;
  for (; shift >= 0; --shift) {
    if (rest >= divisor << shift) {
      rest -= divisor << shift;
      quotient |= uint64_t{1} << shift;
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
