// CRC-32 by folding 128-bit blocks with PCLMULQDQ, four streams at a time.

#include "util/crc32_fold.h"

namespace kest::crc32 {
namespace {

// Blocks in flight: enough to keep the multiplier busy while each fold waits on the one
// before it in its stream. Eight measured no faster than four: past four, the multiplier's
// throughput is the limit, not its latency.
constexpr int kClmulStreams = 4;
constexpr size_t kClmulStride = 16 * kClmulStreams;
static_assert(kShortInput >= kClmulStride);

inline constexpr MultiplierRow<1> kClmulStep = multiplierRow<1>(kClmulStreams * 128);
inline constexpr CollapseRows<1, kClmulStreams> kClmulCollapse = collapseRows<1, kClmulStreams>();

// The whole path for inputs of kShortInput bytes or more. Apart, so that shorter inputs do
// not pay for the registers it saves on entry.
__attribute__((noinline)) KEST_CLMUL_TARGET uint32_t foldStreams(unsigned char const* data,
                                                                 size_t length, uint32_t crc) {
  __m128i x[kClmulStreams];
#pragma GCC unroll 8
  for (int i = 0; i < kClmulStreams; ++i) x[i] = load128(data + 16 * i);
  x[0] = _mm_xor_si128(x[0], _mm_cvtsi32_si128(static_cast<int>(~crc)));
  data += kClmulStride;
  length -= kClmulStride;

  __m128i const step = loadRow(kClmulStep);
  for (; length >= kClmulStride; data += kClmulStride, length -= kClmulStride) {
#pragma GCC unroll 8
    for (int i = 0; i < kClmulStreams; ++i)
      x[i] = _mm_xor_si128(fold128(x[i], step), load128(data + 16 * i));
  }
  // Every stream straight onto the last one: the folds run side by side.
  __m128i block = x[kClmulStreams - 1];
#pragma GCC unroll 8
  for (int i = 0; i + 1 < kClmulStreams; ++i)
    block = _mm_xor_si128(block, fold128(x[i], loadRow(kClmulCollapse.row[i])));
  return finishFolding(block, data, length);
}

}  // namespace

KEST_CLMUL_TARGET uint32_t updateClmul(unsigned char const* data, size_t length, uint32_t crc) {
  if (length < kShortInput) return updateShort(data, length, crc);
  return foldStreams(data, length, crc);
}

}  // namespace kest::crc32
