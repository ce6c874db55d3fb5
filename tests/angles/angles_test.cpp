// Angles: the free conversions, CKestAngle and its text. Every expected double is exact (compared
// bit for bit: -0.0 is not 0.0), every text byte for byte; the degree mark is the byte B0.

#include "kest011/angles.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iomanip>
#include <string>
#include <tuple>

namespace {

using Angle = CKestAngle;
using Unit = Angle::eAngleType;

// Same bits, or both NaN.
::testing::AssertionResult sameBits(double expected, double actual) {
  std::uint64_t expectedBits, actualBits;
  std::memcpy(&expectedBits, &expected, sizeof expected);
  std::memcpy(&actualBits, &actual, sizeof actual);
  if (expectedBits == actualBits || (std::isnan(expected) && std::isnan(actual)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure(::testing::Message() << std::setprecision(17) << "expected "
                                                          << expected << ", got " << actual);
}

// Exact doubles, one per case.
struct Exact {
  char const* what;
  double got, expected;
};
void expectExact(std::initializer_list<Exact> cases) {
  for (Exact const& c : cases) EXPECT_TRUE(sameBits(c.expected, c.got)) << c.what;
}

// The angle left by one call of a setter or an increment on a copy of `angle`.
template <class Member, class... Args>
Angle after(Angle angle, Member member, Args... args) {
  (angle.*member)(args...);
  return angle;
}
using Setter = void (Angle::*)(const double&);
Angle rad(double radians) { return after(Angle(), Setter(&Angle::Rad), radians); }
Angle deg(double degrees) { return after(Angle(), Setter(&Angle::Deg), degrees); }
Angle gon(double gon) { return after(Angle(), Setter(&Angle::Gon), gon); }

using Split = void (*)(double, int&, int&, int&, double&, int);

TEST(AngleConversions, SplitWritesSignWholeMinutesAndSeconds) {
  // What, splitter, input, precision; then sign, whole units, minutes, seconds.
  std::tuple<char const*, Split, double, int, int, int, int, double> const cases[] = {
      {"negative input, positive parts", KestDeg2DMS, -12.5, 0, -1, 12, 30, 0.0},
      {"carry up to a degree", KestDeg2DMS, 10.999999, 2, 1, 11, 0, 0.0},
      {"no carry at 3 places", KestDeg2DMS, 10.999999, 3, 1, 10, 59, 59.996400000002694},
      {"no carry at -1", KestDeg2DMS, 10.999999, -1, 1, 10, 59, 59.996400000002694},
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
      {"NaN", KestDeg2DMS, NAN, 2, -1, 0, 0, 0.0},
      {"infinity saturates", KestRad2DMS, INFINITY, 2, 1, INT_MAX, 0, 0.0},
      {"huge packed saturates", KestGCCC2GCCC, -1e300, 2, -1, INT_MAX, 0, 0.0},
      {"carry into the largest int", KestDeg2DMS, 2147483647.9999998, 2, 1, INT_MAX, 0, 0.0},
  };
  for (auto const& [what, split, input, precision, sign, whole, minutes, seconds] : cases) {
    int gotSign = 0, gotWhole = 0, gotMinutes = 0;
    double gotSeconds = -1.0;
    split(input, gotSign, gotWhole, gotMinutes, gotSeconds, precision);
    EXPECT_EQ(std::tie(gotSign, gotWhole, gotMinutes), std::tie(sign, whole, minutes)) << what;
    EXPECT_TRUE(sameBits(seconds, gotSeconds)) << what;
  }
}

TEST(AngleConversions, ComposedAndPackedValues) {
  expectExact({
      {"seconds of 60+ carried", KestDMS2DMS(1, 10, 59, 75.5), 11.00155},
      {"minutes of 60+ carried", KestDMS2DMS(1, 10, 125, 0.0), 12.05},
      {"exactly 60 seconds", KestDMS2DMS(1, 0, 59, 60.0), 1.0},
      {"negative packed", KestDMS2DMS(-1, 10, 20, 30.0), -10.203},
      {"negative minutes subtract", KestDMS2DMS(1, 10, -30, 0.0), 9.7},
      // 1e300 seconds is a whole number of minutes.
      {"carries saturate", KestDMS2DMS(1, INT_MAX, 59, 1e300), 2147483647.07},
      {"centesimal not carried", KestGCCC2GCCC(1, 10, 150, 0.0), 11.5},
      {"sign from the sign argument", KestDMS2Deg(-1, 12, 30, 0.0), -12.5},
      {"degrees by magnitude", KestDMS2Deg(1, -12, 30, 0.0), 12.5},
      {"negative seconds count as 0", KestDMS2Deg(1, 12, 30, -5.0), 12.5},
      {"NaN seconds count as 0", KestDMS2Deg(1, 12, 30, NAN), 12.5},
      {"magnitude of INT_MIN", KestDMS2Deg(1, INT_MIN, 0, 0.0), 2147483648.0},
      {"packed to radians", KestDMS2Rad(180.0), 3.141592653589793},
      {"12.3 is 12 deg 30 min", KestDMS2Rad(12.3), 0.2181661564992912},
      {"packed gon to radians", KestGCCC2Rad(100.0), 1.5707963267948968},
      {"radians to packed", KestRad2DMS(1.0, 2), 57.17448062470964},
      {"negative radians to packed", KestRad2DMS(-1.0, 2), -57.17448062470964},
      {"radians to packed gon", KestRad2GCCC(1.5707963267948966, 2), 100.0},
      {"1 radian to packed gon", KestRad2GCCC(1.0, 2), 63.66197723675813},
  });
}

TEST(AngleConversions, SplitThenComposeGivesTheValueBack) {
  int sign, whole, minutes;
  double seconds;
  for (double const degrees : {12.5, -12.5, 0.25, 359.75, 123.456}) {
    KestDeg2DMS(degrees, sign, whole, minutes, seconds, -1);
    EXPECT_TRUE(sameBits(degrees, KestDMS2Deg(sign, whole, minutes, seconds)));
  }
}

TEST(Angle, SettersReduceByThePeriodAndOnlyAddRadLiftsBelowZero) {
  Angle const zero;
  expectExact({
      {"Deg(370)", deg(370.0).Rad(), 0.17453292519943295},
      {"Deg(370) read", deg(370.0).Deg(), 10.0},
      {"Deg(-30)", deg(-30.0).Rad(), -0.5235987755982988},
      {"Deg(-30) read", deg(-30.0).Deg(), -29.999999999999996},
      {"Deg(-360)", deg(-360.0).Rad(), -0.0},
      {"Rad(7)", rad(7.0).Rad(), 0.7168146928204138},
      {"Rad(-7)", rad(-7.0).Rad(), -0.7168146928204138},
      // The Gon getter's factor is one unit above the nearest double to 200/pi.
      {"Gon(100)", gon(100.0).Rad(), 1.5707963267948968},
      {"Gon(100) read", gon(100.0).Gon(), 100.00000000000001},
      {"Gon(100) read in degrees", gon(100.0).Deg(), 90.00000000000001},
      {"400 gon", Angle(400.0, Angle::eGon).Rad(), 0.0},
      {"eDms takes radians", Angle(1.0, Angle::eDms).Rad(), 1.0},
      {"SetDms", Angle(10, 20, 30.0).Deg(), 10.341666666666667},
      {"minutes only add", Angle(-5, 30, 0.0).Deg(), -4.5},
      {"AddRad lifts to 2 pi", after(rad(-1e-17), &Angle::AddRad, 0.0).Rad(), 6.283185307179586},
      {"AddDeg of -10 adds 350", after(zero, &Angle::AddDeg, -10.0).Rad(), 6.1086523819801535},
      {"negative sum kept", after(deg(-90.0), &Angle::AddDeg, 10.0).Rad(), -1.3962634015954636},
      {"AddGon of -100 adds 300", after(zero, &Angle::AddGon, -100.0).Rad(), 4.71238898038469},
      {"AddDms not lifted", after(zero, &Angle::AddDms, -10, 0, 0.0).Rad(), -0.17453292519943295},
  });
}

TEST(Angle, GetDmsPutsTheSignOnEveryPartAndCarriesAwayFromZero) {
  // What, angle, precision; then degrees, minutes, seconds.
  std::tuple<char const*, Angle, int, short, unsigned short, double> const cases[] = {
      {"exact", deg(12.5), 2, 12, 30, 0.0},
      {"carry to a degree", deg(359.9999999), 2, 360, 0, 0.0},
      {"no carry at 5 places", deg(359.9999999), 5, 359, 59, 59.999639999919054},
      {"SetDms at 2", Angle(10, 20, 30.0), 2, 10, 20, 30.000000000000426},
      {"SetDms at -1", Angle(10, 20, 30.0), -1, 10, 20, 30.000000000000426},
      // modf's fraction of a whole negative number is -0.0 (MinGW's under Wine gives +0.0).
      {"negative minutes arrive as 65536 - k", deg(-12.5), 2, -12, 65506, -0.0},
      {"below one degree", deg(-0.5), 2, 0, 65506, -0.0},
      {"negative seconds carry", deg(-30.0), 2, -30, 0, -0.0},
      {"negative seconds at -1 do not", deg(-30.0), -1, -29, 65477, -59.99999999998721},
      {"negative minutes carry too", deg(-0.9999999), 2, -1, 0, -0.0},
      {"NaN", deg(INFINITY), 2, 0, 0, NAN},
  };
  for (auto const& [what, angle, precision, degrees, minutes, seconds] : cases) {
    short gotDegrees = 99;
    unsigned short gotMinutes = 99;
    double gotSeconds = 99.0;
    angle.GetDms(gotDegrees, gotMinutes, gotSeconds, precision);
    EXPECT_EQ(std::tie(gotDegrees, gotMinutes), std::tie(degrees, minutes)) << what;
    EXPECT_TRUE(sameBits(seconds, gotSeconds)) << what;
  }
}

TEST(AngleText, DecimalUnitsAsFixedPointDigits) {
  // Radians whose degrees read back exactly as 149.5, 350.0 and 50.0.
  double const r149_5 = 2.6092672317315224, r350 = 6.1086523819801535, r50 = 0.8726646259971648;
  std::tuple<Angle, Unit, int, char const*> const cases[] = {
      {deg(45.0), Angle::eDeg, 0, "45"},     {rad(0.4), Angle::eRad, 0, ""},
      {deg(-30.0), Angle::eDeg, 2, "30.00"}, {gon(100.0), Angle::eGon, 3, "100.000"},
      {rad(0.5), Angle::eRad, 4, ".5000"},   {rad(0.05), Angle::eRad, 4, ".0500"},
      {Angle(), Angle::eRad, 2, ".00"},      {deg(99.99), Angle::eDeg, 1, "100.0"},
      {rad(0.125), Angle::eRad, 2, ".12"},   {rad(r149_5), Angle::eDeg, 0, "150"},
      {rad(r149_5), Angle::eDeg, -2, "1"},   {rad(r350), Angle::eDeg, -2, "4"},
      {rad(r50), Angle::eDeg, -2, ""},       {rad(NAN), Angle::eDeg, 2, "nan"},
      {deg(12.5), Unit(6), 2, ""},           {deg(12.5), Unit(-1), 2, ""},
  };
  for (auto const& [angle, unit, precision, expected] : cases)
    EXPECT_STREQ(angle.AngleToString(unit, precision), expected) << angle.Rad() << " " << unit;
}

TEST(AngleText, SexagesimalFormsWithMarksPlainAndInColumns) {
  // What, angle, precision; then the texts of eDms, eDmsPlain and eDmsColumns.
  std::tuple<char const*, Angle, int, std::array<char const*, 3>> const cases[] = {
      {"12.5", deg(12.5), 2, {"12\xB0 30' 0.00\"", "12 30 0.00", " 12 30  0.00"}},
      {"-12.5", deg(-12.5), 2, {"-12\xB0 30' 0.00\"", "-12 30 0.00", "- 12 30  0.00"}},
      {"no places", deg(10.0), 0, {"10\xB0 0' 0\"", "10 0 0", " 10  0   0"}},
      {"compact", deg(0.5), -1, {"30' 0.0\"", "30 0.0", "30  0.0"}},
      {"compact seconds", deg(0.01), -1, {"36.0\"", "36.0", "36.0"}},
      {"compact negative", deg(-0.5), -1, {"-30' 0.0\"", "-30 0.0", "-30  0.0"}},
      {"compact negative seconds", deg(-0.005), -1, {"-18.0\"", "-18.0", "-18.0"}},
      {"zero, compact", Angle(), -2, {"0.00\"", "0.00", " 0.00"}},
      {"-0.0 has no sign", deg(-360.0), 2, {"0\xB0 0' 0.00\"", "0 0 0.00", "  0  0  0.00"}},
      {"-0.0 has no sign, compact", deg(-360.0), -1, {"0.0\"", "0.0", " 0.0"}},
      // Carried, at |p| places too: 30 reads back as 29.999999999999996, 0.9999999 gives 1.
      {"30", deg(30.0), 2, {"30\xB0 0' 0.00\"", "30 0 0.00", " 30  0  0.00"}},
      {"-30", deg(-30.0), 2, {"-30\xB0 0' 0.00\"", "-30 0 0.00", "- 30  0  0.00"}},
      {"30 at -2", deg(30.0), -2, {"30\xB0 0' 0.00\"", "30 0 0.00", " 30  0  0.00"}},
      {"0.9999999 at -2", deg(0.9999999), -2, {"1\xB0 0' 0.00\"", "1 0 0.00", "  1  0  0.00"}},
      {"NaN", rad(NAN), 2, {"0\xB0 0' nan\"", "0 0 nan", "  0  0   nan"}},
  };
  for (auto const& [what, angle, precision, texts] : cases)
    for (int i = 0; i < 3; ++i)
      EXPECT_STREQ(angle.AngleToString(Unit(Angle::eDms + i), precision), texts[i]) << what;
}

TEST(AngleText, PrecisionsBeyond37AreClampedAndFit) {
  Angle const angle = deg(-359.9999);
  for (Unit const unit : {Angle::eGon, Angle::eDms, Angle::eDmsColumns}) {
    std::string const at37 = angle.AngleToString(unit, 37);
    EXPECT_LE(at37.size(), 51u);
    EXPECT_EQ(at37.size() - at37.find('.') - 1, unit == Angle::eDms ? 38u : 37u);
    EXPECT_EQ(angle.AngleToString(unit, 38), at37);
    EXPECT_EQ(angle.AngleToString(unit, INT_MAX), at37);
    EXPECT_EQ(angle.AngleToString(unit, INT_MIN), angle.AngleToString(unit, -37));
  }
}

TEST(AngleText, CallsWritingTheSameBufferShareIt) {
  char const* first = deg(12.5).AngleToString(Angle::eDmsPlain, 2);
  EXPECT_EQ(first, deg(10.0).AngleToString(Angle::eDmsPlain, 0));
  EXPECT_STREQ(first, "10 0 0");
  // A negative angle's full text and the compact texts share one buffer.
  char const* negative = deg(-12.5).AngleToString(Angle::eDms, 2);
  EXPECT_EQ(negative, deg(0.5).AngleToString(Angle::eDmsPlain, -1));
  // So do every decimal text at a precision of 0 or less and the digits of the others.
  char const* digits = deg(45.0).AngleToString(Angle::eDeg, 0);
  rad(0.5).AngleToString(Angle::eRad, 4);
  EXPECT_STREQ(digits, "5000");
}

}  // namespace
