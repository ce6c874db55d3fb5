// CKestAngle's text: decimal units as fixed-point digits, degrees-minutes-seconds with fixed
// formats, all in module-static storage shared by every angle.

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "angles/angle_arithmetic.h"
#include "kest011/angles.h"

using namespace kest::angles;

namespace {

// Precisions of larger magnitude are clamped to this; with it every text fits its buffer.
constexpr int kMaxPrecision = 37;

// Each holds 51 characters and the terminating zero.
constexpr std::size_t kAngleTextSize = 52;
char g_decimalText[kAngleTextSize];  // decimal units at a precision above 0
char g_dmsText[kAngleTextSize];      // the full sexagesimal text, without sign
char g_dmsResult[kAngleTextSize];    // a negative angle's full text; the compact texts
char g_emptyText[1];                 // for units the class does not know

// The digits of the last fixed-point conversion: as many as the whole part of any double can
// have, the most places a text shows, and the terminating zero.
constexpr std::size_t kDigitsSize = DBL_MAX_10_EXP + 1 + kMaxPrecision + 1;
char g_digits[kDigitsSize];

char const kZeros[] = "0000000000000000000000000000000000000";
static_assert(sizeof kZeros == kMaxPrecision + 1);

int clampedPrecision(int precision) {
  if (precision > kMaxPrecision) return kMaxPrecision;
  if (precision < -kMaxPrecision) return -kMaxPrecision;
  return precision;
}

// Adds one to a string of decimal digits ("" counts as 0).
void incrementDigits(std::string& digits) {
  for (auto digit = digits.rbegin(); digit != digits.rend(); ++digit) {
    if (*digit != '9') {
      ++*digit;
      return;
    }
    *digit = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The whole-number digits of `magnitude` rounded to a multiple of 10^places, ties to even as
// printf rounds its places. Rounding the printed whole number again would round twice (149.5
// to 150, then to 200), so the dropped digits are compared with half a unit directly.
std::string roundedLeftOfPoint(double magnitude, int places) {
  double const whole = wholePart(magnitude);
  char printed[kDigitsSize];
  std::snprintf(printed, sizeof printed, "%.0f", whole);  // exact: a whole double prints exactly
  std::string const digits = printed;
  std::size_t const cut =
      digits.size() > static_cast<std::size_t>(places) ? digits.size() - places : 0;
  std::string kept = digits.substr(0, cut);
  std::string const dropped = std::string(places - (digits.size() - cut), '0') + digits.substr(cut);
  int const order = dropped.compare("5" + std::string(places - 1, '0'));
  bool const keptIsOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
  if (order > 0 || (order == 0 && (magnitude > whole || keptIsOdd))) incrementDigits(kept);
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
  double const magnitude = std::fabs(value);
  std::string digits;
  if (places >= 0) {
    char printed[kDigitsSize + 1];
    std::snprintf(printed, sizeof printed, "%.*f", places, magnitude);
    for (char const* c = printed; *c; ++c)
      if (*c != '.') digits += *c;
  } else {
    digits = roundedLeftOfPoint(magnitude, -places);
  }
  std::size_t const firstSignificant = digits.find_first_not_of('0');
  digits.erase(0, firstSignificant == std::string::npos ? digits.size() : firstSignificant);
  std::snprintf(g_digits, sizeof g_digits, "%s", digits.c_str());
  return {g_digits, static_cast<int>(digits.size()) - places};
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
void writeDms(char* text, DmsFormats const& formats, char const* format, int places, double seconds,
              Wholes... wholes) {
  if (formats.columns)
    std::snprintf(text, kAngleTextSize, format, wholes..., places + 3, places, seconds);
  else
    std::snprintf(text, kAngleTextSize, format, wholes..., places, seconds);
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
    writeDms(g_dmsResult, formats, formats.minutesAndSeconds, places, std::fabs(dms.seconds),
             dms.minutes);
  } else {
    // Only a negative angle shows a sign: not -0.0, not a NaN's sign bit.
    double const seconds = dms.negative ? dms.seconds : std::fabs(dms.seconds);
    writeDms(g_dmsResult, formats, formats.secondsOnly, places, seconds);
  }
  return g_dmsResult;
}

char const* fullText(DmsFormats const& formats, Dms const& dms, int places) {
  writeDms(g_dmsText, formats, formats.full, places, std::fabs(dms.seconds), std::abs(dms.degrees),
           std::abs(dms.minutes));
  if (!dms.negative) return g_dmsText;
  std::snprintf(g_dmsResult, sizeof g_dmsResult, "-%s", g_dmsText);
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
  int const shownPlaces = std::abs(places);
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
  if (!std::isfinite(value)) {
    std::snprintf(g_decimalText, sizeof g_decimalText, "%f", std::fabs(value));
    return g_decimalText;
  }
  FixedPoint const fixed = fixedPointDigits(value, precision);
  if (precision <= 0) return fixed.digits;
  // Whole digits (none below 1), the point, then exactly `precision` places.
  int const wholeDigits = fixed.point > 0 ? fixed.point : 0;
  int const leadingZeros = fixed.point < 0 ? -fixed.point : 0;
  std::snprintf(g_decimalText, sizeof g_decimalText, "%.*s.%.*s%s", wholeDigits, fixed.digits,
                leadingZeros, kZeros, fixed.digits + wholeDigits);
  return g_decimalText;
}
