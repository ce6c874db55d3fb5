// The free conversions between radians, degrees, gon and the split and packed component
// notations. Every expected double is exact: compared bit for bit.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "angles/same_bits.h"
#include "kest011/angles.h"

namespace {

using kest::test::sameBits;

using Split = void (*)(double, int&, int&, int&, double&, int);

struct SplitCase {
  char const* what;
  Split split;
  double input;
  int precision;
  int sign, whole, minutes;
  double seconds;
};

SplitCase const kSplits[] = {
    {"negative input, positive parts", KestDeg2DMS, -12.5, 0, -1, 12, 30, 0.0},
    {"carry up to a degree", KestDeg2DMS, 10.999999, 2, 1, 11, 0, 0.0},
    {"no carry at 3 places", KestDeg2DMS, 10.999999, 3, 1, 10, 59, 59.996400000002694},
    {"no carry at -1", KestDeg2DMS, 10.999999, -1, 1, 10, 59, 59.996400000002694},
    {"degrees not wrapped", KestDeg2DMS, 359.999999, 2, 1, 360, 0, 0.0},
    {"-0.0 is positive", KestDeg2DMS, -0.0, 2, 1, 0, 0, 0.0},
    // Seconds exactly at 60 - 2^-46: half a unit at 15 places cannot move them past it, at 14
    // places it can.
    {"at threshold 60, 15 places", KestDeg2DMS, 0.016666666666666663, 15, 1, 0, 0,
     59.999999999999986},
    {"at threshold 60, 14 places", KestDeg2DMS, 0.016666666666666663, 14, 1, 0, 1, 0.0},
    {"below threshold 100, 14 places", KestGrad2GCCC, 0.009999999999999995, 14, 1, 0, 0,
     99.99999999999996},
    {"below threshold 100, 13 places", KestGrad2GCCC, 0.009999999999999995, 13, 1, 0, 1, 0.0},
    {"at threshold 100, 14 places", KestGrad2GCCC, 0.009999999999999997, 14, 1, 0, 0,
     99.99999999999997},
    {"above threshold 100, 400 places", KestGrad2GCCC, 0.009999999999999998, 400, 1, 0, 1, 0.0},
    {"above threshold 100, -1", KestGrad2GCCC, 0.009999999999999998, -1, 1, 0, 0,
     99.99999999999999},
    {"packed minutes held below digits", KestDMS2DMS, 12.34, -1, 1, 12, 34, 0.0},
    {"packed negative below a degree", KestDMS2DMS, -0.3, -1, -1, 0, 30, 0.0},
    {"packed seconds of 60+ carried", KestDMS2DMS, 12.3075, 0, 1, 12, 31, 0.0},
    {"packed seconds of 60+ kept at -1", KestDMS2DMS, 12.3075, -1, 1, 12, 30, 74.99999999998508},
    {"packed seconds get no allowance", KestDMS2DMS, 12.3456, -1, 1, 12, 34, 55.99999999999383},
    {"allowance lifts minutes to 60", KestDMS2DMS, 12.5999999999, -1, 1, 13, 0, 0.0},
    {"packed minutes digits of 60+", KestDMS2DMS, 12.75, -1, 1, 13, 15, 0.0},
    {"allowance lifts c to 100", KestGCCC2GCCC, 0.9999999999999999, -1, 1, 1, 0, 0.0},
    {"packed centesimal", KestGCCC2GCCC, 123.4567, -1, 1, 123, 45, 66.99999999995043},
    {"radians to sexagesimal", KestRad2DMS, 1.0, 2, 1, 57, 17, 44.80624709636231},
    {"radians to centesimal", KestRad2GCCC, 1.0, 2, 1, 63, 66, 19.772367581333583},
    {"NaN", KestDeg2DMS, NAN, 2, -1, 0, 0, 0.0},
    {"infinity saturates", KestRad2DMS, INFINITY, 2, 1, INT_MAX, 0, 0.0},
    {"huge packed saturates", KestGCCC2GCCC, -1e300, 2, -1, INT_MAX, 0, 0.0},
    {"carry into the largest int", KestDeg2DMS, 2147483647.9999998, 2, 1, INT_MAX, 0, 0.0},
};

TEST(AngleConversions, SplitWritesSignWholeMinutesAndSeconds) {
  for (SplitCase const& c : kSplits) {
    SCOPED_TRACE(c.what);
    int sign = 0, whole = 0, minutes = 0;
    double seconds = -1.0;
    c.split(c.input, sign, whole, minutes, seconds, c.precision);
    EXPECT_EQ(sign, c.sign);
    EXPECT_EQ(whole, c.whole);
    EXPECT_EQ(minutes, c.minutes);
    EXPECT_TRUE(sameBits(c.seconds, seconds));
  }
}

using Compose = double (*)(int, int, int, double);

struct ComposeCase {
  char const* what;
  Compose compose;
  int sign, whole, minutes;
  double seconds;
  double expected;
};

ComposeCase const kComposes[] = {
    {"seconds of 60+ normalised", KestDMS2DMS, 1, 10, 59, 75.5, 11.00155},
    {"minutes of 60+ normalised", KestDMS2DMS, 1, 10, 125, 0.0, 12.05},
    {"exactly 60 seconds", KestDMS2DMS, 1, 0, 59, 60.0, 1.0},
    {"negative packed", KestDMS2DMS, -1, 10, 20, 30.0, -10.203},
    {"negative minutes subtract", KestDMS2DMS, 1, 10, -30, 0.0, 9.7},
    {"centesimal not normalised", KestGCCC2GCCC, 1, 10, 150, 0.0, 11.5},
    {"gon not normalised", KestGCCC2Grad, 1, 10, 150, 0.0, 11.5},
    {"sign from the sign argument", KestDMS2Deg, -1, 12, 30, 0.0, -12.5},
    {"degrees by magnitude", KestDMS2Deg, 1, -12, 30, 0.0, 12.5},
    {"negative seconds count as 0", KestDMS2Deg, 1, 12, 30, -5.0, 12.5},
    {"NaN seconds count as 0", KestDMS2Deg, 1, 12, 30, NAN, 12.5},
    {"magnitude of INT_MIN", KestDMS2Deg, 1, INT_MIN, 0, 0.0, 2147483648.0},
    {"radians", KestDMS2Rad, 1, 12, 30, 0.0, 0.2181661564992912},
    {"centesimal radians", KestGCCC2Rad, 1, 100, 0, 0.0, 1.5707963267948968},
};

TEST(AngleConversions, ComposeFromComponents) {
  for (ComposeCase const& c : kComposes) {
    SCOPED_TRACE(c.what);
    EXPECT_TRUE(sameBits(c.expected, c.compose(c.sign, c.whole, c.minutes, c.seconds)));
  }
}

TEST(AngleConversions, NormalisingSaturatesInsteadOfWrapping) {
  // Minutes from the seconds and degrees from the minutes pass INT_MAX; 1e300 is a whole number
  // of minutes.
  EXPECT_TRUE(sameBits(2147483647.07, KestDMS2DMS(1, INT_MAX, 59, 1e300)));
}

TEST(AngleConversions, RadiansAndPackedValues) {
  EXPECT_TRUE(sameBits(57.17448062470964, KestRad2DMS(1.0, 2)));
  EXPECT_TRUE(sameBits(-57.17448062470964, KestRad2DMS(-1.0, 2)));
  EXPECT_TRUE(sameBits(100.0, KestRad2GCCC(1.5707963267948966, 2)));
  EXPECT_TRUE(sameBits(63.66197723675813, KestRad2GCCC(1.0, 2)));
  EXPECT_TRUE(sameBits(3.141592653589793, KestDMS2Rad(180.0)));
  // 12.3 is 12 degrees 30 minutes.
  EXPECT_TRUE(sameBits(0.2181661564992912, KestDMS2Rad(12.3)));
  EXPECT_TRUE(sameBits(1.5707963267948968, KestGCCC2Rad(100.0)));
  EXPECT_TRUE(sameBits(-0.0, KestGCCC2Rad(-0.0)));
}

TEST(AngleConversions, SplitThenComposeGivesTheValueBack) {
  for (double const degrees : {12.5, -12.5, 0.25, 359.75, 123.456}) {
    int sign, whole, minutes;
    double seconds;
    KestDeg2DMS(degrees, sign, whole, minutes, seconds, -1);
    EXPECT_TRUE(sameBits(degrees, KestDMS2Deg(sign, whole, minutes, seconds)));
  }
  for (double const packed : {12.3456, -10.203, 0.0030}) {
    int sign, whole, minutes;
    double seconds;
    KestDMS2DMS(packed, sign, whole, minutes, seconds, -1);
    EXPECT_DOUBLE_EQ(packed, KestDMS2DMS(sign, whole, minutes, seconds));
  }
}

}  // namespace
