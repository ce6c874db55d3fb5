#pragma once
// Text in fixed buffers. Every function takes the buffer's size from its type, and its
// name says what happens to text that does not fit: `copyIfFits`, `join` and `format`
// refuse it and report so, `copyCut` cuts it. A refusal leaves the buffer as it was, except
// for `format`, whose buffer then holds the cut text. Narrow text is cut after its last whole
// character (frame/ansi_characters.h), so a cut may stop short of the room by part of one.

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "frame/ansi_characters.h"

namespace kest {

// The length of `text`, counting at most `limit` units.
template <class Char>
size_t boundedLength(Char const* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != 0) ++length;
  return length;
}

// A name that is null or empty is refused before any system call.
template <class Char>
bool isMissing(Char const* name) {
  return name == nullptr || name[0] == 0;
}

// True when `text` and its terminator fit in `buffer`.
template <class Char, size_t Size>
bool fits(Char const (&)[Size], Char const* text) {
  return boundedLength(text, Size) < Size;
}

// Copies `text` with its terminator when both fit, and returns whether they did.
template <class Char, size_t Size>
bool copyIfFits(Char (&buffer)[Size], Char const* text) {
  size_t const length = boundedLength(text, Size);
  if (length == Size) return false;
  memmove(buffer, text, (length + 1) * sizeof(Char));
  return true;
}

// Copies as much of the first `limit` units of `text` (fewer at its terminator) as fits
// before a terminator, for text that need not be terminated within `limit`. Returns the
// length stored.
template <class Char, size_t Size>
size_t copyCut(Char (&buffer)[Size], Char const* text, size_t limit) {
  size_t const room = limit < Size - 1 ? limit : Size - 1;
  size_t length = boundedLength(text, room);
  if constexpr (sizeof(Char) == 1)
    if (length == room) length = wholeCharacterLength(text, length);
  memmove(buffer, text, length * sizeof(Char));
  buffer[length] = 0;
  return length;
}

// Copies as much of `text` as fits before a terminator. Returns the length stored.
template <class Char, size_t Size>
size_t copyCut(Char (&buffer)[Size], Char const* text) {
  return copyCut(buffer, text, Size - 1);
}

// Writes `parts` one after the other, with a terminator, when all of it fits; returns
// whether it did.
template <class Char, size_t Size, class... Parts>
bool join(Char (&buffer)[Size], Parts const*... parts) {
  Char const* const list[] = {parts...};
  size_t lengths[sizeof...(Parts)];
  size_t total = 0;
  for (size_t i = 0; i < sizeof...(Parts); ++i) {
    lengths[i] = boundedLength(list[i], Size);
    total += lengths[i];
    if (total >= Size) return false;
  }
  Char* out = buffer;
  for (size_t i = 0; i < sizeof...(Parts); ++i) {
    memmove(out, list[i], lengths[i] * sizeof(Char));
    out += lengths[i];
  }
  *out = 0;
  return true;
}

// printf into `buffer`, always terminated. Returns false when the text was cut (or could
// not be formatted).
template <size_t Size>
__attribute__((format(__MINGW_PRINTF_FORMAT, 2, 3))) bool format(char (&buffer)[Size],
                                                                 char const* pattern, ...) {
  va_list arguments;
  va_start(arguments, pattern);
  int const written = vsnprintf(buffer, Size, pattern, arguments);
  va_end(arguments);
  buffer[Size - 1] = '\0';
  if (written >= 0 && static_cast<size_t>(written) >= Size)
    buffer[wholeCharacterLength(buffer, Size - 1)] = '\0';
  return written >= 0 && static_cast<size_t>(written) < Size;
}

}  // namespace kest
