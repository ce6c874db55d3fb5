// kest subcommand and tour section of the angles family.

#include <cstdio>
#include <string>

#include "common/number_text.h"
#include "kest/command.h"
#include "kest011/angles.h"

namespace kest::cli {
namespace {

// ---- Showing what the library returns -------------------------------------------------

using helpers::shortestText;

// The library's single-byte text with bytes above 7F written as \xNN (the degree mark is \xB0),
// so it reads the same on any console. As a C string literal when `quoted`.
std::string escaped(char const* text, bool quoted = false) {
  std::string shown = quoted ? "\"" : "";
  for (unsigned char const* byte = reinterpret_cast<unsigned char const*>(text); *byte; ++byte) {
    if (*byte >= 0x80) {
      shown += "\\x" + helpers::hexDigits(*byte, 2);
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
         std::to_string(split.minutes) + " " + shortestText(split.seconds);
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
      return shortestText(radiansOf(given));
    case Shown::Number:
      return shortestText(composeWith(unit.compose, splitIn(*unit.notation, given, precision)));
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

int angle(Call& call) {
  Args const& args = call.operands();
  std::string const* const from = call.option("from");
  std::string const* const to = call.option("to");
  std::string const* const precisionText = call.option("precision");
  long precision = 2;
  double value = 0.0;
  if (args.size() != 1 || !parseDouble(args[0], value) || !from || !to ||
      (precisionText && !parseLong(*precisionText, precision)))
    return call.usage();
  FromUnit const* fromUnit = findUnit(kFromUnits, *from);
  ToUnit const* toUnit = findUnit(kToUnits, *to);
  if (!fromUnit) return call.usage("unknown unit " + *from);
  if (!toUnit) return call.usage("unknown unit " + *to);
  int const places = static_cast<int>(precision);
  std::printf("%s\n", write(*toUnit, read(*fromUnit, value, places), places).c_str());
  return kExitOk;
}

RegisterCommand const registerAngle(
    {"angle", "convert an angle between units and notations",
     "VALUE --from UNIT --to UNIT [--precision N]\n"
     "Prints what the library returns for VALUE in UNIT. Units are rad, deg, gon and the packed "
     "notations dms (12.3456 is 12 degrees 34' 56\") and gccc (123.4567 is 123 gon 45 c 67 cc). "
     "--to also takes dms-split and gccc-split (sign, whole, minutes, seconds) and the texts "
     "rad-text, deg-text, gon-text, dms-text, dms-plain and dms-columns.\n"
     "N (default 2) is the number of places of the shown seconds, which decides their carry, "
     "and of the texts. The texts are single-byte; the degree mark, byte B0, prints as \\xB0.",
     angle});

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
    tour.show("%s(%s, precision %d) -> %s", call.name, shortestText(call.value).c_str(),
              call.precision, components(s).c_str());
  }
}

void tourComposing(Tour& tour) {
  tour.show("KestDMS2DMS(+1, 10, 59, 75.5) -> %s",
            shortestText(KestDMS2DMS(1, 10, 59, 75.5)).c_str());
  tour.show("KestGCCC2GCCC(+1, 10, 150, 0) -> %s",
            shortestText(KestGCCC2GCCC(1, 10, 150, 0.0)).c_str());
  tour.show("KestDMS2Deg(-1, 12, 30, 0) -> %s", shortestText(KestDMS2Deg(-1, 12, 30, 0.0)).c_str());
  tour.show("KestRad2DMS(1.0, 2) -> %s", shortestText(KestRad2DMS(1.0, 2)).c_str());
  tour.show("KestRad2GCCC(1.0, 2) -> %s", shortestText(KestRad2GCCC(1.0, 2)).c_str());
  tour.show("KestDMS2Rad(180.0) -> %s", shortestText(KestDMS2Rad(180.0)).c_str());
  tour.show("KestGCCC2Rad(100.0) -> %s", shortestText(KestGCCC2Rad(100.0)).c_str());
}

void tourAngleClass(Tour& tour) {
  CKestAngle angle;
  angle.Deg(370.0);
  tour.show("CKestAngle Deg(370) -> Rad() %s, Deg() %s", shortestText(angle.Rad()).c_str(),
            shortestText(angle.Deg()).c_str());
  angle.Deg(-30.0);
  short degrees;
  unsigned short minutes;
  double seconds;
  angle.GetDms(degrees, minutes, seconds, 2);
  tour.show("Deg(-30) -> Deg() %s, GetDms(precision 2) %d %u %s", shortestText(angle.Deg()).c_str(),
            degrees, minutes, shortestText(seconds).c_str());
  angle.Deg(-90.0);
  angle.AddDeg(10.0);
  tour.show("Deg(-90), AddDeg(10) -> Deg() %s", shortestText(angle.Deg()).c_str());
  angle.Deg(-90.0);
  angle.AddRad(KestDMS2Rad(1, 10, 0, 0.0));
  tour.show("Deg(-90), AddRad(10 degrees) -> Deg() %s", shortestText(angle.Deg()).c_str());
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
    tour.show("Deg(%s) AngleToString(%s, %d) -> %s", shortestText(s.degrees).c_str(), s.unitName,
              s.precision, escaped(angle.AngleToString(s.unit, s.precision), true).c_str());
  }
}

void tourAngles(Tour& tour) {
  tourSplitting(tour);
  tourComposing(tour);
  tourAngleClass(tour);
  tourAngleText(tour);
}

RegisterTourSection const registerTour({300, "Angles", tourAngles});

}  // namespace
}  // namespace kest::cli
