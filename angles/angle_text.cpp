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

// The formats of one sexagesimal unit: the full text, and the compact texts of an angle below
// one degree with minutes and with seconds only. The column formats take a field width before
// the seconds.
struct DmsFormats {
  char const* full;
  char const* minutesAndSeconds;
  char const* secondsOnly;
  bool columns;
};

DmsFormats const kDmsFormats[] = {
    {"%d\xB0 %d' %s\"", "%d' %s\"", "%s\"", false},
    {"%d %d %s", "%d %s", "%s", false},
    {"%3d %2d %*s", "%2d %*s", "%*s", true},
};

DmsFormats const& formatsOf(CKestAngle::eAngleType unit) {
  return kDmsFormats[unit - CKestAngle::eDms];
}

// Writes `format` with the whole numbers, then the seconds at `places` places; the column
// formats take a field width of places + 3 first (two whole digits, the point, the places).
template <class... Wholes>
void writeDms(AngleText& text, DmsFormats const& formats, char const* format, int places,
              double seconds, Wholes... wholes) {
  char const* const shown = secondsText(seconds, places);
  if (formats.columns)
    kest::format(text, format, wholes..., places + 3, shown);
  else
    kest::format(text, format, wholes..., shown);
}

struct Dms {
  int degrees;
  int minutes;  // negative for a negative angle
  double seconds;
  bool negative;  // the angle is below 0.0 (-0.0 is not)
};

// An angle below one degree at a negative precision: its sign goes on the first number shown.
char const* compactText(DmsFormats const& formats, Dms const& dms, int places) {
  if (dms.minutes != 0) {
    writeDms(g_dmsResult, formats, formats.minutesAndSeconds, places, fabs(dms.seconds),
             dms.minutes);
  } else {
    // Only a negative angle shows a sign: not -0.0, not a NaN's sign bit.
    double const seconds = dms.negative ? dms.seconds : fabs(dms.seconds);
    writeDms(g_dmsResult, formats, formats.secondsOnly, places, seconds);
  }
  return g_dmsResult;
}

char const* fullText(DmsFormats const& formats, Dms const& dms, int places) {
  writeDms(g_dmsText, formats, formats.full, places, fabs(dms.seconds), abs(dms.degrees),
           abs(dms.minutes));
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
  DmsFormats const& formats = formatsOf(unit);
  if (places < 0 && degrees == 0) return compactText(formats, dms, shownPlaces);
  return fullText(formats, dms, shownPlaces);
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
