// Angles: the free conversions, CKestAngle and its text. Every expected double is exact (compared
// bit for bit: -0.0 is not 0.0), every text byte for byte; the degree mark is the byte B0.

#include "kest011/angles.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <tuple>
#include <vector>

#include "support/checks.h"
#include "tests/angles/known_angles.h"

namespace {

using kest::test::sameBits;
using Angle = CKestAngle;
using Unit = Angle::eAngleType;

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

using kest::known::kDenormal;
using kest::known::kTwoTo31;
double const kNaN = NAN, kInf = INFINITY;

// The tables that the consumer program of the builds in Microsoft's ABI checks as well.
TEST(KnownAngles, SplitsValuesAndTextsAsInEveryBuild) {
  kest::known::checkEveryRow([](bool same, char const* what) { EXPECT_TRUE(same) << what; });
}

TEST(Angle, SettersReduceByThePeriodAndOnlyAddRadLiftsBelowZero) {
  Angle const zero;
  for (auto const& [what, got, expected] :
       std::initializer_list<std::tuple<char const*, double, double>>{
           {"Deg(-360)", deg(-360.0).Rad(), -0.0},
           {"Rad(7)", rad(7.0).Rad(), 0.7168146928204138},
           {"Rad(-7)", rad(-7.0).Rad(), -0.7168146928204138},
           // The Gon getter's factor is one unit above the nearest double to 200/pi.
           {"Gon(100)", gon(100.0).Rad(), 1.5707963267948968},
           {"Gon(100) read", gon(100.0).Gon(), 100.00000000000001},
           {"400 gon", Angle(400.0, Angle::eGon).Rad(), 0.0},
           {"eDms takes radians", Angle(1.0, Angle::eDms).Rad(), 1.0},
           {"SetDms", Angle(10, 20, 30.0).Deg(), 10.341666666666667},
           {"minutes only add", Angle(-5, 30, 0.0).Deg(), -4.5},
           {"AddRad lifts to 2 pi", after(rad(-1e-17), &Angle::AddRad, 0.0).Rad(),
            6.283185307179586},
           {"AddDeg of -10 adds 350", after(zero, &Angle::AddDeg, -10.0).Rad(), 6.1086523819801535},
           {"AddGon of -100 adds 300", after(zero, &Angle::AddGon, -100.0).Rad(), 4.71238898038469},
           {"AddDms not lifted", after(zero, &Angle::AddDms, -10, 0, 0.0).Rad(),
            -0.17453292519943295},
       })
    EXPECT_TRUE(sameBits(expected, got)) << what;
}

TEST(Angle, GetDmsPutsTheSignOnEveryPartAndCarriesAwayFromZero) {
  // What, angle, precision; then degrees, minutes, seconds.
  std::tuple<char const*, Angle, int, short, unsigned short, double> const cases[] = {
      {"no carry at 5 places", deg(359.9999999), 5, 359, 59, 59.999639999919054},
      {"SetDms at 2", Angle(10, 20, 30.0), 2, 10, 20, 30.000000000000426},
      // modf's fraction of a whole negative number is -0.0 (MinGW's under Wine gives +0.0).
      {"negative minutes arrive as 65536 - k", deg(-12.5), 2, -12, 65506, -0.0},
      {"negative seconds at -1 do not", deg(-30.0), -1, -29, 65477, -59.99999999998721},
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

TEST(AngleText, PrecisionsBeyond37AreClampedAndFit) {
  Angle const angle = deg(-359.9999);
  for (Unit const unit : {Angle::eGon, Angle::eDms, Angle::eDmsColumns}) {
    std::string const at37 = angle.AngleToString(unit, 37);
    EXPECT_EQ(at37.size() - at37.find('.') - 1, unit == Angle::eDms ? 38u : 37u);
    EXPECT_EQ(angle.AngleToString(unit, 38), at37);
    EXPECT_EQ(angle.AngleToString(unit, INT_MIN), angle.AngleToString(unit, -37));
  }
}

// Callers read the text before the next call. Each kind of text has one buffer, compared by
// address: full texts; negative and compact ones; digits at precision 0 or below.
TEST(AngleText, EachKindOfTextReusesOneBufferThatTheNextCallOverwrites) {
  EXPECT_EQ(deg(12.5).AngleToString(Angle::eDmsPlain, 2), rad(0).AngleToString(Angle::eDms, 0));
  EXPECT_EQ(deg(-12.5).AngleToString(Angle::eDms, 2), rad(0).AngleToString(Angle::eDms, -1));
  char const* digits = deg(45.0).AngleToString(Angle::eDeg, 0);
  rad(0.5).AngleToString(Angle::eRad, 4);
  EXPECT_STREQ(digits, "5000");
}

// Whatever gets in, by any setter or increment, the angle stays within a full circle (or
// NaN), its parts within their ranges, and every text within its buffer: 51 characters.
TEST(Angle, EveryWayInKeepsTheAngleItsPartsAndItsTextsInRange) {
  for (double v : {kNaN, kInf, -kInf, kDenormal, -kDenormal, DBL_MIN, DBL_MAX, -DBL_MAX, 1e300,
                   -1e20, kTwoTo31, -kTwoTo31 - 1, 9.3e18, 65536.5, -0.0}) {
    std::vector<Angle> angles;
    for (int unit = -1; unit <= 6; ++unit) angles.emplace_back(v, Unit(unit));
    for (Setter setter :
         {&Angle::Rad, &Angle::Deg, &Angle::Gon, &Angle::AddRad, &Angle::AddDeg, &Angle::AddGon})
      angles.push_back(after(Angle(-1.0, Angle::eRad), setter, v));
    for (short degrees : {short{SHRT_MIN}, short{SHRT_MAX}})
      for (unsigned short minutes : {0, USHRT_MAX}) {
        angles.emplace_back(degrees, minutes, v);
        angles.push_back(after(Angle(-1.0, Angle::eRad), &Angle::AddDms, degrees, minutes, v));
      }
    for (Angle const& angle : angles) {
      double const radians = angle.Rad();
      EXPECT_TRUE(std::isnan(radians) || std::fabs(radians) <= 6.283185307179586) << v;
      for (int precision : {INT_MIN, -38, -37, -1, 0, 1, 37, 38, INT_MAX}) {
        short degrees = 0;
        unsigned short minutes = 0;
        double seconds = 0.0;
        angle.GetDms(degrees, minutes, seconds, precision);
        EXPECT_LE(std::abs(degrees), 360) << radians;
        EXPECT_LE(std::abs(static_cast<short>(minutes)), 59) << radians;  // -k is 65536 - k
        EXPECT_TRUE(std::isnan(seconds) || std::fabs(seconds) < 60.0) << radians;
        for (int unit = -1; unit <= 6; ++unit)
          EXPECT_LE(std::strlen(angle.AngleToString(Unit(unit), precision)), 51u)
              << radians << " " << unit << " " << precision;
      }
    }
  }
}

}  // namespace
