// CRC-32 by folding 256-bit vectors (two 128-bit blocks each) with VPCLMULQDQ on AVX2.

#include "util/crc32_fold.h"

namespace kest::crc32 {
namespace {

// Vectors in flight: enough to keep the multiplier busy while each fold waits on the one
// before it in its stream. Two, four and eight measured the same where the multiplier takes
// a product every other cycle; four cover CPUs that take one a cycle, and with the step's
// multipliers and a loaded vector still fit i686's eight vector registers.
constexpr int kVpclmul256Streams = 4;
constexpr size_t kVpclmul256Stride = 32 * kVpclmul256Streams;

inline constexpr MultiplierRow<2> kVpclmul256Step = multiplierRow<2>(kVpclmul256Streams * 256);
inline constexpr CollapseRows<2, kVpclmul256Streams> kVpclmul256Collapse =
    collapseRows<2, kVpclmul256Streams>();
inline constexpr MultiplierRow<2> kBy256 = multiplierRow<2>(256);

KEST_VPCLMUL256_TARGET inline __m256i load256(unsigned char const* data) {
  return _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data));
}

KEST_VPCLMUL256_TARGET inline __m256i loadRow256(MultiplierRow<2> const& row) {
  return _mm256_load_si256(reinterpret_cast<__m256i const*>(row.half));
}

// `vector` moved forward by the distance of `multipliers` and XORed with `next`.
KEST_VPCLMUL256_TARGET inline __m256i fold256(__m256i vector, __m256i multipliers, __m256i next) {
  return _mm256_xor_si256(_mm256_xor_si256(_mm256_clmulepi64_epi128(vector, multipliers, 0x00),
                                           _mm256_clmulepi64_epi128(vector, multipliers, 0x11)),
                          next);
}

// The whole path for inputs of kShortInput bytes or more. Apart, so that shorter inputs do
// not pay for the registers it saves on entry.
__attribute__((noinline)) KEST_VPCLMUL256_TARGET uint32_t foldVectors(unsigned char const* data,
                                                                      size_t length, uint32_t crc) {
  __m256i const first = _mm256_xor_si256(
      load256(data), _mm256_zextsi128_si256(_mm_cvtsi32_si128(static_cast<int>(~crc))));
  __m256i vector;
  if (length < kVpclmul256Stride) {
    // Fewer than four vectors: one stream, onto which the next vector folds.
    vector = first;
    data += 32;
    length -= 32;
  } else {
    __m256i z[kVpclmul256Streams];
    z[0] = first;
#pragma GCC unroll 8
    for (int i = 1; i < kVpclmul256Streams; ++i) z[i] = load256(data + 32 * i);
    data += kVpclmul256Stride;
    length -= kVpclmul256Stride;

    __m256i const step = loadRow256(kVpclmul256Step);
    for (; length >= kVpclmul256Stride; data += kVpclmul256Stride, length -= kVpclmul256Stride) {
#pragma GCC unroll 8
      for (int i = 0; i < kVpclmul256Streams; ++i)
        z[i] = fold256(z[i], step, load256(data + 32 * i));
    }
    // Every stream straight onto the last one: the folds run side by side.
    vector = z[kVpclmul256Streams - 1];
#pragma GCC unroll 8
    for (int i = 0; i + 1 < kVpclmul256Streams; ++i)
      vector = fold256(z[i], loadRow256(kVpclmul256Collapse.row[i]), vector);
  }

  __m256i const by256 = loadRow256(kBy256);
  for (; length >= 32; data += 32, length -= 32) vector = fold256(vector, by256, load256(data));
  // The low lane moves 128 bits on, onto the high one.
  __m128i const block =
      _mm_xor_si128(fold128(_mm256_castsi256_si128(vector), foldMultipliers<128>()),
                    _mm256_extracti128_si256(vector, 1));
  return finishFolding(block, data, length);
}

}  // namespace

KEST_VPCLMUL256_TARGET uint32_t updateVpclmul256(unsigned char const* data, size_t length,
                                                 uint32_t crc) {
  if (length < kShortInput) return updateShort(data, length, crc);
  return foldVectors(data, length, crc);
}

}  // namespace kest::crc32
