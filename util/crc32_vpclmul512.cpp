// CRC-32 by folding 512-bit vectors (four 128-bit blocks each) with VPCLMULQDQ.

#include "util/crc32_fold.h"

namespace kest::crc32 {
namespace {

KEST_VPCLMUL512_TARGET inline __m512i load512(unsigned char const* data) {
  return _mm512_loadu_si512(data);
}

// The multipliers of foldMultipliers<distance>() in all four lanes.
template <int distance>
KEST_VPCLMUL512_TARGET inline __m512i foldMultipliers512() {
  long long const low = lane(kFoldMultiplier<distance + 32>);
  long long const high = lane(kFoldMultiplier<distance - 32>);
  return _mm512_set4_epi64(high, low, high, low);
}

// Lane `index` of `vector` (the maskless extraction trips GCC's uninitialised-value warning).
template <int index>
KEST_VPCLMUL512_TARGET inline __m128i extractLane(__m512i vector) {
  return _mm512_maskz_extracti32x4_epi32(0xF, vector, index);
}

// `vector` moved forward by the distance of `multipliers` and XORed with `next`.
KEST_VPCLMUL512_TARGET inline __m512i fold512(__m512i vector, __m512i multipliers, __m512i next) {
  constexpr int kXorOfThree = 0x96;
  return _mm512_ternarylogic_epi64(_mm512_clmulepi64_epi128(vector, multipliers, 0x00),
                                   _mm512_clmulepi64_epi128(vector, multipliers, 0x11), next,
                                   kXorOfThree);
}

// The four lanes of `vector` folded onto its last lane.
KEST_VPCLMUL512_TARGET inline __m128i foldLanes(__m512i vector) {
  // Lanes 0 to 2 move 384, 256 and 128 bits on; lane 3 stays and is taken as it is.
  __m512i const multipliers = _mm512_set_epi64(
      0, 0, lane(kFoldMultiplier<96>), lane(kFoldMultiplier<160>), lane(kFoldMultiplier<224>),
      lane(kFoldMultiplier<288>), lane(kFoldMultiplier<352>), lane(kFoldMultiplier<416>));
  constexpr __mmask8 kLastLane = 0xC0;
  __m512i const folded =
      _mm512_mask_mov_epi64(_mm512_xor_si512(_mm512_clmulepi64_epi128(vector, multipliers, 0x00),
                                             _mm512_clmulepi64_epi128(vector, multipliers, 0x11)),
                            kLastLane, vector);
  return _mm_xor_si128(_mm_xor_si128(extractLane<0>(folded), extractLane<1>(folded)),
                       _mm_xor_si128(extractLane<2>(folded), extractLane<3>(folded)));
}

// The whole path for inputs of kShortInput bytes or more. Apart, so that shorter inputs do
// not pay for what it needs on entry: on i686, a stack aligned for a 512-bit spill.
__attribute__((noinline)) KEST_VPCLMUL512_TARGET uint32_t foldVectors(unsigned char const* data,
                                                                      size_t length, uint32_t crc) {
  __m512i const by512 = foldMultipliers512<512>();
  __m512i vector = _mm512_xor_si512(
      load512(data), _mm512_zextsi128_si512(_mm_cvtsi32_si128(static_cast<int>(~crc))));
  if (length >= 256) {
    // Four vectors in flight hide the multiplier's latency; each moves 2048 bits a step.
    __m512i const by2048 = foldMultipliers512<2048>();
    __m512i z0 = vector;
    __m512i z1 = load512(data + 64);
    __m512i z2 = load512(data + 128);
    __m512i z3 = load512(data + 192);
    data += 256;
    length -= 256;
    for (; length >= 256; data += 256, length -= 256) {
      z0 = fold512(z0, by2048, load512(data));
      z1 = fold512(z1, by2048, load512(data + 64));
      z2 = fold512(z2, by2048, load512(data + 128));
      z3 = fold512(z3, by2048, load512(data + 192));
    }
    z1 = fold512(z0, by512, z1);
    z2 = fold512(z1, by512, z2);
    vector = fold512(z2, by512, z3);
  } else {
    data += 64;
    length -= 64;
  }
  for (; length >= 64; data += 64, length -= 64) vector = fold512(vector, by512, load512(data));
  return finishFolding(foldLanes(vector), data, length);
}

}  // namespace

KEST_VPCLMUL512_TARGET uint32_t updateVpclmul512(unsigned char const* data, size_t length,
                                                 uint32_t crc) {
  if (length < kShortInput) return updateShort(data, length, crc);
  return foldVectors(data, length, crc);
}

}  // namespace kest::crc32
