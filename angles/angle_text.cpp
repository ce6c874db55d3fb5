// CKestAngle's text: decimal units as fixed-point digits, degrees-minutes-seconds with fixed
// formats, all in module-static storage shared by every angle.

#include <math.h>
#include <stdlib.h>

#include "angles/angle_arithmetic.h"
#include "frame/bounded_text.h"
#include "frame/decimal_digits.h"
#include "kest011/angles.h"

using namespace kest::angles;

namespace {

// Precisions of larger magnitude are clamped to this; with it every text fits its buffer.
constexpr int kMaxPrecision = 37;

// Each holds 51 characters and the terminating zero.
using AngleText = char[52];
AngleText g_decimalText;  // decimal units at a precision above 0
AngleText g_secondsText;  // the seconds of a sexagesimal text
AngleText g_dmsText;      // the full sexagesimal text, without sign
AngleText g_dmsResult;    // a negative angle's full text; the compact texts
char g_emptyText[1];      // for units the class does not know

// The digits of the last conversion. A text at precision 0 or below is these digits as they
// stand, the contract of the runtime's _fcvt; the library converts exactly instead, because the
// runtimes' own _fcvt round halves and negative places differently from one another.
kest::DecimalDigits g_digits;

char const kZeros[] = "0000000000000000000000000000000000000";
static_assert(sizeof kZeros == kMaxPrecision + 1);

int clampedPrecision(int precision) {
  if (precision > kMaxPrecision) return kMaxPrecision;
  if (precision < -kMaxPrecision) return -kMaxPrecision;
  return precision;
}

// Writes g_digits after `sign` as whole digits (`noWhole` when there are none), then the point
// and `places` places when there are any. Every angle fits: the class holds none of more than
// three whole digits in any unit.
void writeFixedPoint(AngleText& text, char const* sign, char const* noWhole, int places) {
  int const wholeDigits = g_digits.point > 0 ? g_digits.point : 0;
  int const leadingZeros = g_digits.point < 0 ? -g_digits.point : 0;
  AngleText whole;
  kest::copyCut(whole, g_digits.digits, static_cast<size_t>(wholeDigits));
  if (!kest::join(text, sign, wholeDigits == 0 ? noWhole : whole, places > 0 ? "." : "",
                  kZeros + kMaxPrecision - leadingZeros, g_digits.digits + wholeDigits))
    text[0] = '\0';
}

// Seconds at `places` places in C's fixed notation: a sign for any negative value, -0.0
// included, and 0 before the point of a value below 1.
char const* secondsText(double seconds, int places) {
  if (!isfinite(seconds)) return isnan(seconds) ? "nan" : signbit(seconds) ? "-inf" : "inf";
  kest::decimalDigits(seconds, places, g_digits);
  writeFixedPoint(g_secondsText, signbit(seconds) ? "-" : "", "0", places);
  return g_secondsText;
}

// How one sexagesimal unit writes its numbers: the marks after degrees, minutes and seconds,
// and the fields that the columns give them (0: as wide as the number). The seconds' field
// holds two whole digits, the point and the places.
struct DmsForm {
  char const* afterDegrees;
  char const* afterMinutes;
  char const* afterSeconds;
  int degreesWidth;
  int minutesWidth;
  bool columns;

  int secondsWidth(int places) const { return columns ? places + 3 : 0; }
};

DmsForm const kDmsForms[] = {
    {"\xB0 ", "' ", "\"", 0, 0, false},
    {" ", " ", "", 0, 0, false},
    {" ", " ", "", 3, 2, true},
};

DmsForm const& formOf(CKestAngle::eAngleType unit) { return kDmsForms[unit - CKestAngle::eDms]; }

struct Dms {
  int degrees;
  int minutes;  // negative for a negative angle
  double seconds;
  bool negative;  // the angle is below 0.0 (-0.0 is not)
};

// An angle below one degree at a negative precision: its sign goes on the first number shown.
char const* compactText(DmsForm const& form, Dms const& dms, int places) {
  if (dms.minutes != 0) {
    kest::format(g_dmsResult, "%*d%s%*s%s", form.minutesWidth, dms.minutes, form.afterMinutes,
                 form.secondsWidth(places), secondsText(fabs(dms.seconds), places),
                 form.afterSeconds);
  } else {
    // Only a negative angle shows a sign: not -0.0, not a NaN's sign bit.
    double const seconds = dms.negative ? dms.seconds : fabs(dms.seconds);
    kest::format(g_dmsResult, "%*s%s", form.secondsWidth(places), secondsText(seconds, places),
                 form.afterSeconds);
  }
  return g_dmsResult;
}

char const* fullText(DmsForm const& form, Dms const& dms, int places) {
  kest::format(g_dmsText, "%*d%s%*d%s%*s%s", form.degreesWidth, abs(dms.degrees), form.afterDegrees,
               form.minutesWidth, abs(dms.minutes), form.afterMinutes, form.secondsWidth(places),
               secondsText(fabs(dms.seconds), places), form.afterSeconds);
  if (!dms.negative) return g_dmsText;
  kest::format(g_dmsResult, "-%s", g_dmsText);
  return g_dmsResult;
}

}  // namespace

const char* CKestAngle::AngleToString(eAngleType unit, int precision) const {
  int const places = clampedPrecision(precision);
  switch (unit) {
    case eRad:
      return RadDegGonToString(Rad(), places);
    case eDeg:
      return RadDegGonToString(Deg(), places);
    case eGon:
      return RadDegGonToString(Gon(), places);
    case eDms:
    case eDmsPlain:
    case eDmsColumns:
      break;
    default:
      return g_emptyText;
  }
  // Shown at |precision| places, so split with |precision| too: its carry keeps the seconds from
  // showing as 60 at a negative precision as well.
  int const shownPlaces = abs(places);
  short degrees = 0;
  unsigned short minutes = 0;
  double seconds = 0.0;
  GetDms(degrees, minutes, seconds, shownPlaces);
  // Minutes below zero arrive as 65536 - k.
  int const signedMinutes = minutes > SHRT_MAX ? minutes - 65536 : minutes;
  Dms const dms{degrees, signedMinutes, seconds, m_dRad < 0.0};
  DmsForm const& form = formOf(unit);
  if (places < 0 && degrees == 0) return compactText(form, dms, shownPlaces);
  return fullText(form, dms, shownPlaces);
}

const char* CKestAngle::RadDegGonToString(const double& value, int precision) const {
  if (!isfinite(value)) {
    kest::copyCut(g_decimalText, isnan(value) ? "nan" : "inf");
    return g_decimalText;
  }
  kest::decimalDigits(value, precision, g_digits);
  if (precision <= 0) return g_digits.digits;
  writeFixedPoint(g_decimalText, "", "", precision);
  return g_decimalText;
}
