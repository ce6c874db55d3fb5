// Angles: the free conversions, CKestAngle and its text. Every expected double is exact (compared
// bit for bit: -0.0 is not 0.0), every text byte for byte; the degree mark is the byte B0.

#include "kest011/angles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <iomanip>
#include <string>
#include <tuple>

#include "tests/angles/known_angles.h"

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

TEST(KnownAngles, SplitWritesSignWholeMinutesAndSeconds) {
  for (kest::known::Split const& c : kest::known::kSplits) {
    int gotSign = 0, gotWhole = 0, gotMinutes = 0;
    double gotSeconds = -1.0;
    c.split(c.input, gotSign, gotWhole, gotMinutes, gotSeconds, c.precision);
    EXPECT_EQ(std::tie(gotSign, gotWhole, gotMinutes), std::tie(c.sign, c.whole, c.minutes))
        << c.what;
    EXPECT_TRUE(sameBits(c.seconds, gotSeconds)) << c.what;
  }
}

// The tables that the consumer program of the builds in Microsoft's ABI checks as well.
TEST(KnownAngles, ComposedAndPackedValues) {
  for (kest::known::AngleValue const& c : kest::known::kAngleValues)
    EXPECT_TRUE(sameBits(c.expected, c.compute())) << c.what;
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

TEST(KnownAngles, DecimalUnitsAsFixedPointDigits) {
  for (kest::known::DecimalText const& c : kest::known::kDecimalTexts)
    EXPECT_STREQ(kest::known::angleFrom(c.setter, c.value).AngleToString(c.unit, c.precision),
                 c.text)
        << c.value << " " << c.unit << " " << c.precision;
}

TEST(KnownAngles, SexagesimalFormsWithMarksPlainAndInColumns) {
  for (kest::known::DmsTexts const& c : kest::known::kDmsTexts)
    for (int i = 0; i < 3; ++i)
      EXPECT_STREQ(kest::known::angleFrom(c.setter, c.value)
                       .AngleToString(Unit(Angle::eDms + i), c.precision),
                   c.texts[i])
          << c.what;
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
