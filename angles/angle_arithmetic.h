#pragma once
// Arithmetic shared by the angle conversions and the angle class. Results must be the same bit
// for bit on every target and runtime, so every step is one double operation in the order
// written (the build forbids fused multiply-adds), and the few runtime functions whose results
// could differ between runtimes or run through the x87 unit (modf, trunc, pow) are done here in
// plain double arithmetic.

#include <limits.h>
#include <math.h>

namespace kest::angles {

// The doubles nearest to these ratios. Dividing by 60 or 3600 is always a multiplication by
// kOneSixtieth or kOne3600th, never a division, which would round differently.
constexpr double kOneSixtieth = 0.016666666666666666;
constexpr double kOne3600th = 0.0002777777777777778;
constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kRadiansPerGon = 0.015707963267948967;
static_assert(kOneSixtieth == 1.0 / 60.0 && kOne3600th == 1.0 / 3600.0);

// Seconds above these would show as a full minute at some number of places: 60 - 2^-46 and
// 100 - 2^-45.
constexpr double kCarryThreshold60 = 59.999999999999986;
constexpr double kCarryThreshold100 = 99.99999999999997;
static_assert(kCarryThreshold60 == 60.0 - 0x1p-46 && kCarryThreshold100 == 100.0 - 0x1p-45);

// x rounded toward zero, keeping its sign (-0.5 gives -0.0); NaN and infinities unchanged.
inline double wholePart(double x) {
  constexpr double kTwoTo52 = 4503599627370496.0;  // from here on every double is whole
  double const magnitude = fabs(x);
  if (!(magnitude < kTwoTo52)) return x;
  double whole = (magnitude + kTwoTo52) - kTwoTo52;  // magnitude rounded to nearest
  if (whole > magnitude) whole -= 1.0;
  return copysign(whole, x);
}

struct WholeAndFraction {
  double whole;
  double fraction;
};

// Splits x as modf does: both parts carry the sign of x, so -12.0 gives -12.0 and -0.0.
inline WholeAndFraction splitWhole(double x) {
  if (isinf(x)) return {x, copysign(0.0, x)};
  double const whole = wholePart(x);
  return {whole, copysign(x - whole, x)};
}

// x truncated toward zero and saturated to the int range; NaN gives 0.
inline int saturatedInt(double x) {
  if (isnan(x)) return 0;
  if (x >= 2147483648.0) return INT_MAX;
  if (x <= -2147483649.0) return INT_MIN;
  return static_cast<int>(x);
}

// a + b saturated to the int range.
inline int saturatedSum(int a, int b) {
  long long const sum = static_cast<long long>(a) + b;
  if (sum > INT_MAX) return INT_MAX;
  if (sum < INT_MIN) return INT_MIN;
  return static_cast<int>(sum);
}

// Whether seconds would show as a full minute when written with `precision` places, that is
// whether 10^-precision / 2 + seconds exceeds the threshold. Never for a negative precision.
inline bool secondsShowAsFullMinute(double seconds, int precision, double threshold) {
  // 10^-p as pow(10.0, -p) gives it. From 17 places on, half a unit is below half the spacing
  // of the doubles near either threshold, so adding it leaves any seconds that could pass.
  constexpr double kTenToMinus[] = {1e0,  1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7, 1e-8,
                                    1e-9, 1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16};
  constexpr int kPlaces = static_cast<int>(sizeof kTenToMinus / sizeof kTenToMinus[0]);
  if (precision < 0) return false;
  double const halfUnit = precision < kPlaces ? kTenToMinus[precision] * 0.5 : 0.0;
  return halfUnit + seconds > threshold;
}

}  // namespace kest::angles
