#include "frame/ansi_characters.h"

#include <string.h>
#include <windows.h>

namespace kest {

AnsiCharacters g_ansiCharacters;

namespace {

void claim(unsigned first, unsigned last, unsigned char more) {
  for (unsigned byte = first; byte <= last; ++byte) g_ansiCharacters.more[byte] = more;
}

bool continues(char byte) {
  return g_ansiCharacters.utf8 ? (static_cast<unsigned char>(byte) & 0xC0) == 0x80 : byte != 0;
}

}  // namespace

void learnAnsiCodePage() {
  if (GetACP() == CP_UTF8) {
    // Lead bytes by the length they announce; C0, C1 and F5 to FF lead nothing valid.
    claim(0xC2, 0xDF, 1);
    claim(0xE0, 0xEF, 2);
    claim(0xF0, 0xF4, 3);
    g_ansiCharacters.utf8 = true;
    g_ansiCharacters.multibyte = true;
    return;
  }
  CPINFOEXA info;
  if (!GetCPInfoExA(CP_ACP, 0, &info) || info.MaxCharSize != 2) return;
  // Ranges of lead bytes, first and last, up to a pair of zeros.
  for (BYTE const* range = info.LeadByte;
       range + 1 < info.LeadByte + MAX_LEADBYTES && range[0] != 0; range += 2) {
    claim(range[0], range[1], 1);
    g_ansiCharacters.multibyte = true;
  }
}

size_t multibyteSize(char const* text, size_t more) {
  size_t size = 1;
  while (size <= more && continues(text[size])) ++size;
  return size;
}

char const* findCharacter(char const* text, char const* set) {
  for (; *text; text = nextCharacter(text))
    if (strchr(set, *text)) return text;
  return nullptr;
}

size_t wholeCharactersIn(char const* text, size_t length) {
  size_t at = 0;
  while (at < length) {
    size_t const more = g_ansiCharacters.more[static_cast<unsigned char>(text[at])];
    size_t size = 1;
    while (size <= more && at + size < length && continues(text[at + size])) ++size;
    // Still claiming bytes at the limit: the rest of the character lies beyond it.
    if (size <= more && at + size == length) return at;
    at += size;
  }
  return at;
}

}  // namespace kest
