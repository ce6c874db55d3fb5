#pragma once
// Where the characters of narrow text begin, in the ANSI code page of the process. In a
// double-byte code page (932, 936, 949, 950) a lead byte and the byte after it are one
// character, and that second byte may be a '\' or a '|'; in UTF-8 (65001, which a program
// chooses in its manifest) a character is one to four bytes. In any other code page each byte
// is a character. Every narrow scan that looks for a byte such as '\', and every cut of narrow
// text, steps through here, so that neither ever splits a character.

#include <stddef.h>

namespace kest {

// What the code page says of each first byte. Zero-filled, every byte is a character of its
// own: the rule of single-byte code pages, and the one in force until the module has loaded.
struct AnsiCharacters {
  bool multibyte;           // some characters take more than one byte
  bool utf8;                // the code page is UTF-8
  unsigned char more[256];  // the bytes a character beginning with this byte claims after it
};
extern AnsiCharacters g_ansiCharacters;

// Learns the ANSI code page; DllMain calls it once, when the process attaches.
void learnAnsiCodePage();

inline bool ansiIsMultibyte() { return g_ansiCharacters.multibyte; }

// The bytes of a character whose first byte claims `more` bytes after it, as far as they are
// there: a double-byte character ends early only at a terminator, a UTF-8 one at any byte that
// does not continue it (what remains is a character of its own, no valid one).
size_t multibyteSize(char const* text, size_t more);

// The bytes of the character at `text`, which is not at its terminator; never past it.
inline size_t characterSize(char const* text) {
  size_t const more = g_ansiCharacters.more[static_cast<unsigned char>(*text)];
  return more == 0 ? 1 : multibyteSize(text, more);
}

inline char const* nextCharacter(char const* text) { return text + characterSize(text); }
inline char* nextCharacter(char* text) { return text + characterSize(text); }

// The first character of `text` that is one of the single-byte characters of `set`, as
// strpbrk finds a byte; null when there is none.
char const* findCharacter(char const* text, char const* set);
inline char* findCharacter(char* text, char const* set) {
  return const_cast<char*>(findCharacter(static_cast<char const*>(text), set));
}

// How many of the first `length` bytes of `text` (none of them a terminator) hold whole
// characters: `length`, or less by the bytes of a last character that would run past it.
// Reads nothing beyond `length` bytes.
size_t wholeCharactersIn(char const* text, size_t length);

inline size_t wholeCharacterLength(char const* text, size_t length) {
  return ansiIsMultibyte() ? wholeCharactersIn(text, length) : length;
}

}  // namespace kest
