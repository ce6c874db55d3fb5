#pragma once
// Folding: the carry-less multiplication steps shared by the 128-, 256- and 512-bit paths.
//
// A 128-bit block of the message stands for a polynomial whose remainder modulo the CRC
// polynomial P is what matters. Multiplying a block by x^D mod P moves it D bits further
// along the message without changing that remainder, so it can be XORed onto the block D
// bits later: "folding". In the reflected bit order the low 64-bit half of a block lies 64
// bits further from its destination than the high half, hence two constants per distance.

#include <immintrin.h>
#include <stddef.h>
#include <stdint.h>

#include "util/crc32_paths.h"
#include "util/crc32_table.h"

// The instruction sets of the folding paths. Functions carry them one by one, so the rest
// of the library, and the DLL as a whole, run on any x86 CPU.
#define KEST_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))
#define KEST_VPCLMUL256_TARGET __attribute__((target("pclmul,sse4.1,avx,avx2,vpclmulqdq")))
#define KEST_VPCLMUL512_TARGET __attribute__((target("pclmul,sse4.1,avx512f,avx512vl,vpclmulqdq")))

namespace kest::crc32 {

// x^bits mod P, bit-reflected and shifted left by one, as the multipliers of reflected
// data must be: the product of two reflected operands comes out one bit low.
constexpr uint64_t foldMultiplier(int bits) {
  uint32_t remainder = 0x80000000u;  // x^0, reflected
  for (int i = 0; i < bits; ++i)
    remainder = (remainder & 1u) ? (remainder >> 1) ^ 0xEDB88320u : remainder >> 1;
  return uint64_t{remainder} << 1;
}

// The reflected polynomial P with its x^32 term, 33 bits.
inline constexpr uint64_t kReflectedP = (uint64_t{0xEDB88320u} << 1) | 1u;

// floor(x^64 / P), reflected over its 33 bits: the Barrett reduction's estimate of the
// quotient.
constexpr uint64_t barrettQuotient() {
  constexpr uint64_t p = 0x104C11DB7u;  // P in the usual (unreflected) order
  uint64_t remainder = 0;
  uint64_t quotient = 0;
  for (int bit = 64; bit >= 0; --bit) {
    remainder = (remainder << 1) | (bit == 64 ? 1u : 0u);
    if (remainder & (uint64_t{1} << 32)) {
      quotient |= uint64_t{1} << bit;
      remainder ^= p;
    }
  }
  uint64_t reflected = 0;
  for (int bit = 0; bit < 33; ++bit)
    if (quotient & (uint64_t{1} << bit)) reflected |= uint64_t{1} << (32 - bit);
  return reflected;
}

inline constexpr uint64_t kBarrettQuotient = barrettQuotient();

// foldMultiplier(bits) as a constant: the loop that makes it runs in the compiler only.
template <int bits>
inline constexpr uint64_t kFoldMultiplier = foldMultiplier(bits);

// The form a 64-bit lane takes in the intrinsics.
constexpr long long lane(uint64_t value) { return static_cast<long long>(value); }

static_assert(kFoldMultiplier<64> == 0x163CD6124u && kFoldMultiplier<96> == 0x0CCAA009Eu &&
              kFoldMultiplier<160> == 0x1751997D0u);
static_assert(kReflectedP == 0x1DB710641u && kBarrettQuotient == 0x1F7011641u);

// The multipliers that fold a 128-bit block `distance` bits forward: for its low half in
// the low lane, for its high half in the high lane.
template <int distance>
KEST_CLMUL_TARGET inline __m128i foldMultipliers() {
  return _mm_set_epi64x(lane(kFoldMultiplier<distance - 32>), lane(kFoldMultiplier<distance + 32>));
}

// The multipliers of foldMultipliers<distance>() in memory, repeated for each 128-bit lane
// of a vector: the tables of the accumulators' distances are built from them.
template <int lanes>
struct MultiplierRow {
  alignas(16 * lanes) uint64_t half[2 * lanes];
};

template <int lanes>
constexpr MultiplierRow<lanes> multiplierRow(int distance) {
  MultiplierRow<lanes> row{};
  for (int i = 0; i < lanes; ++i) {
    row.half[2 * i] = foldMultiplier(distance + 32);
    row.half[2 * i + 1] = foldMultiplier(distance - 32);
  }
  return row;
}

// The rows that bring `count` accumulators of `lanes` 128-bit lanes each onto the last of
// them: accumulator i moves (count - 1 - i) * lanes * 128 bits. The last row is unused.
template <int lanes, int count>
struct CollapseRows {
  MultiplierRow<lanes> row[count];
};

template <int lanes, int count>
constexpr CollapseRows<lanes, count> collapseRows() {
  CollapseRows<lanes, count> rows{};
  for (int i = 0; i + 1 < count; ++i)
    rows.row[i] = multiplierRow<lanes>((count - 1 - i) * 128 * lanes);
  return rows;
}

KEST_CLMUL_TARGET inline __m128i load128(unsigned char const* data) {
  return _mm_loadu_si128(reinterpret_cast<__m128i const*>(data));
}

KEST_CLMUL_TARGET inline __m128i loadRow(MultiplierRow<1> const& row) {
  return _mm_load_si128(reinterpret_cast<__m128i const*>(row.half));
}

// `block` moved forward by the distance of `multipliers`.
KEST_CLMUL_TARGET inline __m128i fold128(__m128i block, __m128i multipliers) {
  return _mm_xor_si128(_mm_clmulepi64_si128(block, multipliers, 0x00),
                       _mm_clmulepi64_si128(block, multipliers, 0x11));
}

// The CRC register of a 128-bit block that already holds the register of what came before
// it: 128 bits to 64, to 32 by Barrett reduction.
KEST_CLMUL_TARGET inline uint32_t reduce128(__m128i block) {
  __m128i const low32 = _mm_setr_epi32(-1, 0, -1, 0);
  __m128i const by96 = _mm_set_epi64x(lane(kFoldMultiplier<96>), 0);
  __m128i const by64 = _mm_set_epi64x(0, lane(kFoldMultiplier<64>));
  __m128i const barrett = _mm_set_epi64x(lane(kBarrettQuotient), lane(kReflectedP));

  // The low half moves 96 bits on, onto the high half: 96 bits of message remain.
  __m128i x = _mm_xor_si128(_mm_srli_si128(block, 8), _mm_clmulepi64_si128(block, by96, 0x10));
  // The low 32 bits move 64 bits on: 64 bits remain.
  x = _mm_xor_si128(_mm_srli_si128(x, 4),
                    _mm_clmulepi64_si128(_mm_and_si128(x, low32), by64, 0x00));
  // Barrett: estimate the quotient from the low 32 bits, subtract quotient times P.
  __m128i const quotient = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
  __m128i const product = _mm_clmulepi64_si128(_mm_and_si128(quotient, low32), barrett, 0x00);
  return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x, product), 1));
}

// pshufb controls: the 16 bytes from offset n move a block's first n bytes to its top and
// clear the rest (the top bit clears a byte); with the top bits flipped, they move the
// block down by n bytes.
alignas(32) inline constexpr unsigned char kShiftWindow[32] = {
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F};

// `block` followed by the last `length` (1 to 15) bytes before `end`, as one block: the 16
// bytes that end at `end`, and the first `length` bytes of `block` folded onto them. Reads
// the 16 bytes before `end`, which `block` covered in part.
KEST_CLMUL_TARGET inline __m128i foldPartial(__m128i block, unsigned char const* end,
                                             size_t length) {
  __m128i const toTop = load128(kShiftWindow + length);
  __m128i const down = _mm_xor_si128(toTop, _mm_set1_epi8(static_cast<char>(0x80)));
  __m128i const last = _mm_blendv_epi8(load128(end - 16), _mm_shuffle_epi8(block, down), toTop);
  return _mm_xor_si128(fold128(_mm_shuffle_epi8(block, toTop), foldMultipliers<128>()), last);
}

// Folds the whole 16-byte blocks of `data` into `block`, then its last bytes, and gives the
// checksum. `block` stands for at least the 16 bytes before `data`.
KEST_CLMUL_TARGET inline uint32_t finishFolding(__m128i block, unsigned char const* data,
                                                size_t length) {
  __m128i const by128 = foldMultipliers<128>();
  for (; length >= 16; data += 16, length -= 16)
    block = _mm_xor_si128(fold128(block, by128), load128(data));
  if (length) block = foldPartial(block, data + length, length);
  return ~reduce128(block);
}

// The checksum after fewer than kShortInput bytes, the same for every folding path: by table
// below one block, where reducing a block costs more than the lookups, and by folding 128-bit
// blocks from one block on. The tables by a jump to their path: inlined here, they would
// need a spill slot on i686, and GCC would realign the stack for it on every call.
KEST_CLMUL_TARGET inline uint32_t updateShort(unsigned char const* data, size_t length,
                                              uint32_t crc) {
  if (length < 16) return updateSliced(data, length, crc);
  return finishFolding(_mm_xor_si128(load128(data), _mm_cvtsi32_si128(static_cast<int>(~crc))),
                       data + 16, length - 16);
}

}  // namespace kest::crc32
