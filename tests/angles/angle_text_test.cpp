// CKestAngle::AngleToString: decimal units as fixed-point digits, the three sexagesimal forms,
// and the shared buffers. Texts are single-byte, the degree mark is the byte B0.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "kest011/angles.h"

namespace {

using Unit = CKestAngle::eAngleType;

CKestAngle fromRadians(double radians) { return CKestAngle(radians, CKestAngle::eRad); }
CKestAngle fromDegrees(double degrees) { return CKestAngle(degrees, CKestAngle::eDeg); }

struct TextCase {
  char const* what;
  CKestAngle angle;
  Unit unit;
  int precision;
  char const* expected;
};

// Radians whose degrees read back exactly as 149.5, 350.0, 150.0 and 50.0.
TextCase const kDecimalTexts[] = {
    {"45 at 0", fromDegrees(45.0), CKestAngle::eDeg, 0, "45"},
    {"below 1 at 0", fromRadians(0.4), CKestAngle::eRad, 0, ""},
    {"tens", fromDegrees(123.0), CKestAngle::eDeg, -1, "12"},
    {"hundreds", fromDegrees(123.0), CKestAngle::eDeg, -2, "1"},
    {"thousands", fromDegrees(123.0), CKestAngle::eDeg, -3, ""},
    {"no sign", fromDegrees(-30.0), CKestAngle::eDeg, 2, "30.00"},
    {"gon", CKestAngle(100.0, CKestAngle::eGon), CKestAngle::eGon, 3, "100.000"},
    {"no whole digit below 1", fromRadians(0.5), CKestAngle::eRad, 4, ".5000"},
    {"leading zeros", fromRadians(0.05), CKestAngle::eRad, 4, ".0500"},
    {"zero", CKestAngle(), CKestAngle::eRad, 2, ".00"},
    {"round into a new digit", fromDegrees(99.99), CKestAngle::eDeg, 1, "100.0"},
    {"half to even, down", fromRadians(2.5), CKestAngle::eRad, 0, "2"},
    {"half to even, places", fromRadians(0.125), CKestAngle::eRad, 2, ".12"},
    {"half to even, up", fromRadians(0.375), CKestAngle::eRad, 2, ".38"},
    {"149.5 at 0", fromRadians(2.6092672317315224), CKestAngle::eDeg, 0, "150"},
    {"149.5 at -1", fromRadians(2.6092672317315224), CKestAngle::eDeg, -1, "15"},
    {"149.5 at -2 rounds once", fromRadians(2.6092672317315224), CKestAngle::eDeg, -2, "1"},
    {"350 at -2, half up to even", fromRadians(6.1086523819801535), CKestAngle::eDeg, -2, "4"},
    {"150 at -2", fromRadians(2.6179938779914944), CKestAngle::eDeg, -2, "2"},
    {"50 at -2, half down to even", fromRadians(0.8726646259971648), CKestAngle::eDeg, -2, ""},
    {"NaN", fromRadians(NAN), CKestAngle::eDeg, 2, "nan"},
    {"unknown unit", fromDegrees(12.5), Unit(6), 2, ""},
    {"negative unit", fromDegrees(12.5), Unit(-1), 2, ""},
};

TextCase const kDmsTexts[] = {
    {"marks", fromDegrees(12.5), CKestAngle::eDms, 2, "12\xB0 30' 0.00\""},
    {"plain", fromDegrees(12.5), CKestAngle::eDmsPlain, 2, "12 30 0.00"},
    {"columns", fromDegrees(12.5), CKestAngle::eDmsColumns, 2, " 12 30  0.00"},
    {"negative marks", fromDegrees(-12.5), CKestAngle::eDms, 2, "-12\xB0 30' 0.00\""},
    {"negative plain", fromDegrees(-12.5), CKestAngle::eDmsPlain, 2, "-12 30 0.00"},
    {"negative columns", fromDegrees(-12.5), CKestAngle::eDmsColumns, 2, "- 12 30  0.00"},
    {"read back below 30", fromDegrees(30.0), CKestAngle::eDmsPlain, 2, "30 0 0.00"},
    {"no places", fromDegrees(10.0), CKestAngle::eDmsPlain, 0, "10 0 0"},
    {"no places, columns", fromDegrees(10.0), CKestAngle::eDmsColumns, 0, " 10  0   0"},
    {"compact marks", fromDegrees(0.5), CKestAngle::eDms, -1, "30' 0.0\""},
    {"compact plain", fromDegrees(0.5), CKestAngle::eDmsPlain, -1, "30 0.0"},
    {"compact columns", fromDegrees(0.5), CKestAngle::eDmsColumns, -1, "30  0.0"},
    {"compact seconds, marks", fromDegrees(0.01), CKestAngle::eDms, -1, "36.0\""},
    {"compact seconds, plain", fromDegrees(0.01), CKestAngle::eDmsPlain, -1, "36.0"},
    {"compact seconds, columns", fromDegrees(0.01), CKestAngle::eDmsColumns, -1, "36.0"},
    {"compact negative marks", fromDegrees(-0.5), CKestAngle::eDms, -1, "-30' 0.0\""},
    {"compact negative plain", fromDegrees(-0.5), CKestAngle::eDmsPlain, -1, "-30 0.0"},
    {"compact negative columns", fromDegrees(-0.5), CKestAngle::eDmsColumns, -1, "-30  0.0"},
    {"compact negative seconds", fromDegrees(-0.005), CKestAngle::eDmsPlain, -1, "-18.0"},
    {"zero", CKestAngle(), CKestAngle::eDmsPlain, 2, "0 0 0.00"},
    {"zero, compact", CKestAngle(), CKestAngle::eDmsPlain, -2, "0.00"},
    {"negative seconds carry", fromDegrees(-30.0), CKestAngle::eDmsPlain, 2, "-30 0 0.00"},
    {"carry at a negative precision", fromDegrees(30.0), CKestAngle::eDmsPlain, -2, "30 0 0.00"},
    {"carry leaves the compact form", fromDegrees(0.9999999), CKestAngle::eDmsPlain, -2,
     "1 0 0.00"},
    {"-0.0 has no sign", fromDegrees(-360.0), CKestAngle::eDmsPlain, 2, "0 0 0.00"},
    {"-0.0 has no sign, compact", fromDegrees(-360.0), CKestAngle::eDmsPlain, -2, "0.00"},
    {"-0.0 has no sign, columns", fromDegrees(-360.0), CKestAngle::eDmsColumns, -1, " 0.0"},
    {"NaN", fromRadians(NAN), CKestAngle::eDmsPlain, 2, "0 0 nan"},
    {"NaN, compact", CKestAngle(INFINITY, CKestAngle::eDeg), CKestAngle::eDms, -1, "nan\""},
};

void expectTexts(TextCase const* begin, TextCase const* end) {
  for (TextCase const* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->what);
    EXPECT_STREQ(c->angle.AngleToString(c->unit, c->precision), c->expected);
  }
}

TEST(AngleText, DecimalUnitsAsFixedPointDigits) {
  expectTexts(std::begin(kDecimalTexts), std::end(kDecimalTexts));
}

TEST(AngleText, SexagesimalForms) { expectTexts(std::begin(kDmsTexts), std::end(kDmsTexts)); }

TEST(AngleText, PrecisionsBeyond37AreClampedAndFit) {
  CKestAngle const angle = fromDegrees(-359.9999);
  for (Unit const unit : {CKestAngle::eGon, CKestAngle::eDms, CKestAngle::eDmsColumns}) {
    std::string const at37 = angle.AngleToString(unit, 37);
    EXPECT_LE(at37.size(), 51u);
    EXPECT_EQ(at37.size() - at37.find('.') - 1, unit == CKestAngle::eDms ? 38u : 37u);
    EXPECT_EQ(angle.AngleToString(unit, 38), at37);
    EXPECT_EQ(angle.AngleToString(unit, INT_MAX), at37);
    EXPECT_EQ(angle.AngleToString(unit, INT_MIN), angle.AngleToString(unit, -37));
  }
}

TEST(AngleText, CallsWritingTheSameBufferShareIt) {
  char const* first = fromDegrees(12.5).AngleToString(CKestAngle::eDmsPlain, 2);
  char const* second = fromDegrees(10.0).AngleToString(CKestAngle::eDmsPlain, 0);
  EXPECT_EQ(first, second);
  EXPECT_STREQ(first, "10 0 0");
  // A negative angle's full text and the compact texts share one buffer.
  char const* negative = fromDegrees(-12.5).AngleToString(CKestAngle::eDms, 2);
  char const* compact = fromDegrees(0.5).AngleToString(CKestAngle::eDmsPlain, -1);
  EXPECT_EQ(negative, compact);
  // So do every decimal text at a precision of 0 or less and the digits of the others.
  char const* digits = fromDegrees(45.0).AngleToString(CKestAngle::eDeg, 0);
  fromRadians(0.5).AngleToString(CKestAngle::eRad, 4);
  EXPECT_STREQ(digits, "5000");
}

}  // namespace
