#pragma once
// Angle results that every build gives bit for bit and byte for byte: the angle suite of the
// MinGW builds and the consumer program of the builds in Microsoft's ABI check the same
// tables. Plain C++ on the public header, as the consumer has no C++ library. Every double is
// exact (-0.0 is not 0.0); the degree mark is the byte B0.

#include <float.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "kest011/angles.h"

namespace kest::known {

// Splitting: sign, whole units, minutes and seconds of an input at a precision.
struct Split {
  char const* what;
  void (*split)(double, int&, int&, int&, double&, int);
  double input;
  int precision;
  int sign, whole, minutes;
  double seconds;
};

constexpr double kTwoTo31 = 2147483648.0;
constexpr double kDenormal = 4.9406564584124654e-324;

inline Split const kSplits[] = {
    {"negative input, positive parts", KestDeg2DMS, -12.5, 0, -1, 12, 30, 0.0},
    {"carry up to a degree", KestDeg2DMS, 10.999999, 2, 1, 11, 0, 0.0},
    {"no carry at 3 places", KestDeg2DMS, 10.999999, 3, 1, 10, 59, 59.996400000002694},
    {"degrees not wrapped", KestDeg2DMS, 359.999999, 2, 1, 360, 0, 0.0},
    {"-0.0 is positive", KestDeg2DMS, -0.0, 2, 1, 0, 0, 0.0},
    // Seconds at 60 - 2^-46 (100 - 2^-45): half a unit at 15 (14) places cannot move them past
    // it, at 14 places it can; one unit above, any precision carries.
    {"at 60 - 2^-46, 15 places", KestDeg2DMS, 0.016666666666666663, 15, 1, 0, 0,
     59.999999999999986},
    {"at 60 - 2^-46, 14 places", KestDeg2DMS, 0.016666666666666663, 14, 1, 0, 1, 0.0},
    {"at 100 - 2^-45, 14 places", KestGrad2GCCC, 0.009999999999999997, 14, 1, 0, 0,
     99.99999999999997},
    {"above 100 - 2^-45, 400 places", KestGrad2GCCC, 0.009999999999999998, 400, 1, 0, 1, 0.0},
    {"packed minutes held below digits", KestDMS2DMS, 12.34, -1, 1, 12, 34, 0.0},
    {"packed negative below a degree", KestDMS2DMS, -0.3, -1, -1, 0, 30, 0.0},
    {"packed seconds of 60+ carried", KestDMS2DMS, 12.3075, 0, 1, 12, 31, 0.0},
    {"packed seconds of 60+ kept at -1", KestDMS2DMS, 12.3075, -1, 1, 12, 30, 74.99999999998508},
    {"packed seconds get no allowance", KestDMS2DMS, 12.3456, -1, 1, 12, 34, 55.99999999999383},
    {"allowance lifts minutes to 60", KestDMS2DMS, 12.5999999999, -1, 1, 13, 0, 0.0},
    {"allowance lifts c to 100", KestGCCC2GCCC, 0.9999999999999999, -1, 1, 1, 0, 0.0},
    {"radians", KestRad2DMS, 1.0, 2, 1, 57, 17, 44.80624709636231},
    {"radians in gon", KestRad2GCCC, 1.5707963267948966, 2, 1, 100, 0, 0.0},
    {"NaN", KestDeg2DMS, NAN, 2, -1, 0, 0, 0.0},
    {"infinity saturates", KestRad2DMS, INFINITY, 2, 1, INT_MAX, 0, 0.0},
    {"huge packed saturates", KestGCCC2GCCC, -1e300, 2, -1, INT_MAX, 0, 0.0},
    {"carry into the largest int", KestDeg2DMS, 2147483647.9999998, 2, 1, INT_MAX, 0, 0.0},
    {"first whole part beyond int", KestGrad2GCCC, kTwoTo31, 2, 1, INT_MAX, 0, 0.0},
    {"last whole part within int", KestDeg2DMS, kTwoTo31 - 0.5, -1, 1, INT_MAX, 30, 0.0},
    {"negative denormal", KestGrad2GCCC, -kDenormal, 2, -1, 0, 0, 10000 * kDenormal},
    {"largest precision never carries", KestDeg2DMS, 10.999999, INT_MAX, 1, 10, 59,
     59.996400000002694},
    {"smallest precision never carries", KestDeg2DMS, 10.999999, INT_MIN, 1, 10, 59,
     59.996400000002694},
};

struct AngleValue {
  char const* what;
  double (*compute)();
  double expected;
};

inline AngleValue const kAngleValues[] = {
    {"seconds of 60+ carried", [] { return KestDMS2DMS(1, 10, 59, 75.5); }, 11.00155},
    {"minutes of 60+ carried", [] { return KestDMS2DMS(1, 10, 125, 0.0); }, 12.05},
    {"exactly 60 seconds", [] { return KestDMS2DMS(1, 0, 59, 60.0); }, 1.0},
    {"negative packed", [] { return KestDMS2DMS(-1, 10, 20, 30.0); }, -10.203},
    {"negative minutes subtract", [] { return KestDMS2DMS(1, 10, -30, 0.0); }, 9.7},
    // 1e300 seconds is a whole number of minutes.
    {"carries saturate", [] { return KestDMS2DMS(1, 2147483647, 59, 1e300); }, 2147483647.07},
    {"centesimal not carried", [] { return KestGCCC2GCCC(1, 10, 150, 0.0); }, 11.5},
    {"sign from the sign argument", [] { return KestDMS2Deg(-1, 12, 30, 0.0); }, -12.5},
    {"degrees by magnitude", [] { return KestDMS2Deg(1, -12, 30, 0.0); }, 12.5},
    {"negative seconds count as 0", [] { return KestDMS2Deg(1, 12, 30, -5.0); }, 12.5},
    {"NaN seconds count as 0", [] { return KestDMS2Deg(1, 12, 30, NAN); }, 12.5},
    {"magnitude of INT_MIN", [] { return KestDMS2Deg(1, -2147483647 - 1, 0, 0.0); }, 2147483648.0},
    {"split to radians", [] { return KestDMS2Rad(1, 90, 0, 0.0); }, 1.5707963267948966},
    {"split gon", [] { return KestGCCC2Grad(-1, 100, 50, 25.0); }, -100.5025},
    {"split gon to radians", [] { return KestGCCC2Rad(1, 200, 0, 0.0); }, 3.1415926535897936},
    {"packed to radians", [] { return KestDMS2Rad(180.0); }, 3.141592653589793},
    {"12.3 is 12 deg 30 min", [] { return KestDMS2Rad(12.3); }, 0.2181661564992912},
    {"packed gon to radians", [] { return KestGCCC2Rad(100.0); }, 1.5707963267948968},
    {"radians to packed", [] { return KestRad2DMS(1.0, 2); }, 57.17448062470964},
    {"1 radian to packed gon", [] { return KestRad2GCCC(1.0, 2); }, 63.66197723675813},
    {"NaN radians stay NaN packed", [] { return KestRad2DMS(NAN, 2); }, NAN},
    {"-infinite radians in gon", [] { return KestRad2GCCC(-INFINITY, 2); }, -INFINITY},
    {"-infinite packed degrees", [] { return KestDMS2Rad(-INFINITY); }, -INFINITY},
    // Whole units beyond the int range are kept whole, not cut to INT_MAX.
    {"huge radians packed", [] { return KestRad2DMS(1e10, 2); }, 572957795130.4923},
    {"huge radians packed in gon", [] { return KestRad2GCCC(-1e12, 2); }, -63661977236758.13},
    {"huge packed degrees", [] { return KestDMS2Rad(3e9 + 0.5); }, 52359877.5743743},
    {"infinite seconds", [] { return KestDMS2Deg(1, 0, 0, INFINITY); }, INFINITY},
    {"-infinite seconds count as 0", [] { return KestDMS2Deg(-1, 1, 0, -INFINITY); }, -1.0},
    {"smallest ints", [] { return KestDMS2Deg(-1, INT_MIN, INT_MIN, 0.0); }, -2111692253.8666666},
    {"largest arguments, gon", [] { return KestGCCC2Grad(1, INT_MAX, INT_MAX, DBL_MAX); },
     1.7976931348623158e+304},
    {"minutes carried from INT_MAX", [] { return KestDMS2DMS(1, 0, INT_MAX, 0.0); }, 35791394.07},
};

// How a text case's angle is set: through Rad, Deg or Gon.
enum class SetBy { kRad, kDeg, kGon };

inline CKestAngle angleFrom(SetBy setter, double value) {
  void (CKestAngle::*const set[])(double const&) = {&CKestAngle::Rad, &CKestAngle::Deg,
                                                    &CKestAngle::Gon};
  CKestAngle angle;
  (angle.*set[static_cast<int>(setter)])(value);
  return angle;
}

// Decimal units as fixed-point digits.
struct DecimalText {
  SetBy setter;
  double value;
  CKestAngle::eAngleType unit;
  int precision;
  char const* text;
};

// Radians whose degrees read back exactly as 149.5, 350.0 and 50.0.
constexpr double kRad149_5 = 2.6092672317315224;
constexpr double kRad350 = 6.1086523819801535;
constexpr double kRad50 = 0.8726646259971648;

inline DecimalText const kDecimalTexts[] = {
    {SetBy::kDeg, 45.0, CKestAngle::eDeg, 0, "45"},
    {SetBy::kRad, 0.4, CKestAngle::eRad, 0, ""},
    {SetBy::kDeg, -30.0, CKestAngle::eDeg, 2, "30.00"},
    {SetBy::kGon, 100.0, CKestAngle::eGon, 3, "100.000"},
    {SetBy::kRad, 0.5, CKestAngle::eRad, 4, ".5000"},
    {SetBy::kRad, 0.05, CKestAngle::eRad, 4, ".0500"},
    {SetBy::kDeg, 99.99, CKestAngle::eDeg, 1, "100.0"},
    {SetBy::kRad, 0.125, CKestAngle::eRad, 2, ".12"},  // a tie rounds to even
    {SetBy::kRad, kRad149_5, CKestAngle::eDeg, 0, "150"},
    {SetBy::kRad, kRad149_5, CKestAngle::eDeg, -2, "1"},
    {SetBy::kRad, kRad350, CKestAngle::eDeg, -2, "4"},
    {SetBy::kRad, kRad50, CKestAngle::eDeg, -2, ""},
    {SetBy::kRad, 1.0, CKestAngle::eRad, 37, "1.0000000000000000000000000000000000000"},
    {SetBy::kRad, 0.1, CKestAngle::eRad, 37, ".1000000000000000055511151231257827021"},
    {SetBy::kRad, NAN, CKestAngle::eDeg, 2, "nan"},
    {SetBy::kDeg, 12.5, CKestAngle::eAngleType(6), 2, ""},
    {SetBy::kDeg, 12.5, CKestAngle::eAngleType(-1), 2, ""},
    {SetBy::kRad, kDenormal, CKestAngle::eDeg, 2, ".00"},
    {SetBy::kRad, kDenormal, CKestAngle::eDmsPlain, 2, "0 0 0.00"},
    {SetBy::kRad, kDenormal, CKestAngle::eDms, -1, "0.0\""},
    // Below zero, however little: the sign shows.
    {SetBy::kRad, -kDenormal, CKestAngle::eDmsPlain, 2, "-0 0 0.00"},
    {SetBy::kRad, -kDenormal, CKestAngle::eDmsPlain, -1, "-0.0"},
    {SetBy::kDeg, DBL_MAX, CKestAngle::eDeg, 3, "128.000"},  // exactly 128 degrees
    {SetBy::kDeg, DBL_MAX, CKestAngle::eDmsColumns, 1, "128  0  0.0"},
};

// One angle in the three sexagesimal forms: with marks, plain and in columns.
struct DmsTexts {
  char const* what;
  SetBy setter;
  double value;
  int precision;
  char const* texts[3];
};

inline DmsTexts const kDmsTexts[] = {
    {"12.5", SetBy::kDeg, 12.5, 2, {"12\xB0 30' 0.00\"", "12 30 0.00", " 12 30  0.00"}},
    {"-12.5", SetBy::kDeg, -12.5, 2, {"-12\xB0 30' 0.00\"", "-12 30 0.00", "- 12 30  0.00"}},
    {"no places", SetBy::kDeg, 10.0, 0, {"10\xB0 0' 0\"", "10 0 0", " 10  0   0"}},
    {"compact", SetBy::kDeg, 0.5, -1, {"30' 0.0\"", "30 0.0", "30  0.0"}},
    {"compact seconds", SetBy::kDeg, 0.01, -1, {"36.0\"", "36.0", "36.0"}},
    {"compact negative", SetBy::kDeg, -0.5, -1, {"-30' 0.0\"", "-30 0.0", "-30  0.0"}},
    {"compact negative seconds", SetBy::kDeg, -0.005, -1, {"-18.0\"", "-18.0", "-18.0"}},
    {"zero, compact", SetBy::kRad, 0.0, -2, {"0.00\"", "0.00", " 0.00"}},
    {"-0.0 has no sign", SetBy::kDeg, -360.0, 2, {"0\xB0 0' 0.00\"", "0 0 0.00", "  0  0  0.00"}},
    {"-0.0 has no sign, compact", SetBy::kDeg, -360.0, -1, {"0.0\"", "0.0", " 0.0"}},
    // Carried, at |p| places too: 30 reads back as 29.999999999999996, 0.9999999 gives 1.
    {"30", SetBy::kDeg, 30.0, 2, {"30\xB0 0' 0.00\"", "30 0 0.00", " 30  0  0.00"}},
    {"-30", SetBy::kDeg, -30.0, 2, {"-30\xB0 0' 0.00\"", "-30 0 0.00", "- 30  0  0.00"}},
    {"0.9999999, -2", SetBy::kDeg, 0.9999999, -2, {"1\xB0 0' 0.00\"", "1 0 0.00", "  1  0  0.00"}},
    {"NaN", SetBy::kRad, NAN, 2, {"0\xB0 0' nan\"", "0 0 nan", "  0  0   nan"}},
};

// Same bits (-0.0 is not 0.0), or both NaN.
inline bool sameBits(double a, double b) {
  return (a != a && b != b) || memcmp(&a, &b, sizeof a) == 0;
}

// Hands `check` each row's verdict and name.
template <class Check>
void checkEveryRow(Check check) {
  for (Split const& c : kSplits) {
    int sign = 0, whole = 0, minutes = 0;
    double seconds = -1.0;
    c.split(c.input, sign, whole, minutes, seconds, c.precision);
    check(
        sign == c.sign && whole == c.whole && minutes == c.minutes && sameBits(seconds, c.seconds),
        c.what);
  }
  for (AngleValue const& c : kAngleValues) check(sameBits(c.compute(), c.expected), c.what);
  for (DecimalText const& c : kDecimalTexts) {
    char input[96];  // a failing row is named by what went in
    snprintf(input, sizeof input, "setter %d (Rad, Deg, Gon), %.17g, unit %d, precision %d",
             int(c.setter), c.value, int(c.unit), c.precision);
    check(!strcmp(angleFrom(c.setter, c.value).AngleToString(c.unit, c.precision), c.text), input);
  }
  for (DmsTexts const& c : kDmsTexts)
    for (int i = 0; i < 3; ++i) {
      CKestAngle::eAngleType const unit = CKestAngle::eAngleType(CKestAngle::eDms + i);
      check(!strcmp(angleFrom(c.setter, c.value).AngleToString(unit, c.precision), c.texts[i]),
            c.what);
    }
}

}  // namespace kest::known
