// kest subcommand and tour section of the angles family.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kest/command.h"
#include "kest011/angles.h"

namespace kest::cli {
namespace {

// ---- Showing what the library returns -------------------------------------------------

// The fewest significant digits that read back as the same double, all of a whole part below
// 10^17 written out (50, not 5e+01).
std::string number(double value) {
  int wholeDigits = 1;
  for (double power = 10.0; power <= std::fabs(value) && power < 1e17; power *= 10.0) ++wholeDigits;
  char text[40];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits < wholeDigits ? wholeDigits : digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

// The library's single-byte text with bytes above 7F written as \xNN (the degree mark is \xB0),
// so it reads the same on any console. As a C string literal when `quoted`.
std::string escaped(char const* text, bool quoted = false) {
  std::string shown = quoted ? "\"" : "";
  for (unsigned char const* byte = reinterpret_cast<unsigned char const*>(text); *byte; ++byte) {
    if (*byte >= 0x80) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", *byte);
      shown += escape;
    } else {
      if (quoted && (*byte == '"' || *byte == '\\')) shown += '\\';
      shown += static_cast<char>(*byte);
    }
  }
  return quoted ? shown + "\"" : shown;
}

struct Split {
  int sign = 1, whole = 0, minutes = 0;
  double seconds = 0.0;
};

std::string components(Split const& split) {
  return (split.sign < 0 ? "-1 " : "+1 ") + std::to_string(split.whole) + " " +
         std::to_string(split.minutes) + " " + number(split.seconds);
}

// ---- kest angle -----------------------------------------------------------------------

using SplitFunction = void (*)(double, int&, int&, int&, double&, int);
using ComposeFunction = double (*)(int, int, int, double);

Split splitWith(SplitFunction split, double value, int precision) {
  Split s;
  split(value, s.sign, s.whole, s.minutes, s.seconds, precision);
  return s;
}

double composeWith(ComposeFunction compose, Split const& s) {
  return compose(s.sign, s.whole, s.minutes, s.seconds);
}

// The two component notations, and how the library moves each to and from radians.
struct Notation {
  SplitFunction fromRadians;
  ComposeFunction toRadians;
};
Notation const kSexagesimal{KestRad2DMS, KestDMS2Rad};
Notation const kCentesimal{KestRad2GCCC, KestGCCC2Rad};

// The value as given: split in its unit's notation (none for radians), so conversions within a
// notation take the library's direct route; the angle object gives the texts.
struct Given {
  Notation const* notation;
  double radians;
  Split split;
  CKestAngle angle;
};

double radiansOf(Given const& given) {
  return given.notation ? composeWith(given.notation->toRadians, given.split) : given.radians;
}

Split splitIn(Notation const& notation, Given const& given, int precision) {
  if (given.notation == &notation) return given.split;
  return splitWith(notation.fromRadians, radiansOf(given), precision);
}

struct FromUnit {
  char const* name;
  Notation const* notation;
  SplitFunction split;           // into the notation; none for radians
  CKestAngle::eAngleType taken;  // how the angle object takes the value; eRad: through radians
};

// A packed centesimal value is the angle in gon.
FromUnit const kFromUnits[] = {
    {"rad", nullptr, nullptr, CKestAngle::eRad},
    {"deg", &kSexagesimal, KestDeg2DMS, CKestAngle::eDeg},
    {"dms", &kSexagesimal, KestDMS2DMS, CKestAngle::eRad},
    {"gon", &kCentesimal, KestGrad2GCCC, CKestAngle::eGon},
    {"gccc", &kCentesimal, KestGCCC2GCCC, CKestAngle::eGon},
};

Given read(FromUnit const& unit, double value, int precision) {
  Given given{unit.notation, value, {}, {}};
  if (unit.split) given.split = splitWith(unit.split, value, precision);
  given.angle = unit.taken == CKestAngle::eRad ? CKestAngle(radiansOf(given), CKestAngle::eRad)
                                               : CKestAngle(value, unit.taken);
  return given;
}

enum class Shown { Radians, Number, Components, Text };

struct ToUnit {
  char const* name;
  Shown shown;
  Notation const* notation;
  ComposeFunction compose;
  CKestAngle::eAngleType text;
};

ToUnit const kToUnits[] = {
    {"rad", Shown::Radians, nullptr, nullptr, CKestAngle::eRad},
    {"deg", Shown::Number, &kSexagesimal, KestDMS2Deg, CKestAngle::eRad},
    {"dms", Shown::Number, &kSexagesimal, KestDMS2DMS, CKestAngle::eRad},
    {"gon", Shown::Number, &kCentesimal, KestGCCC2Grad, CKestAngle::eRad},
    {"gccc", Shown::Number, &kCentesimal, KestGCCC2GCCC, CKestAngle::eRad},
    {"dms-split", Shown::Components, &kSexagesimal, nullptr, CKestAngle::eRad},
    {"gccc-split", Shown::Components, &kCentesimal, nullptr, CKestAngle::eRad},
    {"rad-text", Shown::Text, nullptr, nullptr, CKestAngle::eRad},
    {"deg-text", Shown::Text, nullptr, nullptr, CKestAngle::eDeg},
    {"gon-text", Shown::Text, nullptr, nullptr, CKestAngle::eGon},
    {"dms-text", Shown::Text, nullptr, nullptr, CKestAngle::eDms},
    {"dms-plain", Shown::Text, nullptr, nullptr, CKestAngle::eDmsPlain},
    {"dms-columns", Shown::Text, nullptr, nullptr, CKestAngle::eDmsColumns},
};

std::string write(ToUnit const& unit, Given const& given, int precision) {
  switch (unit.shown) {
    case Shown::Radians:
      return number(radiansOf(given));
    case Shown::Number:
      return number(composeWith(unit.compose, splitIn(*unit.notation, given, precision)));
    case Shown::Components:
      return components(splitIn(*unit.notation, given, precision));
    default:
      return escaped(given.angle.AngleToString(unit.text, precision));
  }
}

template <class Unit, std::size_t count>
Unit const* findUnit(Unit const (&units)[count], std::string const& name) {
  for (Unit const& unit : units)
    if (name == unit.name) return &unit;
  return nullptr;
}

int angle(Args const& args);
Command const kAngle{
    "angle", "VALUE --from UNIT --to UNIT [--precision N]",
    "convert VALUE and print what the library returns. UNIT: rad, deg, gon, dms or gccc "
    "(packed: 12.3456 is 12 deg 34' 56\", 123.4567 is 123 gon 45 c 67 cc); --to also dms-split, "
    "gccc-split, rad-text, deg-text, gon-text, dms-text, dms-plain, dms-columns. N (default 2): "
    "places of the shown seconds (their carry) and of the texts",
    angle};

int angle(Args const& args) {
  std::string value, from, to;
  long precision = 2;
  for (std::size_t i = 0; i < args.size(); ++i) {
    bool const hasNext = i + 1 < args.size();
    if (args[i] == "--from" && hasNext) {
      from = args[++i];
    } else if (args[i] == "--to" && hasNext) {
      to = args[++i];
    } else if (args[i] == "--precision" && hasNext) {
      if (!parseLong(args[++i], precision)) return usage(kAngle);
    } else if (value.empty()) {
      value = args[i];
    } else {
      return usage(kAngle);
    }
  }
  double number = 0.0;
  FromUnit const* fromUnit = findUnit(kFromUnits, from);
  ToUnit const* toUnit = findUnit(kToUnits, to);
  if (!parseDouble(value, number) || !fromUnit || !toUnit) return usage(kAngle);
  int const places = static_cast<int>(precision);
  std::printf("%s\n", write(*toUnit, read(*fromUnit, number, places), places).c_str());
  return kExitOk;
}

// ---- The tour -------------------------------------------------------------------------

void tourSplitting(Tour& tour) {
  struct Call {
    char const* name;
    SplitFunction split;
    double value;
    int precision;
  };
  Call const calls[] = {
      {"KestDeg2DMS", KestDeg2DMS, -12.5, 0},     {"KestDeg2DMS", KestDeg2DMS, 10.999999, 2},
      {"KestDeg2DMS", KestDeg2DMS, 10.999999, 3}, {"KestDMS2DMS", KestDMS2DMS, 12.3075, -1},
      {"KestDMS2DMS", KestDMS2DMS, 12.3075, 0},   {"KestGCCC2GCCC", KestGCCC2GCCC, 123.4567, -1},
  };
  for (Call const& call : calls) {
    Split const s = splitWith(call.split, call.value, call.precision);
    tour.show("%s(%s, precision %d) -> %s", call.name, number(call.value).c_str(), call.precision,
              components(s).c_str());
  }
}

void tourComposing(Tour& tour) {
  tour.show("KestDMS2DMS(+1, 10, 59, 75.5) -> %s", number(KestDMS2DMS(1, 10, 59, 75.5)).c_str());
  tour.show("KestGCCC2GCCC(+1, 10, 150, 0) -> %s", number(KestGCCC2GCCC(1, 10, 150, 0.0)).c_str());
  tour.show("KestDMS2Deg(-1, 12, 30, 0) -> %s", number(KestDMS2Deg(-1, 12, 30, 0.0)).c_str());
  tour.show("KestRad2DMS(1.0, 2) -> %s", number(KestRad2DMS(1.0, 2)).c_str());
  tour.show("KestRad2GCCC(1.0, 2) -> %s", number(KestRad2GCCC(1.0, 2)).c_str());
  tour.show("KestDMS2Rad(180.0) -> %s", number(KestDMS2Rad(180.0)).c_str());
  tour.show("KestGCCC2Rad(100.0) -> %s", number(KestGCCC2Rad(100.0)).c_str());
}

void tourAngleClass(Tour& tour) {
  CKestAngle angle;
  angle.Deg(370.0);
  tour.show("CKestAngle Deg(370) -> Rad() %s, Deg() %s", number(angle.Rad()).c_str(),
            number(angle.Deg()).c_str());
  angle.Deg(-30.0);
  short degrees;
  unsigned short minutes;
  double seconds;
  angle.GetDms(degrees, minutes, seconds, 2);
  tour.show("Deg(-30) -> Deg() %s, GetDms(precision 2) %d %u %s", number(angle.Deg()).c_str(),
            degrees, minutes, number(seconds).c_str());
  angle.Deg(-90.0);
  angle.AddDeg(10.0);
  tour.show("Deg(-90), AddDeg(10) -> Deg() %s", number(angle.Deg()).c_str());
  angle.Deg(-90.0);
  angle.AddRad(KestDMS2Rad(1, 10, 0, 0.0));
  tour.show("Deg(-90), AddRad(10 degrees) -> Deg() %s", number(angle.Deg()).c_str());
}

void tourAngleText(Tour& tour) {
  struct Shown {
    double degrees;
    CKestAngle::eAngleType unit;
    char const* unitName;
    int precision;
  };
  Shown const shown[] = {
      {12.5, CKestAngle::eDms, "eDms", 2},
      {-12.5, CKestAngle::eDmsPlain, "eDmsPlain", 2},
      {-12.5, CKestAngle::eDmsColumns, "eDmsColumns", 2},
      {-0.5, CKestAngle::eDms, "eDms", -1},
      {30.0, CKestAngle::eDmsPlain, "eDmsPlain", -2},
      {100.0, CKestAngle::eDeg, "eDeg", 3},
      {99.99, CKestAngle::eDeg, "eDeg", 1},
      {123.0, CKestAngle::eDeg, "eDeg", -1},
  };
  for (Shown const& s : shown) {
    CKestAngle const angle(s.degrees, CKestAngle::eDeg);
    tour.show("Deg(%s) AngleToString(%s, %d) -> %s", number(s.degrees).c_str(), s.unitName,
              s.precision, escaped(angle.AngleToString(s.unit, s.precision), true).c_str());
  }
}

void tourAngles(Tour& tour) {
  tourSplitting(tour);
  tourComposing(tour);
  tourAngleClass(tour);
  tourAngleText(tour);
}

RegisterCommand const registerAngle(kAngle);
RegisterTourSection const registerTour({300, "Angles", tourAngles});

}  // namespace
}  // namespace kest::cli
