// CRC-32 by folding 128-bit blocks with PCLMULQDQ, four streams at a time.

#include "util/crc32_fold.h"

namespace kest::crc32 {
namespace {

// Below this the tables win: reducing a folded block costs about as much as looking up
// this many bytes.
constexpr size_t kClmulMinimumLength = 64;

}  // namespace

KEST_CLMUL_TARGET uint32_t updateClmul(uint32_t reg, unsigned char const* data, size_t length) {
  if (length < kClmulMinimumLength) return updateSliced(reg, data, length);

  // Four blocks in flight hide the multiplier's latency; each moves 512 bits a step.
  __m128i const by512 = foldMultipliers<512>();
  __m128i const by128 = foldMultipliers<128>();
  __m128i x0 = _mm_xor_si128(load128(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
  __m128i x1 = load128(data + 16);
  __m128i x2 = load128(data + 32);
  __m128i x3 = load128(data + 48);
  data += 64;
  length -= 64;
  for (; length >= 64; data += 64, length -= 64) {
    x0 = _mm_xor_si128(fold128(x0, by512), load128(data));
    x1 = _mm_xor_si128(fold128(x1, by512), load128(data + 16));
    x2 = _mm_xor_si128(fold128(x2, by512), load128(data + 32));
    x3 = _mm_xor_si128(fold128(x3, by512), load128(data + 48));
  }
  x1 = _mm_xor_si128(fold128(x0, by128), x1);
  x2 = _mm_xor_si128(fold128(x1, by128), x2);
  x3 = _mm_xor_si128(fold128(x2, by128), x3);
  return finishFolding(x3, data, length);
}

}  // namespace kest::crc32
