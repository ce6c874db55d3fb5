// CKestAngle: reduction by the unit's period, the getters, the sexagesimal split and the four
// increments. Every expected double is exact: compared bit for bit.

#include <gtest/gtest.h>

#include <cmath>

#include "angles/same_bits.h"
#include "kest011/angles.h"

namespace {

using kest::test::sameBits;

constexpr double kDegree = 0.017453292519943295;

TEST(Angle, SettersReduceByThePeriodAndKeepTheSign) {
  CKestAngle angle;
  EXPECT_TRUE(sameBits(0.0, angle.Rad()));
  angle.Deg(370.0);
  EXPECT_TRUE(sameBits(0.17453292519943295, angle.Rad()));
  EXPECT_TRUE(sameBits(10.0, angle.Deg()));
  angle.Deg(-30.0);
  EXPECT_TRUE(sameBits(-0.5235987755982988, angle.Rad()));
  EXPECT_TRUE(sameBits(-29.999999999999996, angle.Deg()));
  angle.Deg(-360.0);
  EXPECT_TRUE(sameBits(-0.0, angle.Rad()));
  angle.Rad(7.0);
  EXPECT_TRUE(sameBits(0.7168146928204138, angle.Rad()));
  angle.Rad(-7.0);
  EXPECT_TRUE(sameBits(-0.7168146928204138, angle.Rad()));
  // The Gon getter's factor is one unit above the nearest double to 200/pi.
  angle.Gon(100.0);
  EXPECT_TRUE(sameBits(1.5707963267948968, angle.Rad()));
  EXPECT_TRUE(sameBits(100.00000000000001, angle.Gon()));
  EXPECT_TRUE(sameBits(90.00000000000001, angle.Deg()));
}

TEST(Angle, ConstructorsTakeTheUnitOrDegreesMinutesSeconds) {
  EXPECT_TRUE(sameBits(0.0, CKestAngle(400.0, CKestAngle::eGon).Rad()));
  EXPECT_TRUE(sameBits(1.0, CKestAngle(1.0, CKestAngle::eDms).Rad()));
  EXPECT_TRUE(sameBits(0.7168146928204138, CKestAngle(7.0, CKestAngle::eAngleType(99)).Rad()));
  // Minutes only add: a negative angle with minutes needs a lower degree.
  EXPECT_TRUE(sameBits(-4.5, CKestAngle(-5, 30, 0.0).Deg()));
  EXPECT_TRUE(sameBits(0.19634954084936207, CKestAngle(10, 75, 0.0).Rad()));
  CKestAngle const copied(CKestAngle(-360.0, CKestAngle::eDeg));
  CKestAngle assigned;
  assigned = copied;
  EXPECT_TRUE(sameBits(-0.0, assigned.Rad()));
}

struct DmsCase {
  char const* what;
  double degrees;
  int precision;
  short wholeDegrees;
  unsigned short minutes;
  double seconds;
};

DmsCase const kDmsSplits[] = {
    {"exact", 12.5, 2, 12, 30, 0.0},
    {"carry to a degree", 359.9999999, 2, 360, 0, 0.0},
    {"no carry at 5 places", 359.9999999, 5, 359, 59, 59.999639999919054},
    {"negative minutes arrive as 65536 - k", -12.5, 2, -12, 65506, -0.0},
    {"below one degree", -0.5, 2, 0, 65506, -0.0},
    {"read back as 29.999999999999996", 30.0, 2, 30, 0, 0.0},
    {"negative seconds carry away from zero", -30.0, 2, -30, 0, -0.0},
    {"negative seconds at -1 do not carry", -30.0, -1, -29, 65477, -59.99999999998721},
    {"negative minutes carry too", -0.9999999, 2, -1, 0, -0.0},
};

TEST(Angle, GetDmsSplitsWithTheSignOnEveryPart) {
  for (DmsCase const& c : kDmsSplits) {
    SCOPED_TRACE(c.what);
    CKestAngle angle;
    angle.Deg(c.degrees);
    short degrees = 99;
    unsigned short minutes = 99;
    double seconds = 99.0;
    angle.GetDms(degrees, minutes, seconds, c.precision);
    EXPECT_EQ(degrees, c.wholeDegrees);
    EXPECT_EQ(minutes, c.minutes);
    EXPECT_TRUE(sameBits(c.seconds, seconds));
  }
}

TEST(Angle, SetDmsThenGetDms) {
  CKestAngle angle;
  angle.SetDms(10, 20, 30.0);
  EXPECT_TRUE(sameBits(10.341666666666667, angle.Deg()));
  for (int const precision : {2, -1}) {
    short degrees;
    unsigned short minutes;
    double seconds;
    angle.GetDms(degrees, minutes, seconds, precision);
    EXPECT_EQ(degrees, 10);
    EXPECT_EQ(minutes, 20);
    EXPECT_TRUE(sameBits(30.000000000000426, seconds));
  }
}

TEST(Angle, NotANumberSplitsIntoZerosAndNaN) {
  CKestAngle angle;
  angle.Deg(INFINITY);
  short degrees = 99;
  unsigned short minutes = 99;
  double seconds = 0.0;
  angle.GetDms(degrees, minutes, seconds, 2);
  EXPECT_EQ(degrees, 0);
  EXPECT_EQ(minutes, 0);
  EXPECT_TRUE(std::isnan(seconds));
}

TEST(Angle, OnlyAddRadLiftsNegativeResults) {
  CKestAngle angle;
  angle.AddRad(-10 * kDegree);
  EXPECT_TRUE(sameBits(6.1086523819801535, angle.Rad()));
  angle.Rad(0.0);
  angle.AddDeg(-10.0);
  EXPECT_TRUE(sameBits(6.1086523819801535, angle.Rad()));
  angle.Rad(0.0);
  angle.AddDms(-10, 0, 0.0);
  EXPECT_TRUE(sameBits(-0.17453292519943295, angle.Rad()));
  angle.Rad(0.0);
  angle.AddGon(-100.0);
  EXPECT_TRUE(sameBits(4.71238898038469, angle.Rad()));

  angle.Deg(-90.0);
  angle.AddDeg(10.0);
  EXPECT_TRUE(sameBits(-80.0, angle.Deg()));
  angle.Deg(-90.0);
  angle.AddRad(10 * kDegree);
  EXPECT_TRUE(sameBits(280.0, angle.Deg()));

  // A tiny negative sum lifted by 2 pi rounds up to exactly 2 pi.
  angle.Rad(-1e-17);
  angle.AddRad(0.0);
  EXPECT_TRUE(sameBits(6.283185307179586, angle.Rad()));
}

}  // namespace
