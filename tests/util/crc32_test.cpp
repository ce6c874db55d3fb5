// CRC-32: every path against a bit-at-a-time reference, and the exported overloads.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kest011/util.h"
#include "util/crc32_paths.h"

namespace {

using kest::crc32::CpuFeatures;
using kest::crc32::Update;

// The register after `length` bytes, one bit at a time: shares nothing with the tables.
std::uint32_t referenceUpdate(std::uint32_t reg, unsigned char const* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    reg ^= data[i];
    for (int bit = 0; bit < 8; ++bit) reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
  }
  return reg;
}

std::vector<unsigned char> randomBytes(std::size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<unsigned char> bytes(count);
  for (auto& byte : bytes) byte = static_cast<unsigned char>(random());
  return bytes;
}

struct Path {
  char const* name;
  Update update;
  bool (*available)(CpuFeatures const&);
};

Path const kPaths[] = {
    {"Sliced", kest::crc32::updateSliced, [](CpuFeatures const&) { return true; }},
    {"Clmul", kest::crc32::updateClmul, [](CpuFeatures const& cpu) { return cpu.clmul; }},
    {"Vpclmul", kest::crc32::updateVpclmul, [](CpuFeatures const& cpu) { return cpu.vpclmul; }},
};

// Names the path in test output.
void PrintTo(Path const& path, std::ostream* out) { *out << path.name; }

class CrcPath : public ::testing::TestWithParam<Path> {
 protected:
  void SetUp() override {
    if (!GetParam().available(kest::crc32::detectCpuFeatures()))
      GTEST_SKIP() << "this CPU cannot run the " << GetParam().name << " path";
  }

  // Compares the path with the reference over `length` bytes at `offset` of `bytes`.
  void expectSameAsReference(std::vector<unsigned char> const& bytes, std::size_t offset,
                             std::size_t length, std::uint32_t reg) {
    ASSERT_LE(offset + length, bytes.size());
    unsigned char const* data = bytes.data() + offset;
    ASSERT_EQ(GetParam().update(reg, data, length), referenceUpdate(reg, data, length))
        << "length " << length << ", offset " << offset << ", register " << reg;
  }
};

TEST_P(CrcPath, EveryShortLengthAtEveryAlignment) {
  // 64-byte aligned storage, so offsets 0 to 63 cover every alignment of the start.
  std::vector<unsigned char> const bytes = randomBytes(300 + 64 + 64, 1);
  std::size_t const base = (64 - reinterpret_cast<std::uintptr_t>(bytes.data()) % 64) % 64;
  std::mt19937 random(2);
  for (std::size_t alignment = 0; alignment < 64; ++alignment)
    for (std::size_t length = 0; length <= 300; ++length)
      expectSameAsReference(bytes, base + alignment, length, static_cast<std::uint32_t>(random()));
}

TEST_P(CrcPath, LongerLengthsRunTheFoldingLoops) {
  std::vector<unsigned char> const bytes = randomBytes(4200, 3);
  for (std::size_t length = 300; length <= 2100; ++length)
    expectSameAsReference(bytes, length % 61, length, 0xFFFFFFFFu);
  expectSameAsReference(bytes, 7, 4193, 0x12345678u);
}

INSTANTIATE_TEST_SUITE_P(Crc32, CrcPath, ::testing::ValuesIn(kPaths),
                         [](auto const& info) { return std::string(info.param.name); });

TEST(KestCrc, CheckValues) {
  unsigned char digits[] = "123456789";
  EXPECT_EQ(KestCrc(digits, 9, 0), 0xCBF43926ul);
  EXPECT_EQ(KestCrc("123456789", 0), 0xCBF43926ul);
  EXPECT_EQ(KestCrc("abc", 0), 0x352441C2ul);
  // Continuing: "12345" then "6789".
  EXPECT_EQ(KestCrc("6789", KestCrc("12345", 0)), 0xCBF43926ul);
}

TEST(KestCrc, NothingToReadReturnsTheCrcUnchanged) {
  // A null buffer shows that nothing is read.
  for (int length : {0, -1, -2147483647 - 1}) {
    EXPECT_EQ(KestCrc(nullptr, length, 0), 0ul);
    EXPECT_EQ(KestCrc(nullptr, length, 0xDEADBEEF), 0xDEADBEEFul);
  }
  EXPECT_EQ(KestCrc("", 0), 0ul);
  EXPECT_EQ(KestCrc("", 0xCBF43926), 0xCBF43926ul);
  EXPECT_EQ(KestCrc(static_cast<char const*>(nullptr), 0xCBF43926), 0xCBF43926ul);
}

TEST(KestCrc, ChainsAtAnySplit) {
  std::vector<unsigned char> bytes = randomBytes(1 << 16, 4);
  unsigned long const whole = KestCrc(bytes.data(), static_cast<int>(bytes.size()), 0);
  EXPECT_EQ(whole, ~referenceUpdate(0xFFFFFFFFu, bytes.data(), bytes.size()));

  std::mt19937 random(5);
  for (int round = 0; round < 200; ++round) {
    unsigned long crc = 0;
    std::size_t done = 0;
    while (done < bytes.size()) {
      // Mostly short pieces, now and then a long one.
      std::size_t const limit = (random() % 8 == 0) ? 20000 : 300;
      std::size_t const piece = std::min<std::size_t>(random() % limit, bytes.size() - done);
      crc = KestCrc(bytes.data() + done, static_cast<int>(piece), crc);
      done += piece;
    }
    ASSERT_EQ(crc, whole) << "round " << round;
  }
}

}  // namespace
