// Conversions between radians, decimal degrees, gon and the sexagesimal and centesimal component
// notations, split and packed.

#include <math.h>

#include "angles/angle_arithmetic.h"
#include "kest011/angles.h"

using namespace kest::angles;

namespace {

constexpr double kGonPerRadian = 63.66197723675813;
// Lets a packed value held a little below its written minute digits (12.34 as 12.33999...)
// still give those minutes.
constexpr double kMinuteAllowance = 0.0000005;
// A whole part from here on does not fit an int.
constexpr double kFirstUnfitWhole = 2147483648.0;

struct Notation {
  int minutesPerUnit;
  double carryThreshold;
};
constexpr Notation kSexagesimal{60, kCarryThreshold60};
constexpr Notation kCentesimal{100, kCarryThreshold100};

struct Components {
  int whole;
  int minutes;
  double seconds;
};

// -0.0 counts as positive, NaN as negative.
int signOf(double x) { return x >= 0.0 ? 1 : -1; }

// Components of a magnitude whose whole part does not fit an int.
Components unfitComponents(double magnitude) { return {isnan(magnitude) ? 0 : INT_MAX, 0, 0.0}; }

// Minutes of a full unit and more carry into the whole units.
void carryMinutes(Components& parts, Notation notation) {
  if (parts.minutes < notation.minutesPerUnit) return;
  parts.whole = saturatedSum(parts.whole, parts.minutes / notation.minutesPerUnit);
  parts.minutes %= notation.minutesPerUnit;
}

// Seconds that would show as a full minute at `precision` places become the next minute. They
// are dropped whatever their size, and are never rounded otherwise.
void carrySeconds(Components& parts, int precision, Notation notation) {
  if (!secondsShowAsFullMinute(parts.seconds, precision, notation.carryThreshold)) return;
  parts.seconds = 0.0;
  ++parts.minutes;
  carryMinutes(parts, notation);
}

Components splitDecimal(double magnitude, int precision, Notation notation) {
  if (!(magnitude < kFirstUnfitWhole)) return unfitComponents(magnitude);
  double const base = notation.minutesPerUnit;
  int const whole = static_cast<int>(magnitude);
  double const minutesWithFraction = (magnitude - whole) * base;
  int const minutes = static_cast<int>(minutesWithFraction);
  double seconds = (minutesWithFraction - minutes) * base;
  if (!(seconds >= 0.0)) seconds = 0.0;
  Components parts{whole, minutes, seconds};
  carrySeconds(parts, precision, notation);
  return parts;
}

Components splitPacked(double magnitude, int precision, Notation notation) {
  if (!(magnitude < kFirstUnfitWhole)) return unfitComponents(magnitude);
  int const whole = static_cast<int>(magnitude);
  int const minutes = static_cast<int>((magnitude - whole) * 100.0 + kMinuteAllowance);
  double const minutesAndWhole = minutes * 0.01 + whole;
  // No allowance for the seconds: 12.3456 gives 55.99999999999383.
  double seconds = (magnitude - minutesAndWhole) * 10000.0;
  if (!(seconds >= 0.0)) seconds = 0.0;  // the allowance lifted the minutes
  Components parts{whole, minutes, seconds};
  // The allowance can lift 59.9999995 minutes to a full degree (99.9999995 c to a full gon).
  carryMinutes(parts, notation);
  carrySeconds(parts, precision, notation);
  return parts;
}

using Splitter = Components (*)(double magnitude, int precision, Notation notation);

// Splits x's magnitude and writes the four components out.
void split(Splitter splitter, Notation notation, double x, int precision, int& sign, int& whole,
           int& minutes, double& seconds) {
  Components const parts = splitter(fabs(x), precision, notation);
  sign = signOf(x);
  whole = parts.whole;
  minutes = parts.minutes;
  seconds = parts.seconds;
}

double nonNegativeSeconds(double seconds) { return seconds >= 0.0 ? seconds : 0.0; }

double withSign(int sign, double magnitude) { return sign < 0 ? -magnitude : magnitude; }

// |whole| + minutes/units + seconds/units^2, each step rounded by itself.
double compose(int sign, int whole, int minutes, double seconds, double minuteUnit,
               double secondUnit) {
  double magnitude = fabs(static_cast<double>(whole)) + minutes * minuteUnit;
  magnitude = magnitude + nonNegativeSeconds(seconds) * secondUnit;
  return withSign(sign, magnitude);
}

}  // namespace

void KestDeg2DMS(double degrees, int& sign, int& wholeDegrees, int& minutes, double& seconds,
                 int precision) {
  split(splitDecimal, kSexagesimal, degrees, precision, sign, wholeDegrees, minutes, seconds);
}

void KestGrad2GCCC(double gon, int& sign, int& wholeGon, int& c, double& cc, int precision) {
  split(splitDecimal, kCentesimal, gon, precision, sign, wholeGon, c, cc);
}

void KestRad2DMS(double radians, int& sign, int& degrees, int& minutes, double& seconds,
                 int precision) {
  KestDeg2DMS(kDegreesPerRadian * radians, sign, degrees, minutes, seconds, precision);
}

void KestRad2GCCC(double radians, int& sign, int& gon, int& c, double& cc, int precision) {
  KestGrad2GCCC(kGonPerRadian * radians, sign, gon, c, cc, precision);
}

void KestDMS2DMS(double packed, int& sign, int& degrees, int& minutes, double& seconds,
                 int precision) {
  split(splitPacked, kSexagesimal, packed, precision, sign, degrees, minutes, seconds);
}

void KestGCCC2GCCC(double packed, int& sign, int& gon, int& c, double& cc, int precision) {
  split(splitPacked, kCentesimal, packed, precision, sign, gon, c, cc);
}

double KestDMS2Deg(int sign, int degrees, int minutes, double seconds) {
  return compose(sign, degrees, minutes, seconds, kOneSixtieth, kOne3600th);
}

double KestDMS2Rad(int sign, int degrees, int minutes, double seconds) {
  return KestDMS2Deg(sign, degrees, minutes, seconds) * kRadiansPerDegree;
}

double KestGCCC2Grad(int sign, int gon, int c, double cc) {
  // Decimal, so nothing needs normalising: 10 gon 150 c is 11.5 gon.
  return compose(sign, gon, c, cc, 0.01, 0.0001);
}

double KestGCCC2GCCC(int sign, int gon, int c, double cc) {
  return KestGCCC2Grad(sign, gon, c, cc);
}

double KestGCCC2Rad(int sign, int gon, int c, double cc) {
  return KestGCCC2Grad(sign, gon, c, cc) * kRadiansPerGon;
}

double KestDMS2DMS(int sign, int degrees, int minutes, double seconds) {
  double wholeSeconds = nonNegativeSeconds(seconds);
  if (wholeSeconds >= 60.0) {
    // Seconds here are positive, so truncating is flooring.
    minutes = saturatedSum(minutes, saturatedInt(wholeSeconds * kOneSixtieth));
    wholeSeconds = fmod(wholeSeconds, 60.0);
  }
  // Negative minutes are left to subtract.
  if (minutes >= 60) {
    degrees = saturatedSum(degrees, minutes / 60);
    minutes %= 60;
  }
  return compose(sign, degrees, minutes, wholeSeconds, 0.01, 0.0001);
}

double KestRad2DMS(double radians, int precision) {
  // An infinity or NaN has no components to pack; it stays what it is, in the packed unit.
  if (!isfinite(radians)) return kDegreesPerRadian * radians;
  int sign, degrees, minutes;
  double seconds;
  KestRad2DMS(radians, sign, degrees, minutes, seconds, precision);
  return KestDMS2DMS(sign, degrees, minutes, seconds);
}

double KestRad2GCCC(double radians, int precision) {
  if (!isfinite(radians)) return kGonPerRadian * radians;
  int sign, gon, c;
  double cc;
  KestRad2GCCC(radians, sign, gon, c, cc, precision);
  return KestGCCC2GCCC(sign, gon, c, cc);
}

double KestDMS2Rad(double packed) {
  if (!isfinite(packed)) return packed * kRadiansPerDegree;
  int sign, degrees, minutes;
  double seconds;
  KestDMS2DMS(packed, sign, degrees, minutes, seconds, -1);
  return KestDMS2Rad(sign, degrees, minutes, seconds);
}

double KestGCCC2Rad(double packed) { return kRadiansPerGon * packed; }
