// CRC-32 (reflected, polynomial 0xEDB88320, as in zlib and PNG) over buffers and strings.

#include <string.h>

#include "kest011/util.h"
#include "util/crc32_paths.h"

namespace {

using kest::crc32::Update;

// Chosen while the library loads, before any caller can ask.
Update const g_crcUpdate = kest::crc32::selectUpdate(kest::crc32::detectCpuFeatures());

// Below one 128-bit block the tables beat folding, which pays for a reduction. A choice of
// function rather than of call, so that every compiler makes the call a jump.
Update pathFor(size_t length) { return length < 16 ? kest::crc32::updateSliced : g_crcUpdate; }

}  // namespace

unsigned long KestCrc(unsigned char* data, int length, unsigned long crc) {
  // A null buffer has nothing to read, whatever length comes with it.
  if (length < 1 || !data) return crc;
  auto const size = static_cast<size_t>(length);
  return pathFor(size)(data, size, crc);
}

unsigned long KestCrc(char const* text, unsigned long crc) {
  // A null text counts as empty rather than crashing in strlen.
  if (!text) return crc;
  size_t const size = strlen(text);
  return pathFor(size)(reinterpret_cast<unsigned char const*>(text), size, crc);
}
