// The C99 printf family for modules in Microsoft's C++ ABI. MinGW-w64's headers, with
// __USE_MINGW_ANSI_STDIO, send printf, sprintf, snprintf and their v-forms to the
// __mingw_ functions below, which MinGW builds take from MinGW's runtime. Doubles print
// exactly and round half to even at the last place shown, as there, so that texts match the
// MinGW builds byte for byte; msvcrt.dll's own printf stops at 17 significant digits.

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

// ---- Output -----------------------------------------------------------------------

// Writes into a buffer of `room` bytes, keeping the last for the terminator, and counts
// every character, written or not.
struct Sink {
  char* buffer;
  size_t room;
  size_t count;

  void put(char c) {
    if (count + 1 < room) buffer[count] = c;
    ++count;
  }
  void put(char const* text, size_t length) {
    for (size_t i = 0; i < length; ++i) put(text[i]);
  }
  void repeat(char c, int times) {
    for (int i = 0; i < times; ++i) put(c);
  }
  void finish() {
    if (room > 0) buffer[count < room ? count : room - 1] = '\0';
  }
};

struct Layout {
  bool left = false;       // '-'
  bool plus = false;       // '+'
  bool space = false;      // ' '
  bool alternate = false;  // '#'
  bool zeros = false;      // '0'
  int width = 0;
  int precision = -1;  // -1: none given
};

// One piece of a converted field: text, or a run of zeros.
struct Part {
  char const* text;
  size_t length;  // of the text, or the number of zeros when text is null
};

Part zerosPart(int count) { return {nullptr, count > 0 ? static_cast<size_t>(count) : 0}; }
Part textPart(char const* text, size_t length) { return {text, length}; }

// A converted field: the sign or prefix, then the parts, padded to the width with blanks
// on the left or right, or with zeros after the sign.
void emitField(Sink& sink, Layout const& layout, char const* prefix, Part const* parts,
               int partCount) {
  size_t const prefixLength = strlen(prefix);
  size_t length = prefixLength;
  for (int i = 0; i < partCount; ++i) length += parts[i].length;
  int const padding =
      static_cast<size_t>(layout.width) > length ? static_cast<int>(layout.width - length) : 0;
  if (!layout.left && !layout.zeros) sink.repeat(' ', padding);
  sink.put(prefix, prefixLength);
  if (!layout.left && layout.zeros) sink.repeat('0', padding);
  for (int i = 0; i < partCount; ++i) {
    if (parts[i].text)
      sink.put(parts[i].text, parts[i].length);
    else
      sink.repeat('0', static_cast<int>(parts[i].length));
  }
  if (layout.left) sink.repeat(' ', padding);
}

void emitText(Sink& sink, Layout const& layout, char const* prefix, char const* text,
              size_t length) {
  Part const part = textPart(text, length);
  emitField(sink, layout, prefix, &part, 1);
}

char const* signOf(bool negative, Layout const& layout) {
  if (negative) return "-";
  if (layout.plus) return "+";
  if (layout.space) return " ";
  return "";
}

// ---- Integers ---------------------------------------------------------------------

void emitInteger(Sink& sink, Layout layout, uint64_t magnitude, bool negative, unsigned base,
                 bool upper, char const* prefix) {
  char digits[24];
  int length = 0;
  char const* const alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  for (uint64_t rest = magnitude; rest != 0; rest /= base) digits[length++] = alphabet[rest % base];
  for (int i = 0; i < length / 2; ++i) {
    char const swap = digits[i];
    digits[i] = digits[length - 1 - i];
    digits[length - 1 - i] = swap;
  }
  int zeros = 0;
  if (layout.precision >= 0) {
    layout.zeros = false;
    zeros = layout.precision > length ? layout.precision - length : 0;
  } else if (length == 0) {
    zeros = 1;
  }
  // '#' with octal shows a leading zero, which the precision may already give.
  if (base == 8 && layout.alternate && zeros == 0 && (length == 0 || digits[0] != '0')) zeros = 1;
  char sign[4] = {};
  strcpy(sign, base == 10 ? signOf(negative, layout) : "");
  if (magnitude != 0) strcat(sign, prefix);
  Part const parts[] = {zerosPart(zeros), textPart(digits, static_cast<size_t>(length))};
  emitField(sink, layout, sign, parts, 2);
}

// ---- Doubles ----------------------------------------------------------------------

// The exact decimal value of a finite double: 0.d1d2d3... times 10^point, no trailing zeros.
// A double's fraction ends at 2^-1074, so its expansion has at most 767 significant digits.
struct Decimal {
  static constexpr int kMaxDigits = 800;
  char digits[kMaxDigits];
  int count;
  int point;
};

// A whole number in base 10^9, least significant limb first.
struct BigWhole {
  static constexpr int kMaxLimbs = 90;
  static constexpr uint32_t kBase = 1000000000u;
  uint32_t limbs[kMaxLimbs];
  int size;

  void multiply(uint32_t factor) {
    uint64_t carry = 0;
    for (int i = 0; i < size; ++i) {
      uint64_t const product = static_cast<uint64_t>(limbs[i]) * factor + carry;
      limbs[i] = static_cast<uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      limbs[size++] = static_cast<uint32_t>(carry % kBase);
      carry /= kBase;
    }
  }
};

void exactDecimal(double magnitude, Decimal& out) {
  uint64_t bits;
  memcpy(&bits, &magnitude, sizeof bits);
  int const biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int exponent = biased == 0 ? -1074 : biased - 1075;
  if (biased != 0) mantissa |= uint64_t{1} << 52;
  out.count = 0;
  out.point = 0;
  if (mantissa == 0) return;

  BigWhole whole;
  whole.size = 0;
  for (uint64_t rest = mantissa; rest != 0; rest /= BigWhole::kBase)
    whole.limbs[whole.size++] = static_cast<uint32_t>(rest % BigWhole::kBase);
  // m * 2^e is whole for e >= 0; for e < 0 it is m * 5^-e / 10^-e.
  int decimalShift = 0;
  if (exponent >= 0) {
    for (; exponent >= 28; exponent -= 28) whole.multiply(1u << 28);
    whole.multiply(1u << exponent);
  } else {
    decimalShift = exponent;
    int fives = -exponent;
    for (; fives >= 13; fives -= 13) whole.multiply(1220703125u);  // 5^13
    uint32_t rest = 1;
    for (; fives > 0; --fives) rest *= 5;
    whole.multiply(rest);
  }

  // The limbs as digits, the most significant limb without its leading zeros.
  int count = 0;
  for (int i = whole.size - 1; i >= 0; --i) {
    char limb[9];
    uint32_t rest = whole.limbs[i];
    for (int d = 8; d >= 0; --d, rest /= 10) limb[d] = static_cast<char>('0' + rest % 10);
    int first = 0;
    if (i == whole.size - 1)
      while (first < 8 && limb[first] == '0') ++first;
    for (int d = first; d < 9; ++d) out.digits[count++] = limb[d];
  }
  out.point = count + decimalShift;
  while (count > 0 && out.digits[count - 1] == '0') --count;
  out.count = count;
}

// Rounds to `keep` significant digits, half to even (keep <= 0: to a unit above the first
// digit, where only more than half a unit rounds up).
void roundDecimal(Decimal& value, long long keep) {
  if (keep >= value.count) return;
  if (keep < 0) {
    value.count = 0;
    return;
  }
  char const first = value.digits[keep];
  bool up = first > '5';
  if (first == '5') {
    bool const moreAfter = keep + 1 < value.count;  // trailing zeros are gone
    bool const lastIsOdd = keep > 0 && (value.digits[keep - 1] - '0') % 2 == 1;
    up = moreAfter || lastIsOdd;
  }
  value.count = keep;
  if (up) {
    int i = keep - 1;
    for (; i >= 0 && value.digits[i] == '9'; --i) --value.count;
    if (i >= 0) {
      ++value.digits[i];
    } else {
      value.digits[0] = '1';
      value.count = 1;
      ++value.point;
    }
  }
  while (value.count > 0 && value.digits[value.count - 1] == '0') --value.count;
}

// Plain notation with `places` places: whole digits, then the point and the places.
// Digits beyond the expansion are zeros, emitted as runs rather than stored, so that 1e308
// needs no 309-digit buffer.
void writeFixed(Sink& sink, Layout const& layout, char const* sign, Decimal const& value,
                int places, bool point) {
  int const wholeStored =
      value.point <= 0 ? 0 : (value.point < value.count ? value.point : value.count);
  int const wholeZeros = value.point <= 0 ? 1 : value.point - wholeStored;
  // Places before the first digit, then the digits that fall among the places.
  int const leading = value.point < 0 ? (-value.point < places ? -value.point : places) : 0;
  int const firstPlaced = value.point < 0 ? 0 : value.point;
  int placed = value.count - firstPlaced;
  if (placed > places - leading) placed = places - leading;
  if (placed < 0) placed = 0;
  Part const parts[] = {
      textPart(value.digits, static_cast<size_t>(wholeStored)),
      zerosPart(wholeZeros),
      textPart(".", point ? 1 : 0),
      zerosPart(leading),
      textPart(value.digits + firstPlaced, static_cast<size_t>(placed)),
      zerosPart(places - leading - placed),
  };
  emitField(sink, layout, sign, parts, 6);
}

// Scientific notation: one digit, the point and `places` digits, the exponent with at least
// `exponentDigits` digits.
void writeScientific(Sink& sink, Layout const& layout, char const* sign, Decimal const& value,
                     int places, bool point, bool upper, int exponentDigits) {
  int placed = value.count - 1;
  if (placed > places) placed = places;
  if (placed < 0) placed = 0;
  int const exponent = value.count == 0 ? 0 : value.point - 1;
  char tail[16];
  int tailLength = 0;
  tail[tailLength++] = upper ? 'E' : 'e';
  tail[tailLength++] = exponent < 0 ? '-' : '+';
  char reversed[8];
  int exponentLength = 0;
  for (int rest = exponent < 0 ? -exponent : exponent; rest != 0; rest /= 10)
    reversed[exponentLength++] = static_cast<char>('0' + rest % 10);
  while (exponentLength < exponentDigits) reversed[exponentLength++] = '0';
  while (exponentLength > 0) tail[tailLength++] = reversed[--exponentLength];
  Part const parts[] = {
      value.count == 0 ? zerosPart(1) : textPart(value.digits, 1),
      textPart(".", point ? 1 : 0),
      textPart(value.digits + 1, static_cast<size_t>(placed)),
      zerosPart(places - placed),
      textPart(tail, static_cast<size_t>(tailLength)),
  };
  emitField(sink, layout, sign, parts, 5);
}

// Exponents have two digits at least, as C99 and MinGW's printf write them (msvcrt.dll's
// writes three).
constexpr int kExponentDigits = 2;

void emitDouble(Sink& sink, Layout layout, double number, char conversion) {
  uint64_t bits;
  memcpy(&bits, &number, sizeof bits);
  bool const special = ((bits >> 52) & 0x7FF) == 0x7FF;
  bool const nan = special && (bits & ((uint64_t{1} << 52) - 1)) != 0;
  // MinGW's printf shows no sign for a NaN whose sign bit is set.
  bool const negative = (bits >> 63) != 0 && !nan;
  char const* const sign = signOf(negative, layout);
  bool const upper = conversion == 'F' || conversion == 'E' || conversion == 'G';
  if (special) {
    char const* const text = nan ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf");
    layout.zeros = false;
    emitText(sink, layout, sign, text, 3);
    return;
  }
  int const precision = layout.precision < 0 ? 6 : layout.precision;
  Decimal value;
  exactDecimal(negative ? -number : number, value);
  char const lower = static_cast<char>(conversion | 0x20);
  if (lower == 'f') {
    roundDecimal(value, static_cast<long long>(value.point) + precision);
    writeFixed(sink, layout, sign, value, precision, precision > 0 || layout.alternate);
  } else if (lower == 'e') {
    roundDecimal(value, static_cast<long long>(precision) + 1);
    writeScientific(sink, layout, sign, value, precision, precision > 0 || layout.alternate, upper,
                    kExponentDigits);
  } else {
    // %g: the significant digits asked for, in the notation that the exponent calls for,
    // without trailing zeros unless '#'.
    int const significant = precision == 0 ? 1 : precision;
    roundDecimal(value, significant);
    int const exponent = value.count == 0 ? 0 : value.point - 1;
    if (exponent >= -4 && exponent < significant) {
      // Past INT_MAX places the text could not be counted anyway.
      long long const wanted = static_cast<long long>(significant) - 1 - exponent;
      int places = wanted > INT32_MAX ? INT32_MAX : static_cast<int>(wanted);
      if (!layout.alternate) {
        int const needed = value.count - value.point;
        places = needed < places ? (needed > 0 ? needed : 0) : places;
      }
      writeFixed(sink, layout, sign, value, places, places > 0 || layout.alternate);
    } else {
      int places = significant - 1;
      if (!layout.alternate)
        places = value.count - 1 < places ? (value.count > 1 ? value.count - 1 : 0) : places;
      writeScientific(sink, layout, sign, value, places, places > 0 || layout.alternate, upper,
                      kExponentDigits);
    }
  }
}

// A wide string (%ls), each character in the ANSI code page; the width and the precision
// count characters.
void emitWide(Sink& sink, Layout const& layout, wchar_t const* string) {
  if (!string) string = L"(null)";
  size_t count = 0;
  while (string[count] && (layout.precision < 0 || count < static_cast<size_t>(layout.precision)))
    ++count;
  int const padding =
      static_cast<size_t>(layout.width) > count ? static_cast<int>(layout.width - count) : 0;
  if (!layout.left) sink.repeat(' ', padding);
  for (size_t i = 0; i < count; ++i) {
    char narrow[8];
    int const bytes =
        WideCharToMultiByte(CP_ACP, 0, string + i, 1, narrow, sizeof narrow, nullptr, nullptr);
    sink.put(narrow, static_cast<size_t>(bytes > 0 ? bytes : 0));
  }
  if (layout.left) sink.repeat(' ', padding);
}

// ---- The format -------------------------------------------------------------------

enum class Size { kDefault, kChar, kShort, kLong, kLongLong, kSize, kMax, kPointerDifference };

int format(char* buffer, size_t room, char const* text, va_list arguments) {
  Sink sink{buffer, room, 0};
  while (*text) {
    if (*text != '%') {
      sink.put(*text++);
      continue;
    }
    char const* const start = text++;
    Layout layout;
    for (;; ++text) {
      if (*text == '-')
        layout.left = true;
      else if (*text == '+')
        layout.plus = true;
      else if (*text == ' ')
        layout.space = true;
      else if (*text == '#')
        layout.alternate = true;
      else if (*text == '0')
        layout.zeros = true;
      else
        break;
    }
    if (*text == '*') {
      layout.width = va_arg(arguments, int);
      if (layout.width < 0) {
        layout.left = true;
        layout.width = layout.width == INT32_MIN ? INT32_MAX : -layout.width;
      }
      ++text;
    } else {
      for (; *text >= '0' && *text <= '9'; ++text)
        layout.width =
            layout.width > (INT32_MAX - 9) / 10 ? INT32_MAX : layout.width * 10 + (*text - '0');
    }
    if (*text == '.') {
      ++text;
      layout.precision = 0;
      if (*text == '*') {
        layout.precision = va_arg(arguments, int);
        if (layout.precision < 0) layout.precision = -1;
        ++text;
      } else {
        for (; *text >= '0' && *text <= '9'; ++text)
          layout.precision = layout.precision > (INT32_MAX - 9) / 10
                                 ? INT32_MAX
                                 : layout.precision * 10 + (*text - '0');
      }
    }
    if (layout.left) layout.zeros = false;
    Size size = Size::kDefault;
    if (text[0] == 'h' && text[1] == 'h')
      size = Size::kChar, text += 2;
    else if (text[0] == 'h')
      size = Size::kShort, ++text;
    else if (text[0] == 'l' && text[1] == 'l')
      size = Size::kLongLong, text += 2;
    else if (text[0] == 'l')
      size = Size::kLong, ++text;
    else if (text[0] == 'L' || text[0] == 'q')
      size = Size::kLongLong, ++text;
    else if (text[0] == 'I' && text[1] == '6' && text[2] == '4')
      size = Size::kLongLong, text += 3;
    else if (text[0] == 'I' && text[1] == '3' && text[2] == '2')
      size = Size::kDefault, text += 3;
    else if (text[0] == 'I')
      size = Size::kSize, ++text;
    else if (text[0] == 'z')
      size = Size::kSize, ++text;
    else if (text[0] == 'j')
      size = Size::kMax, ++text;
    else if (text[0] == 't')
      size = Size::kPointerDifference, ++text;

    char const conversion = *text;
    if (conversion) ++text;
    switch (conversion) {
      case 'd':
      case 'i': {
        long long value;
        switch (size) {
          case Size::kLongLong:
          case Size::kMax:
            value = va_arg(arguments, long long);
            break;
          case Size::kSize:
          case Size::kPointerDifference:
            value = va_arg(arguments, ptrdiff_t);
            break;
          case Size::kLong:
            value = va_arg(arguments, long);
            break;
          case Size::kShort:
            value = static_cast<short>(va_arg(arguments, int));
            break;
          case Size::kChar:
            value = static_cast<signed char>(va_arg(arguments, int));
            break;
          default:
            value = va_arg(arguments, int);
            break;
        }
        uint64_t const magnitude =
            value < 0 ? uint64_t{0} - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
        emitInteger(sink, layout, magnitude, value < 0, 10, false, "");
        break;
      }
      case 'u':
      case 'o':
      case 'x':
      case 'X': {
        uint64_t value;
        switch (size) {
          case Size::kLongLong:
          case Size::kMax:
            value = va_arg(arguments, unsigned long long);
            break;
          case Size::kSize:
          case Size::kPointerDifference:
            value = va_arg(arguments, size_t);
            break;
          case Size::kLong:
            value = va_arg(arguments, unsigned long);
            break;
          case Size::kShort:
            value = static_cast<unsigned short>(va_arg(arguments, unsigned));
            break;
          case Size::kChar:
            value = static_cast<unsigned char>(va_arg(arguments, unsigned));
            break;
          default:
            value = va_arg(arguments, unsigned);
            break;
        }
        unsigned const base = conversion == 'u' ? 10 : conversion == 'o' ? 8 : 16;
        char const* const prefix =
            layout.alternate && base == 16 ? (conversion == 'X' ? "0X" : "0x") : "";
        emitInteger(sink, layout, value, false, base, conversion == 'X', prefix);
        break;
      }
      case 'p': {
        // As MinGW's printf: lower-case hexadecimal without a prefix, as many digits as a
        // pointer has unless a width or precision is given.
        void* const pointer = va_arg(arguments, void*);
        if (layout.width == 0 && layout.precision < 0) layout.precision = 2 * sizeof pointer;
        emitInteger(sink, layout, reinterpret_cast<uintptr_t>(pointer), false, 16, false, "");
        break;
      }
      case 'c': {
        char const c = static_cast<char>(va_arg(arguments, int));
        layout.zeros = false;
        emitText(sink, layout, "", &c, 1);
        break;
      }
      case 's': {
        if (size == Size::kLong) {
          emitWide(sink, layout, va_arg(arguments, wchar_t const*));
          break;
        }
        char const* string = va_arg(arguments, char const*);
        if (!string) string = "(null)";
        size_t length = 0;
        while (string[length] &&
               (layout.precision < 0 || length < static_cast<size_t>(layout.precision)))
          ++length;
        layout.zeros = false;
        emitText(sink, layout, "", string, length);
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
        emitDouble(sink, layout, va_arg(arguments, double), conversion);
        break;
      case '%':
        sink.put('%');
        break;
      default:
        // Not a conversion this runtime knows: shown as it stands.
        sink.put(start, static_cast<size_t>(text - start));
        break;
    }
  }
  sink.finish();
  return sink.count > INT32_MAX ? -1 : static_cast<int>(sink.count);
}

// Formats into the caller's stream through a buffer on the stack, or one from the heap
// when the text does not fit.
int formatToStream(FILE* stream, char const* text, va_list arguments) {
  char local[1024];
  va_list again;
  va_copy(again, arguments);
  int const length = format(local, sizeof local, text, arguments);
  int result = length;
  if (length >= 0 && static_cast<size_t>(length) < sizeof local) {
    if (fwrite(local, 1, static_cast<size_t>(length), stream) != static_cast<size_t>(length))
      result = -1;
  } else if (length >= 0) {
    char* const heap = static_cast<char*>(malloc(static_cast<size_t>(length) + 1));
    if (!heap) {
      result = -1;
    } else {
      format(heap, static_cast<size_t>(length) + 1, text, again);
      if (fwrite(heap, 1, static_cast<size_t>(length), stream) != static_cast<size_t>(length))
        result = -1;
      free(heap);
    }
  }
  va_end(again);
  return result;
}

}  // namespace

extern "C" {

int __cdecl __mingw_vsnprintf(char* buffer, size_t room, char const* text, va_list arguments) {
  return format(buffer, room, text, arguments);
}

int __cdecl __mingw_snprintf(char* buffer, size_t room, char const* text, ...) {
  va_list arguments;
  va_start(arguments, text);
  int const length = format(buffer, room, text, arguments);
  va_end(arguments);
  return length;
}

int __cdecl __mingw_vsprintf(char* buffer, char const* text, va_list arguments) {
  return format(buffer, SIZE_MAX, text, arguments);
}

int __cdecl __mingw_sprintf(char* buffer, char const* text, ...) {
  va_list arguments;
  va_start(arguments, text);
  int const length = format(buffer, SIZE_MAX, text, arguments);
  va_end(arguments);
  return length;
}

int __cdecl __mingw_vfprintf(FILE* stream, char const* text, va_list arguments) {
  return formatToStream(stream, text, arguments);
}

int __cdecl __mingw_fprintf(FILE* stream, char const* text, ...) {
  va_list arguments;
  va_start(arguments, text);
  int const length = formatToStream(stream, text, arguments);
  va_end(arguments);
  return length;
}

int __cdecl __mingw_vprintf(char const* text, va_list arguments) {
  return formatToStream(stdout, text, arguments);
}

int __cdecl __mingw_printf(char const* text, ...) {
  va_list arguments;
  va_start(arguments, text);
  int const length = formatToStream(stdout, text, arguments);
  va_end(arguments);
  return length;
}

}  // extern "C"
