// CRC-32 (reflected, polynomial 0xEDB88320, as in zlib and PNG) over buffers and strings.

#include <string.h>

#include "kest011/util.h"
#include "util/crc32_paths.h"

namespace {

// Chosen while the library loads, before any caller can ask.
kest::crc32::Update const g_crcUpdate = kest::crc32::selectUpdate(kest::crc32::detectCpuFeatures());

}  // namespace

unsigned long KestCrc(unsigned char* data, int length, unsigned long crc) {
  // A null buffer has nothing to read, whatever length comes with it.
  if (length < 1 || !data) return crc;
  return g_crcUpdate(crc, data, static_cast<size_t>(length));
}

unsigned long KestCrc(char const* text, unsigned long crc) {
  // A null text counts as empty rather than crashing in strlen.
  if (!text) return crc;
  return g_crcUpdate(crc, reinterpret_cast<unsigned char const*>(text), strlen(text));
}
