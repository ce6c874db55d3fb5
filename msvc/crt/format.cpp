// The C99 printf family for modules in Microsoft's C++ ABI. MinGW-w64's headers, with
// __USE_MINGW_ANSI_STDIO, send printf, sprintf, snprintf and their v-forms to the
// __mingw_ functions below, which MinGW builds take from MinGW's runtime. The library formats
// integers and text only (its doubles become digits through kest::decimalDigits), so those
// conversions are made here, with C99's return value and termination, as MinGW's runtime
// makes them; floating-point ones, which only test programs and benchmarks print, go to
// msvcrt.dll's own. Any other directive fails the call (-1).

#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

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
  bool left = false;   // '-'
  bool zeros = false;  // '0'
  int width = 0;
  int precision = -1;  // -1: none given
};

// A field of `sign`, `zeros` zeros and `length` characters of `text`, padded to the width with
// blanks on the left or right, or with zeros after the sign.
void emitField(Sink& sink, Layout const& layout, char const* sign, int zeros, char const* text,
               size_t length) {
  size_t const signLength = strlen(sign);
  size_t const total = signLength + static_cast<size_t>(zeros) + length;
  int const padding =
      static_cast<size_t>(layout.width) > total ? static_cast<int>(layout.width - total) : 0;
  if (!layout.left && !layout.zeros) sink.repeat(' ', padding);
  sink.put(sign, signLength);
  if (!layout.left && layout.zeros) sink.repeat('0', padding);
  sink.repeat('0', zeros);
  sink.put(text, length);
  if (layout.left) sink.repeat(' ', padding);
}

void emitInteger(Sink& sink, Layout layout, uint64_t magnitude, bool negative, unsigned base,
                 bool upper) {
  char digits[24];
  int length = sizeof digits;
  char const* const alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  for (uint64_t rest = magnitude; rest != 0; rest /= base) digits[--length] = alphabet[rest % base];
  int const count = static_cast<int>(sizeof digits) - length;
  int zeros = count == 0 ? 1 : 0;
  if (layout.precision >= 0) {
    layout.zeros = false;
    zeros = layout.precision > count ? layout.precision - count : 0;
  }
  emitField(sink, layout, negative ? "-" : "", zeros, digits + length, static_cast<size_t>(count));
}

// A floating-point conversion, made by msvcrt.dll's own _snprintf.
void emitDouble(Sink& sink, Layout const& layout, double value, char conversion) {
  char directive[8] = "%";
  if (layout.left) strcat(directive, "-");
  if (layout.zeros) strcat(directive, "0");
  size_t const length = strlen(strcat(directive, "*.*"));
  directive[length] = conversion;
  directive[length + 1] = '\0';
  char text[512];
  int const written = _snprintf(text, sizeof text - 1, directive, layout.width,
                                layout.precision < 0 ? 6 : layout.precision, value);
  text[sizeof text - 1] = '\0';
  sink.put(text, written < 0 ? strlen(text) : static_cast<size_t>(written));
}

int parsedNumber(char const*& text, va_list& arguments) {
  if (*text == '*') {
    ++text;
    return va_arg(arguments, int);
  }
  int number = 0;
  for (; *text >= '0' && *text <= '9'; ++text)
    number = number > (INT32_MAX - 9) / 10 ? INT32_MAX : number * 10 + (*text - '0');
  return number;
}

// Windows' long has int's size, so 'l' changes no integer (but makes %ls a wide text).
enum class Size { kDefault, kLong, kLongLong, kSize };

Size parsedSize(char const*& text) {
  if (text[0] == 'l' && text[1] == 'l') return text += 2, Size::kLongLong;
  if (text[0] == 'l') return ++text, Size::kLong;
  if (text[0] == 'z') return ++text, Size::kSize;
  return Size::kDefault;
}

int64_t signedArgument(Size size, va_list& arguments) {
  if (size == Size::kLongLong) return va_arg(arguments, long long);
  if (size == Size::kSize) return va_arg(arguments, ptrdiff_t);
  return va_arg(arguments, int);
}

uint64_t unsignedArgument(Size size, va_list& arguments) {
  if (size == Size::kLongLong) return va_arg(arguments, unsigned long long);
  if (size == Size::kSize) return va_arg(arguments, size_t);
  return va_arg(arguments, unsigned);
}

void emitText(Sink& sink, Layout layout, char const* text) {
  if (!text) text = "(null)";
  size_t length = 0;
  while (text[length] && (layout.precision < 0 || length < static_cast<size_t>(layout.precision)))
    ++length;
  layout.zeros = false;
  emitField(sink, layout, "", 0, text, length);
}

// One conversion, `text` just past its '%'. False for a directive this runtime does not
// make: printing it as it stands would leave its argument to the next one.
bool convert(Sink& sink, char const*& text, va_list& arguments) {
  Layout layout;
  for (; *text == '-' || *text == '0'; ++text) (*text == '-' ? layout.left : layout.zeros) = true;
  layout.width = parsedNumber(text, arguments);
  if (layout.width < 0) {
    layout.left = true;
    layout.width = layout.width == INT32_MIN ? INT32_MAX : -layout.width;
  }
  if (*text == '.') {
    layout.precision = parsedNumber(++text, arguments);
    if (layout.precision < 0) layout.precision = -1;
  }
  if (layout.left) layout.zeros = false;
  Size const size = parsedSize(text);
  char const conversion = *text;
  if (conversion) ++text;
  switch (conversion) {
    case 'd':
    case 'i': {
      int64_t const value = signedArgument(size, arguments);
      uint64_t const magnitude =
          value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
      emitInteger(sink, layout, magnitude, value < 0, 10, false);
      break;
    }
    case 'u':
    case 'x':
    case 'X':
      emitInteger(sink, layout, unsignedArgument(size, arguments), false,
                  conversion == 'u' ? 10 : 16, conversion == 'X');
      break;
    case 's':
      if (size != Size::kDefault) return false;
      emitText(sink, layout, va_arg(arguments, char const*));
      break;
    case 'f':
    case 'e':
    case 'g':
      emitDouble(sink, layout, va_arg(arguments, double), conversion);
      break;
    case '%':
      sink.put('%');
      break;
    default:
      return false;
  }
  return true;
}

int format(char* buffer, size_t room, char const* text, va_list arguments) {
  Sink sink{buffer, room, 0};
  bool made = true;
  while (made && *text) {
    if (*text++ != '%')
      sink.put(text[-1]);
    else
      made = convert(sink, text, arguments);
  }
  sink.finish();
  return !made || sink.count > INT32_MAX ? -1 : static_cast<int>(sink.count);
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

// The functions that MinGW-w64's inline printf, fprintf, snprintf, sprintf and their v-forms
// call.
extern "C" {

int __cdecl __mingw_vsnprintf(char* buffer, size_t room, char const* text, va_list arguments) {
  return format(buffer, room, text, arguments);
}

int __cdecl __mingw_vsprintf(char* buffer, char const* text, va_list arguments) {
  return format(buffer, SIZE_MAX, text, arguments);
}

int __cdecl __mingw_vfprintf(FILE* stream, char const* text, va_list arguments) {
  return formatToStream(stream, text, arguments);
}

}  // extern "C"
