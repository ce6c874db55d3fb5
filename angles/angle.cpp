// CKestAngle: one plane angle held in radians, set, read and incremented in radians, degrees,
// gon and degrees-minutes-seconds. Its text is in angle_text.cpp.

#include <math.h>

#include "angles/angle_arithmetic.h"
#include "frame/allocation.h"
#include "kest011/angles.h"

using namespace kest::angles;

namespace {

constexpr double kFullCircle = 6.283185307179586;
// One unit in the last place above the nearest double to 200/pi that the conversions use;
// readers of Gon() have always had this one.
constexpr double kGonPerRadianReading = 63.66197723675814;

double periodOf(CKestAngle::eAngleType unit) {
  switch (unit) {
    case CKestAngle::eDeg:
      return 360.0;
    case CKestAngle::eGon:
      return 400.0;
    default:
      return kFullCircle;
  }
}

// `value` in `unit`, reduced to one period, a negative one counted as its positive
// equivalent, in radians.
double positiveRadians(double value, CKestAngle::eAngleType unit, double radiansPerUnit) {
  double reduced = fmod(value, periodOf(unit));
  if (reduced < 0.0) reduced = reduced + periodOf(unit);
  return reduced * radiansPerUnit;
}

// d + m/60 + s/3600, each step rounded by itself in this order.
double sexagesimalSum(short degrees, unsigned short minutes, double seconds) {
  double const sum = degrees + minutes * kOneSixtieth;
  return sum + seconds * kOne3600th;
}

short saturatedShort(int value) {
  if (value > SHRT_MAX) return SHRT_MAX;
  if (value < SHRT_MIN) return SHRT_MIN;
  return static_cast<short>(value);
}

}  // namespace

KEST_DEFINE_ALLOCATION(CKestAngle)

CKestAngle::CKestAngle() : m_dRad(0.0) {}

CKestAngle::CKestAngle(const CKestAngle& other) : m_dRad(other.m_dRad) {}

CKestAngle::CKestAngle(double value, eAngleType unit) : m_dRad(0.0) {
  switch (unit) {
    case eDeg:
      Deg(value);
      break;
    case eGon:
      Gon(value);
      break;
    default:
      Rad(value);
      break;
  }
}

CKestAngle::CKestAngle(const short& degrees, const unsigned short& minutes, const double& seconds)
    : m_dRad(0.0) {
  SetDms(degrees, minutes, seconds);
}

CKestAngle::~CKestAngle() {}

CKestAngle& CKestAngle::operator=(const CKestAngle& other) {
  m_dRad = other.m_dRad;
  return *this;
}

double CKestAngle::SimplifyAngle(const double& value, eAngleType unit) {
  // The exact remainder, with the sign of the value.
  return fmod(value, periodOf(unit));
}

double CKestAngle::Rad() const { return m_dRad; }

void CKestAngle::Rad(const double& radians) { m_dRad = SimplifyAngle(radians, eRad); }

double CKestAngle::Deg() const { return m_dRad * kDegreesPerRadian; }

void CKestAngle::Deg(const double& degrees) {
  m_dRad = SimplifyAngle(degrees, eDeg) * kRadiansPerDegree;
}

double CKestAngle::Gon() const { return m_dRad * kGonPerRadianReading; }

void CKestAngle::Gon(const double& gon) { m_dRad = SimplifyAngle(gon, eGon) * kRadiansPerGon; }

void CKestAngle::GetDms(short& degrees, unsigned short& minutes, double& seconds,
                        int precision) const {
  double const x = Deg();
  WholeAndFraction const inDegrees = splitWhole(x);
  WholeAndFraction const inMinutes = splitWhole(inDegrees.fraction * 60.0);
  int wholeDegrees = saturatedInt(inDegrees.whole);
  int wholeMinutes = saturatedInt(inMinutes.whole);
  double remainingSeconds = inMinutes.fraction * 60.0;
  // A negative angle's parts are all zero or negative; its seconds carry away from zero just as
  // a positive angle's, so no text shows 60 seconds either way.
  bool const negative = x < 0.0;
  if (secondsShowAsFullMinute(fabs(remainingSeconds), precision, kCarryThreshold60)) {
    int const awayFromZero = negative ? -1 : 1;
    remainingSeconds = negative ? -0.0 : 0.0;
    wholeMinutes += awayFromZero;
    if (wholeMinutes > 59 || wholeMinutes < -59) {
      wholeMinutes = 0;
      wholeDegrees = saturatedSum(wholeDegrees, awayFromZero);
    }
  }
  degrees = saturatedShort(wholeDegrees);
  // A negative count -k arrives as 65536 - k.
  minutes = static_cast<unsigned short>(wholeMinutes);
  seconds = remainingSeconds;
}

void CKestAngle::SetDms(const short& degrees, const unsigned short& minutes,
                        const double& seconds) {
  Deg(sexagesimalSum(degrees, minutes, seconds));
}

void CKestAngle::AddRad(const double& radians) {
  double sum = SimplifyAngle(radians + m_dRad, eRad);
  if (sum < 0.0) sum = sum + kFullCircle;
  m_dRad = sum;
}

void CKestAngle::AddDeg(const double& degrees) {
  m_dRad = SimplifyAngle(positiveRadians(degrees, eDeg, kRadiansPerDegree) + m_dRad, eRad);
}

void CKestAngle::AddGon(const double& gon) {
  m_dRad = SimplifyAngle(positiveRadians(gon, eGon, kRadiansPerGon) + m_dRad, eRad);
}

void CKestAngle::AddDms(const short& degrees, const unsigned short& minutes,
                        const double& seconds) {
  double const increment = sexagesimalSum(degrees, minutes, seconds);
  m_dRad = SimplifyAngle(increment * kRadiansPerDegree + m_dRad, eRad);
}
