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

// The whole units are a whole double, so that packed results of values beyond the int range
// keep them.
struct Components {
  double whole;
  int minutes;
  double seconds;
};

// -0.0 counts as positive, NaN as negative.
int signOf(double x) { return x >= 0.0 ? 1 : -1; }

// Components of a magnitude whose whole part does not fit an int.
Components unfitComponents(double magnitude) { return {isnan(magnitude) ? 0.0 : INT_MAX, 0, 0.0}; }

// Minutes of a full unit and more carry into the whole units.
void carryMinutes(Components& parts, Notation notation) {
  if (parts.minutes < notation.minutesPerUnit) return;
  parts.whole = parts.whole + parts.minutes / notation.minutesPerUnit;
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

// The components of a finite magnitude.
Components splitDecimal(double magnitude, int precision, Notation notation) {
  double const base = notation.minutesPerUnit;
  double const whole = wholePart(magnitude);
  double const minutesWithFraction = (magnitude - whole) * base;
  int const minutes = static_cast<int>(minutesWithFraction);
  double seconds = (minutesWithFraction - minutes) * base;
  if (!(seconds >= 0.0)) seconds = 0.0;
  Components parts{whole, minutes, seconds};
  carrySeconds(parts, precision, notation);
  return parts;
}

// The components of a finite packed magnitude.
Components splitPacked(double magnitude, int precision, Notation notation) {
  double const whole = wholePart(magnitude);
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
  double const magnitude = fabs(x);
  Components const parts = magnitude < kFirstUnfitWhole ? splitter(magnitude, precision, notation)
                                                        : unfitComponents(magnitude);
  sign = signOf(x);
  whole = saturatedInt(parts.whole);  // a carry can reach 2^31
  minutes = parts.minutes;
  seconds = parts.seconds;
}

double nonNegativeSeconds(double seconds) { return seconds >= 0.0 ? seconds : 0.0; }

double withSign(int sign, double magnitude) { return sign < 0 ? -magnitude : magnitude; }

// |whole| + minutes/units + seconds/units^2, each step rounded by itself.
double compose(int sign, double whole, int minutes, double seconds, double minuteUnit,
               double secondUnit) {
  double magnitude = fabs(whole) + minutes * minuteUnit;
  magnitude = magnitude + nonNegativeSeconds(seconds) * secondUnit;
  return withSign(sign, magnitude);
}

// The packed value of x, split with `precision`'s carry. Split components never need the
// normalising of KestDMS2DMS: minutes stay below a full unit and seconds below a full minute.
// An infinity or NaN has no components; it stays what it is.
double packDecimal(double x, int precision, Notation notation) {
  if (!isfinite(x)) return x;
  Components const parts = splitDecimal(fabs(x), precision, notation);
  return compose(signOf(x), parts.whole, parts.minutes, parts.seconds, 0.01, 0.0001);
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
  return packDecimal(kDegreesPerRadian * radians, precision, kSexagesimal);
}

double KestRad2GCCC(double radians, int precision) {
  return packDecimal(kGonPerRadian * radians, precision, kCentesimal);
}

double KestDMS2Rad(double packed) {
  if (!isfinite(packed)) return packed * kRadiansPerDegree;
  Components const parts = splitPacked(fabs(packed), -1, kSexagesimal);
  return compose(signOf(packed), parts.whole, parts.minutes, parts.seconds, kOneSixtieth,
                 kOne3600th) *
         kRadiansPerDegree;
}

double KestGCCC2Rad(double packed) { return kRadiansPerGon * packed; }
