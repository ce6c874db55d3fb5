#pragma once
// Names and paths kept in the fixed MAX_PATH-byte members of the memory family.

#include <cstring>

namespace kest {

// True when `name` and its terminator fit in `buffer`.
template <size_t Size>
bool fitsIn(char const (&)[Size], char const* name) {
  return strnlen(name, Size) < Size;
}

// Copies `name`, which fitsIn the buffer, with its terminator.
template <size_t Size>
void storeName(char (&buffer)[Size], char const* name) {
  size_t const length = strnlen(name, Size - 1);
  std::memcpy(buffer, name, length);
  buffer[length] = '\0';
}

}  // namespace kest
