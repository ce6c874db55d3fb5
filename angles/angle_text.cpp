// CKestAngle's text: decimal units as fixed-point digits, degrees-minutes-seconds with fixed
// formats, all in module-static storage shared by every angle.

#include <float.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "angles/angle_arithmetic.h"
#include "frame/bounded_text.h"
#include "kest011/angles.h"

using namespace kest::angles;

namespace {

// Precisions of larger magnitude are clamped to this; with it every text fits its buffer.
constexpr int kMaxPrecision = 37;

// Each holds 51 characters and the terminating zero.
using AngleText = char[52];
AngleText g_decimalText;  // decimal units at a precision above 0
AngleText g_dmsText;      // the full sexagesimal text, without sign
AngleText g_dmsResult;    // a negative angle's full text; the compact texts
char g_emptyText[1];      // for units the class does not know

// The digits of the last fixed-point conversion: as many as the whole part of any double can
// have, the most places a text shows, and the terminating zero.
using Digits = char[DBL_MAX_10_EXP + 1 + kMaxPrecision + 1];
Digits g_digits;

// A number as printf writes it at up to kMaxPrecision places, point included; or digits with
// room for one more in front.
using Printed = char[sizeof(Digits) + 1];

char const kZeros[] = "0000000000000000000000000000000000000";
static_assert(sizeof kZeros == kMaxPrecision + 1);

int clampedPrecision(int precision) {
  if (precision > kMaxPrecision) return kMaxPrecision;
  if (precision < -kMaxPrecision) return -kMaxPrecision;
  return precision;
}

// Adds one to the `length` decimal digits at `digits` ("" counts as 0), which have room for
// one more digit in front. Returns where the digits start.
char* incrementDigits(char* digits, size_t length) {
  for (size_t i = length; i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  digits[-1] = '1';
  return digits - 1;
}

// The whole-number digits of `magnitude` rounded to a multiple of 10^places, ties to even as
// printf rounds its places, written into `out`. Rounding the printed whole number again would
// round twice (149.5 to 150, then to 200), so the dropped digits are compared with half a unit
// directly.
char const* roundedLeftOfPoint(double magnitude, int places, Printed& out) {
  double const whole = wholePart(magnitude);
  Printed printed;
  kest::format(printed, "%.0f", whole);  // exact: a whole double prints exactly
  size_t const length = strlen(printed);
  size_t const wanted = static_cast<size_t>(places);
  size_t const dropped = length < wanted ? length : wanted;
  size_t const cut = length - dropped;
  // How the dropped digits, padded to `places` with zeros in front, compare with 5 followed by
  // zeros.
  int order = 0;
  if (dropped < wanted)
    order = -1;
  else if (printed[cut] != '5')
    order = printed[cut] < '5' ? -1 : 1;
  else
    order = strspn(printed + cut + 1, "0") == dropped - 1 ? 0 : 1;
  bool const keptIsOdd = cut > 0 && (printed[cut - 1] - '0') % 2 == 1;
  char* const kept = out + 1;
  memcpy(kept, printed, cut);
  kept[cut] = '\0';
  if (order > 0 || (order == 0 && (magnitude > whole || keptIsOdd)))
    return incrementDigits(kept, cut);
  return kept;
}

struct FixedPoint {
  char const* digits;  // no sign, no point, no leading zeros; "" when it rounds to 0
  int point;           // how many of the digits stand before the decimal point; may be negative
};

// |value| rounded to `places` decimal places (for a negative count, that many places left of
// the point), as digits and the position of the point: the contract of the runtime's _fcvt.
// Built on the library's own correctly rounded printf, so every Windows and Wine give the same
// digits; the runtimes' own _fcvt do not (they round halves and negative places differently).
FixedPoint fixedPointDigits(double value, int places) {
  double const magnitude = fabs(value);
  Printed printed;
  char const* digits = printed;
  if (places >= 0) {
    kest::format(printed, "%.*f", places, magnitude);
    if (char* const point = strchr(printed, '.')) memmove(point, point + 1, strlen(point));
  } else {
    digits = roundedLeftOfPoint(magnitude, -places, printed);
  }
  digits += strspn(digits, "0");
  size_t const length = kest::copyCut(g_digits, digits);
  return {g_digits, static_cast<int>(length) - places};
}

// The formats of one sexagesimal unit: the full text, and the compact texts of an angle below
// one degree with minutes and with seconds only. The column formats take a field width before
// the places of the seconds.
struct DmsFormats {
  char const* full;
  char const* minutesAndSeconds;
  char const* secondsOnly;
  bool columns;
};

DmsFormats const kDmsFormats[] = {
    {"%d\xB0 %d' %.*f\"", "%d' %.*f\"", "%.*f\"", false},
    {"%d %d %.*f", "%d %.*f", "%.*f", false},
    {"%3d %2d %*.*f", "%2d %*.*f", "%*.*f", true},
};

DmsFormats const& formatsOf(CKestAngle::eAngleType unit) {
  return kDmsFormats[unit - CKestAngle::eDms];
}

// Writes `format` with the whole numbers, then the seconds at `places` places; the column
// formats take a field width of places + 3 first (two whole digits, the point, the places).
template <class... Wholes>
void writeDms(AngleText& text, DmsFormats const& formats, char const* format, int places,
              double seconds, Wholes... wholes) {
  if (formats.columns)
    kest::format(text, format, wholes..., places + 3, places, seconds);
  else
    kest::format(text, format, wholes..., places, seconds);
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
    kest::format(g_decimalText, "%f", fabs(value));
    return g_decimalText;
  }
  FixedPoint const fixed = fixedPointDigits(value, precision);
  if (precision <= 0) return fixed.digits;
  // Whole digits (none below 1), the point, then exactly `precision` places.
  int const wholeDigits = fixed.point > 0 ? fixed.point : 0;
  int const leadingZeros = fixed.point < 0 ? -fixed.point : 0;
  kest::format(g_decimalText, "%.*s.%.*s%s", wholeDigits, fixed.digits, leadingZeros, kZeros,
               fixed.digits + wholeDigits);
  return g_decimalText;
}
