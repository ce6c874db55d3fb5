// CRC-32, greatest common divisor and least common multiple, MIDI playback through the
// system's MCI sequencer (null_midi_driver.cpp is the machine's MIDI port) and key state.

#include <gtest/gtest.h>
#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/notice_window.h"
#include "kest011/util.h"
#include "support/checks.h"
#include "support/temp_folder.h"
#include "util/crc32_paths.h"

namespace {

using namespace kest::crc32;

// The register after `length` bytes, one bit at a time: shares nothing with the tables.
std::uint32_t referenceUpdate(std::uint32_t reg, unsigned char const* data, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    reg ^= data[i];
    for (int bit = 0; bit < 8; ++bit) reg = (reg >> 1) ^ (0xEDB88320u & (0u - (reg & 1u)));
  }
  return reg;
}

// KestCrc as a path, so that the path test walks its choice of path by length too.
std::uint32_t kestCrc(unsigned char const* data, std::size_t length, std::uint32_t crc) {
  return KestCrc(const_cast<unsigned char*>(data), static_cast<int>(length), crc);
}

// Every path and KestCrc, or the one KEST_CRC_PATH names, at every length to 1 KiB from every
// alignment of the start, then over long buffers.
class Crc32Path : public ::testing::TestWithParam<char const*> {};

TEST_P(Crc32Path, MatchesTheBitwiseReferenceAtEveryLengthAndAlignment) {
  char const* const name = GetParam();
  if (char const* forced = std::getenv("KEST_CRC_PATH"); forced && std::strcmp(forced, name))
    GTEST_SKIP() << "KEST_CRC_PATH=" << forced << " leaves out the " << name << " path";
  Path const path =
      std::strcmp(name, "KestCrc") ? findPath(name, detectCpuFeatures()) : Path{kestCrc, true};
  if (!path.runs) GTEST_SKIP() << "Not tested here: this CPU cannot run the " << name << " path";

  std::vector<unsigned char> bytes((1 << 20) + 128);
  std::generate(bytes.begin(), bytes.end(), std::mt19937(1));
  // Offsets count from a 64-byte boundary, so 0 to 63 are every alignment of the start.
  unsigned char const* const base =
      bytes.data() + 64 - reinterpret_cast<std::uintptr_t>(bytes.data()) % 64;
  std::mt19937 random(2);
  for (std::size_t offset = 0; offset < 64; ++offset) {
    auto const reg = static_cast<std::uint32_t>(random());
    // The reference runs on a byte at a time, so each length costs it one more byte.
    std::uint32_t expected = reg;
    for (std::size_t length = 0; length <= 1024; ++length) {
      ASSERT_EQ(path.update(base + offset, length, ~reg), ~expected) << length << " at " << offset;
      expected = referenceUpdate(expected, base + offset + length, 1);
    }
  }
  std::size_t const large = (1 << 20) + 55;
  EXPECT_EQ(path.update(base + 9, large, 0), ~referenceUpdate(~0u, base + 9, large));
}

std::vector<char const*> pathsAndKestCrc() {
  std::vector<char const*> names(std::begin(kPathNames), std::end(kPathNames));
  names.push_back("KestCrc");
  return names;
}

INSTANTIATE_TEST_SUITE_P(EachPath, Crc32Path, ::testing::ValuesIn(pathsAndKestCrc()),
                         [](auto const& info) { return std::string(info.param); });

// The feature bits that open each path: a wide path chosen on a CPU or OS without what it
// needs would fault on its first instruction.
TEST(Crc32, DispatchFollowsCpuidAndTheRegisterStateTheOsSaves) {
  std::uint32_t const leaf1 = (1u << 1) | (1u << 19) | (1u << 28);  // PCLMULQDQ, SSE4.1, AVX
  std::uint32_t const leaf7Avx2 = 1u << 5, leaf7Avx512 = leaf7Avx2 | (1u << 16) | (1u << 31);
  std::uint32_t const vpclmulqdq = 1u << 10;
  std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint64_t, Update> const cases[] = {
      {leaf1, leaf7Avx512, vpclmulqdq, 0xE7, updateVpclmul512},
      {leaf1, leaf7Avx512, vpclmulqdq, 0x07, updateVpclmul256},  // no ZMM state saved
      {leaf1, leaf7Avx2, vpclmulqdq, 0xE7, updateVpclmul256},
      {leaf1, leaf7Avx512, vpclmulqdq, 0x03, updateClmul},  // no YMM state saved
      {leaf1, leaf7Avx512, 0, 0xE7, updateClmul},
      {leaf1 & ~(1u << 19), leaf7Avx512, vpclmulqdq, 0xE7, updateSliced},
  };
  for (auto const& [ecx1, ebx7, ecx7, xcr0, update] : cases)
    EXPECT_EQ(selectUpdate(featuresFrom(ecx1, ebx7, ecx7, xcr0)), update)
        << std::hex << ecx1 << " " << ebx7 << " " << ecx7 << " " << xcr0;
}

TEST(KestCrc, CheckValuesNothingReadAndChains) {
  EXPECT_EQ(KestCrc("123456789", 0), 0xCBF43926ul);
  unsigned char digits[] = "123456789";  // in pieces of one and eight bytes
  EXPECT_EQ(KestCrc(digits + 1, 8, KestCrc(digits, 1, 0)), 0xCBF43926ul);
  // Nothing to read gives the crc back; a null buffer is never read, whatever its length.
  for (int length : {0, -1, INT_MIN, 1, 4096, INT_MAX})
    EXPECT_EQ(KestCrc(nullptr, length, 0xDEADBEEF), 0xDEADBEEFul);
  EXPECT_EQ(KestCrc("", 0xCBF43926), 0xCBF43926ul);
  EXPECT_EQ(KestCrc(static_cast<char const*>(nullptr), 0xCBF43926), 0xCBF43926ul);

  std::vector<unsigned char> bytes(1 << 16);
  std::generate(bytes.begin(), bytes.end(), std::mt19937(1));
  EXPECT_EQ(KestCrc(bytes.data(), static_cast<int>(bytes.size()), 0),
            ~referenceUpdate(0xFFFFFFFFu, bytes.data(), bytes.size()));
}

TEST(GcdLcm, IntLongAndDoubleForms) {
  // Rows 2 and 3: a remainder by -1 is 0, also for the most negative value; a least common
  // multiple beyond 32 bits is 0, one that just fits is kept.
  int const lo = INT_MIN, hi = INT_MAX;
  int const intCases[][4] = {
      {12, 18, 6, 36},  {-4, 6, 2, -12}, {4, -6, -2, 12},  {-6, 0, -6, 0},                //
      {0, 5, 5, 0},     {0, 0, 0, 0},    {lo, -1, -1, lo}, {-1, lo, -1, lo},              //
      {lo, lo, lo, lo}, {hi, 2, 1, 0},   {lo, 3, 1, 0},    {46341, 46341, 46341, 46341},  //
  };
  for (auto const& [a, b, gcd, lcm] : intCases) {
    SCOPED_TRACE(::testing::Message() << "(" << a << ", " << b << ")");
    EXPECT_EQ(__KestGcdi(a, b), gcd);
    EXPECT_EQ(__KestLcmi(a, b), lcm);
    EXPECT_EQ(__KestGcdl(a, b), gcd);
    EXPECT_EQ(__KestLcml(a, b), lcm);
  }

  // Row 2: a negative remainder or second value ends the search. Row 3: a second value at
  // or below DBL_EPSILON counts as zero, one just above does not. Rows 4 and 5: infinity and
  // not a number count as zero; a multiple beyond the range is infinite.
  double const eps = DBL_EPSILON, above = std::nextafter(eps, 1.0), inf = INFINITY, max = DBL_MAX;
  double const doubleCases[][4] = {
      {0.5, 0.25, 0.25, 0.5},   {1.5, 1.0, 0.5, 3.0},   {0.0, 0.0, 0.0, 0.0},                  //
      {-4.0, 6.0, 6.0, -4.0},   {4.0, -6.0, 4.0, -6.0}, {-6.0, 0.0, -6.0, 0.0},                //
      {3.0, 1e-17, 3.0, 1e-17}, {3.0, eps, 3.0, eps},   {2 * above, above, above, 2 * above},  //
      {3.0, NAN, 3.0, NAN},     {NAN, 3.0, 3.0, NAN},   {inf, 3.0, 3.0, inf},                  //
      {3.0, inf, 3.0, inf},     {max, 3.0, 1.0, inf},   {3.0, max, 1.0, inf},
      {max, max, max, inf},  //
  };
  for (auto const& [a, b, gcd, lcm] : doubleCases) {
    SCOPED_TRACE(::testing::Message() << "(" << a << ", " << b << ")");
    EXPECT_TRUE(kest::test::sameBits(gcd, __KestGcdd(a, b)));
    EXPECT_TRUE(kest::test::sameBits(lcm, __KestLcmd(a, b)));
  }
}

// A format-0 MIDI file of six notes, each 25 ticks of 96 to a quarter note of half a
// second (the default tempo).
constexpr DWORD kPieceMs = 6 * 25 * 500 / 96;
std::string midiPiece() {
  std::string file("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x34", 22);  // then 52 bytes:
  for (char key = 60; key < 66; ++key) file += {0, '\x90', key, 0x40, 25, '\x80', key, 0};
  return file + std::string("\0\xFF\x2F\0", 4);  // end of track
}

class Midi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(midiOutGetNumDevs(), 0u) << "no MIDI output port on this machine";
    ASSERT_NE(window_, nullptr);
    piece_ = folder_.write("tune.mid", midiPiece());
  }
  void TearDown() override { KestStopMidi(window_); }

  kest::test::TempFolder folder_;
  std::string piece_;
  kest::helpers::NoticeWindow notices_;  // wait() gives the next notice, or 0 after the time
  HWND const window_ = notices_.handle();
};

// Pausing and resuming, with their notices, are in the tour.
TEST_F(Midi, PlaysInTimeAndReplaysAllOfIt) {
  ASSERT_EQ(KestPlayMidi(window_, piece_.c_str()), 1);
  EXPECT_EQ(notices_.wait(5000), MCI_NOTIFY_SUCCESSFUL);
  DWORD const start = GetTickCount();
  EXPECT_EQ(KestReplayMidi(window_), 1);
  EXPECT_EQ(notices_.wait(5000), MCI_NOTIFY_SUCCESSFUL);
  EXPECT_GE(GetTickCount() - start, kPieceMs);  // all of it again, not skipped through
}

TEST_F(Midi, WithNothingOpenOnlyStopSucceeds) {
  auto expectNothingOpen = [this] {
    EXPECT_EQ(KestPauseMidi(window_), 0);
    EXPECT_EQ(KestResumeMidi(window_), 0);
    EXPECT_EQ(KestReplayMidi(window_), 0);
    EXPECT_EQ(KestStopMidi(window_), 1);
  };
  for (std::string const& name : {folder_.file("missing.mid"), std::string(), folder_.path(),
                                  folder_.write("notes.mid", "not a MIDI file")})
    EXPECT_EQ(KestPlayMidi(window_, name.c_str()), 0) << name;
  EXPECT_EQ(KestPlayMidi(window_, nullptr), 0);
  expectNothingOpen();
  ASSERT_EQ(KestPlayMidi(window_, piece_.c_str()), 1);
  EXPECT_EQ(KestStopMidi(window_), 1);
  expectNothingOpen();
}

TEST_F(Midi, NamesWithSpacesGoQuotedAndNamesTooLongAreRefusedBeforeAnythingCloses) {
  ASSERT_TRUE(CreateDirectoryA(folder_.file("My Music").c_str(), nullptr));
  std::string const spaced = folder_.write("My Music\\a tune.mid", midiPiece());
  EXPECT_EQ(KestPlayMidi(window_, spaced.c_str()), 1);
  EXPECT_EQ(KestPlayMidi(window_, ("\"" + spaced + "\"").c_str()), 1);
  // "open NAME type sequencer alias MUSIC" must fit in 260 characters, quotes included.
  for (auto [length, folder, sent] :
       {std::tuple(227, "Z:\\none\\", true), std::tuple(228, "Z:\\none\\", false),
        std::tuple(225, "Z:\\no one\\", true), std::tuple(226, "Z:\\no one\\", false)}) {
    std::string name = folder;
    name.append(length - name.size(), 'x');
    ASSERT_EQ(KestPlayMidi(window_, piece_.c_str()), 1);
    EXPECT_EQ(KestPlayMidi(window_, name.c_str()), 0);
    // A name that was sent closed the piece first; a refused one left it open.
    EXPECT_EQ(KestPauseMidi(window_), sent ? 0 : 1) << name;
  }
}

// Set in this thread's key state alone: input sent to the desktop would reach the other
// suites running beside this one.
TEST(KeyState, DownOnlyWhileHeldAndNeverForCodesOutsideTheKeyTable) {
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80, keys['K'] = 0x81, keys[VK_CAPITAL] = 0x01;  // toggled alone: up
  ASSERT_TRUE(SetKeyboardState(keys));
  EXPECT_EQ(KestIsKeyDown(VK_SHIFT), 1);
  EXPECT_EQ(KestIsKeyDown('K'), 1);
  EXPECT_EQ(KestIsKeyDown(VK_CAPITAL), 0);
  // Wine's GetKeyState reads the code's low byte alone, so there VK_SHIFT + 256 is Shift.
  for (int key : {VK_SHIFT + 256, VK_SHIFT - 256, INT_MIN + VK_SHIFT, INT_MAX, -1})
    EXPECT_EQ(KestIsKeyDown(key), 0) << key;
}

}  // namespace
