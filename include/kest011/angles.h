#pragma once
/// @file
/// Angles: conversions between radians, degrees, gon and the component notations; the angle value
/// class and its text.
///
/// Component notations. Sexagesimal (DMS): whole degrees, whole minutes (1/60 degree) and seconds
/// (1/3600 degree). Centesimal (GCCC): whole gon, whole c (1/100 gon) and cc (1/10000 gon). Split
/// form: sign (-1 or +1), whole units, whole minutes, seconds with their fraction. Packed form: one
/// double +-D.MMSSsss (sexagesimal) or +-G.ccrrrr (centesimal, numerically the angle in gon).
///
/// A splitting function's `precision` is the number of decimal places the caller will show the
/// seconds at: seconds that would show as 60 (100) there are carried into the minutes. It never
/// rounds them; a negative precision switches the carry off.
///
/// Threads: the conversions keep no state and are safe to call from any thread; so are the
/// members of CKestAngle but AngleToString, as long as no thread changes an angle that another
/// reads. AngleToString returns text in module-static buffers shared by every angle and every
/// thread, each overwritten by the next call that writes it:
///   - the digits buffer: the decimal units (eRad, eDeg, eGon) at a precision of 0 or less
///     return it, and every decimal text writes it;
///   - the decimal buffer: the decimal units at a precision above 0;
///   - the DMS buffer: the full sexagesimal texts (eDms, eDmsPlain, eDmsColumns) of an angle not
///     below 0; every full sexagesimal text writes it;
///   - the DMS result buffer: the full sexagesimal texts of a negative angle and the compact
///     texts.
///
/// Calls from several threads must be serialised, and a text copied before the next call.
///
/// Out-of-range inputs: a magnitude whose whole part does not fit an int (2^31 and more,
/// infinities) splits into INT_MAX whole units and no minutes or seconds; NaN splits into sign -1
/// and zeros. Whole units saturate at INT_MAX and INT_MIN wherever a carry adds to them. Packed
/// and radian results keep whole units beyond the int range, and an infinity or NaN stays what
/// it is.

#include "kest011/export.h"

/// @name Splitting
/// @{

/// Splits decimal degrees into sign, degrees, minutes (0-59) and seconds.
KEST_API void KestDeg2DMS(double degrees, int& sign, int& wholeDegrees, int& minutes,
                          double& seconds, int precision);

/// Splits radians into sign, degrees, minutes (0-59) and seconds.
KEST_API void KestRad2DMS(double radians, int& sign, int& degrees, int& minutes, double& seconds,
                          int precision);

/// Splits a packed sexagesimal value into sign, degrees, minutes (0-59) and seconds.
KEST_API void KestDMS2DMS(double packed, int& sign, int& degrees, int& minutes, double& seconds,
                          int precision);

/// Splits decimal gon into sign, gon, c (0-99) and cc.
KEST_API void KestGrad2GCCC(double gon, int& sign, int& wholeGon, int& c, double& cc,
                            int precision);

/// Splits radians into sign, gon, c (0-99) and cc.
KEST_API void KestRad2GCCC(double radians, int& sign, int& gon, int& c, double& cc, int precision);

/// Splits a packed centesimal value into sign, gon, c (0-99) and cc.
KEST_API void KestGCCC2GCCC(double packed, int& sign, int& gon, int& c, double& cc, int precision);
/// @}

/// @name Composing
/// A negative sign negates the result; whole units count by magnitude; negative minutes subtract;
/// negative or NaN seconds count as 0.
/// @{

/// Returns the radians as a packed sexagesimal value (split with `precision`'s carry).
KEST_API double KestRad2DMS(double radians, int precision);

/// Returns the packed sexagesimal value, seconds of 60 and more and minutes of 60 and more
/// carried into the next unit.
KEST_API double KestDMS2DMS(int sign, int degrees, int minutes, double seconds);

/// Returns the decimal degrees.
KEST_API double KestDMS2Deg(int sign, int degrees, int minutes, double seconds);

/// Returns the radians.
KEST_API double KestDMS2Rad(int sign, int degrees, int minutes, double seconds);

/// Returns the radians of a packed sexagesimal value.
KEST_API double KestDMS2Rad(double packed);

/// Returns the radians as a packed centesimal value (split with `precision`'s carry).
KEST_API double KestRad2GCCC(double radians, int precision);

/// Returns the packed centesimal value, nothing carried (10 gon 150 c is 11.5).
KEST_API double KestGCCC2GCCC(int sign, int gon, int c, double cc);

/// Returns the gon, nothing carried.
KEST_API double KestGCCC2Grad(int sign, int gon, int c, double cc);

/// Returns the radians.
KEST_API double KestGCCC2Rad(int sign, int gon, int c, double cc);

/// Returns the radians of a packed centesimal value (the value in gon).
KEST_API double KestGCCC2Rad(double packed);
/// @}

// ---- The angle value class ------------------------------------------------------------

/// One plane angle, held in radians. Setters reduce by the period of their unit and keep the
/// sign of their argument. NaN and infinite arguments leave NaN.
class KEST_API CKestAngle {
 public:
  KEST_ALLOCATED_BY_LIBRARY;
  /// Units of the unit-taking members. Wherever a number is taken, units other than eDeg and eGon
  /// (any int) mean radians; the three eDms units differ only in their text.
  enum eAngleType : int {
    eRad = 0,         ///< radians
    eDeg = 1,         ///< decimal degrees
    eGon = 2,         ///< gon, 400 to the full circle
    eDms = 3,         ///< marked: 12&deg; 30' 0.00" (the degree mark is byte B0 in every code
                      ///< page: the degree sign of the Western single-byte code pages only)
    eDmsPlain = 4,    ///< blank-separated: 12 30 0.00
    eDmsColumns = 5,  ///< fixed-width columns: " 12 30  0.00"
  };

  /// Holds 0.0.
  CKestAngle();
  /// Holds the angle of `other`.
  CKestAngle(const CKestAngle& other);
  /// Holds `value` in `unit`, reduced by the unit's period.
  CKestAngle(double value, eAngleType unit);
  /// Holds degrees + minutes/60 + seconds/3600, reduced to below 360 degrees.
  CKestAngle(const short& degrees, const unsigned short& minutes, const double& seconds);
  virtual ~CKestAngle();  ///< Has nothing to free.
  /// Holds the angle of `other`.
  CKestAngle& operator=(const CKestAngle& other);

  /// Returns the angle in radians, as held.
  double Rad() const;
  /// Holds `radians` reduced to a magnitude below 2 pi.
  void Rad(const double& radians);
  /// Returns the angle in decimal degrees.
  double Deg() const;
  /// Holds `degrees` reduced to a magnitude below 360.
  void Deg(const double& degrees);
  /// Returns the angle in gon.
  double Gon() const;
  /// Holds `gon` reduced to a magnitude below 400.
  void Gon(const double& gon);

  /// Splits the angle into degrees, minutes and seconds, carrying seconds that would show as 60 at
  /// `precision` places (none when it is negative) away from zero. A negative angle gives
  /// negative degrees and seconds, and minutes -k as 65536 - k. A NaN angle gives 0, 0 and NaN.
  void GetDms(short& degrees, unsigned short& minutes, double& seconds, int precision) const;
  /// Holds degrees + minutes/60 + seconds/3600, reduced to a magnitude below 360 degrees.
  void SetDms(const short& degrees, const unsigned short& minutes, const double& seconds);

  /// Adds `radians`; leaves a value in [0, 2 pi].
  void AddRad(const double& radians);
  /// Adds `degrees` (a negative increment counts as its positive equivalent); leaves a magnitude
  /// below 2 pi that keeps the sign of the sum.
  void AddDeg(const double& degrees);
  /// Adds `gon`, as AddDeg does.
  void AddGon(const double& gon);
  /// Adds degrees + minutes/60 + seconds/3600 as given; leaves a magnitude below 2 pi.
  void AddDms(const short& degrees, const unsigned short& minutes, const double& seconds);

  /// Returns the angle as text in `unit`, with `precision` decimal places (clamped to -37..37; a
  /// negative precision rounds decimal units left of the point and gives the eDms units their
  /// compact form below one degree), or "" for an unknown unit. The text lives in a buffer
  /// shared by all angles and threads (see angles.h), valid until the next call.
  const char* AngleToString(eAngleType unit, int precision) const;

 private:
  double SimplifyAngle(const double& value, eAngleType unit);
  const char* RadDegGonToString(const double& value, int precision) const;

  double m_dRad;
};
