// Hostile callers: memory, angles, util.

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "hostile/resource_counts.h"
#include "kest011/angles.h"
#include "kest011/memory.h"
#include "kest011/util.h"
#include "support/temp_folder.h"

namespace {

using namespace kest::test;

// The error out-parameters of one call, stale until the call clears them.
struct Report {
  unsigned long code = 99;
  char* text = reinterpret_cast<char*>(0x1234);
};

MEMORY_BASIC_INFORMATION region(void const* address) {
  MEMORY_BASIC_INFORMATION info = {};
  VirtualQuery(address, &info, sizeof info);
  return info;
}

bool isFreed(void const* address) { return region(address).State == MEM_FREE; }

bool nobodyHolds(std::string const& path) {
  HANDLE const file =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0);
  return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

// A name no other test or process uses.
std::string uniqueName(char const* what) {
  static LONG counter;
  return "kest-hostile-" + std::to_string(GetCurrentProcessId()) + "-" + what + "-" +
         std::to_string(InterlockedIncrement(&counter));
}

// Runs `body` on `count` threads at once and waits for them all.
template <class Body>
void onThreads(int count, Body body) {
  std::vector<std::thread> threads;
  for (int i = 0; i < count; ++i) threads.emplace_back(body);
  for (std::thread& thread : threads) thread.join();
}

constexpr int kThreads = 8;
constexpr int kLeakRounds = 2000;

void expectNoGrowth(Growth const& growth) {
  EXPECT_EQ(growth.handles, 0);
  EXPECT_LE(growth.bytes, kHeapSlack);
}

// ---- Memory block ---------------------------------------------------------------------

// A block that cannot be had is reported with the platform's code; one that can is whole.
TEST(HostileMemoryBlock, SizesAndLimitsAtTheirExtremes) {
  struct {
    char const* what;
    unsigned size, limit;
  } const rows[] = {
      {"size 0", 0, 0},
      {"size 0, largest limit", 0, UINT_MAX},
      {"one byte, largest limit", 1, UINT_MAX},
      {"one byte over a limit of one", 2, 1},
      {"largest size, global heap", UINT_MAX, UINT_MAX},
      {"largest size, virtual memory", UINT_MAX, 1},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    CKestMemory block;
    Report report;
    unsigned char* const address = block.Open(row.size, row.limit, &report.code, &report.text);
    if (row.size == 0) {
      EXPECT_EQ(address, nullptr);
      EXPECT_EQ(report.code, 0u);
      EXPECT_EQ(report.text, nullptr);
    } else if (address) {
      EXPECT_EQ(block.Size(), row.size);
      EXPECT_EQ(address[0] | address[row.size - 1], 0);
      EXPECT_EQ(report.code, 0u);
    } else {
      // Too much for this process: 32-bit always, 64-bit when the commit limit says so.
      EXPECT_TRUE(report.code == ERROR_NOT_ENOUGH_MEMORY || report.code == ERROR_COMMITMENT_LIMIT)
          << report.code;
      EXPECT_NE(report.text, nullptr);
      EXPECT_EQ(block.Size(), 0u);
      EXPECT_EQ(block.Address(), nullptr);
    }
  }
}

// Blocks above the limit come from the virtual-memory allocator, whose region tells whether
// the block is still there.
constexpr unsigned kVirtualSize = 1 << 20;

TEST(HostileMemoryBlock, SelfAssignmentSecondOpenAndDoubleCloseKeepOneBlock) {
  CKestMemory block;
  unsigned char* const address = block.Open(kVirtualSize, 1, nullptr, nullptr);
  ASSERT_NE(address, nullptr);
  CKestMemory& same = block;
  block = same;
  EXPECT_EQ(block.Address(), address);
  Report report;
  EXPECT_EQ(block.Open(16, 0, &report.code, &report.text), nullptr);
  EXPECT_EQ(report.code, 0u);
  EXPECT_EQ(block.Address(), address);
  EXPECT_EQ(block.Size(), kVirtualSize);
  address[kVirtualSize - 1] = 1;
  block.Close();
  EXPECT_TRUE(isFreed(address));
  block.Close();
  EXPECT_EQ(block.Size(), 0u);
  EXPECT_NE(block.Open(16, 0, nullptr, nullptr), nullptr);  // usable again
}

// ---- Memory-mapped file -----------------------------------------------------------------

class HostileMappedFile : public ::testing::Test {
 protected:
  // A path of exactly `length` characters in the folder.
  std::string pathOfLength(size_t length) const {
    std::string path = folder_.path() + "\\";
    path.append(length - path.size(), 'p');
    return path;
  }

  TempFolder folder_;
  std::string const digits_ = folder_.write("digits", "0123456789");
};

TEST_F(HostileMappedFile, PathsAndModesAtTheirExtremes) {
  std::string const longest = pathOfLength(MAX_PATH - 1);
  ASSERT_EQ(folder_.write(longest.substr(folder_.path().size() + 1), "x"), longest);
  HANDLE const locker = CreateFileA(folder_.write("locked", "x").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  std::string const huge(100000, 'p');
  struct {
    char const* what;
    std::string path;
    int mode;
    bool maps;
    unsigned long code;
  } const rows[] = {
      {"missing file", folder_.file("missing"), CKestMmFile::eRead, false, ERROR_FILE_NOT_FOUND},
      {"missing folder", folder_.file("none\\file"), CKestMmFile::eRead, false,
       ERROR_PATH_NOT_FOUND},
      {"a folder", folder_.path(), CKestMmFile::eRead, false, ERROR_ACCESS_DENIED},
      {"a folder, read-write", folder_.path(), CKestMmFile::eReadWrite, false, ERROR_ACCESS_DENIED},
      {"held by another open", folder_.file("locked"), CKestMmFile::eRead, false,
       ERROR_SHARING_VIOLATION},
      {"mode 0", digits_, 0, false, 0},
      {"mode 3", digits_, 3, false, 0},
      {"mode -1", digits_, -1, false, 0},
      {"longest path that fits", longest, CKestMmFile::eReadWrite, true, 0},
      {"one character over", pathOfLength(MAX_PATH), CKestMmFile::eRead, false, 0},
      {"100,000 characters", huge, CKestMmFile::eRead, false, 0},
      {"empty", "", CKestMmFile::eRead, false, 0},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    CKestMmFile file;
    Report report;
    void* const view =
        file.Open(CKestMmFile::eOpenmode(row.mode), row.path.c_str(), &report.code, &report.text);
    EXPECT_EQ(view != nullptr, row.maps);
    EXPECT_EQ(report.code, row.code);
    EXPECT_EQ(report.text != nullptr, row.code != 0);
    EXPECT_EQ(file.Size(nullptr), row.maps ? 1u : 0u);
  }
  CloseHandle(locker);
  CKestMmFile file;
  Report report;
  EXPECT_EQ(file.Open(CKestMmFile::eRead, nullptr, &report.code, &report.text), nullptr);
  EXPECT_EQ(report.code, 0u);
  EXPECT_EQ(report.text, nullptr);
}

TEST_F(HostileMappedFile, SecondOpenSelfAssignmentAndDoubleCloseKeepOneMapping) {
  CKestMmFile file;
  auto* const view =
      static_cast<char*>(file.Open(CKestMmFile::eReadWrite, digits_.c_str(), nullptr, nullptr));
  ASSERT_NE(view, nullptr);
  CKestMmFile& same = file;
  file = same;
  Report report;
  EXPECT_EQ(file.Open(CKestMmFile::eRead, digits_.c_str(), &report.code, &report.text), nullptr);
  EXPECT_EQ(report.code, 0u);
  view[0] = '#';  // still mapped
  file.Close();
  EXPECT_TRUE(nobodyHolds(digits_));
  file.Close();
  EXPECT_EQ(file.Size(nullptr), 10u);  // the last file's size outlives Close
  EXPECT_EQ(readFile(digits_), "#123456789");
}

// ---- Named shared memory ------------------------------------------------------------------

TEST(HostileSharedMemory, NamesAtTheirExtremes) {
  std::string const prefix = uniqueName("n");
  std::string const longest = prefix + std::string(MAX_PATH - 1 - prefix.size(), 'n');
  std::string const over = longest + "n", huge(100000, 'n');
  struct {
    char const* what;
    char const* name;
    bool made;
  } const rows[] = {
      {"null", nullptr, false},
      {"empty", "", false},
      {"longest that fits", longest.c_str(), true},
      {"one over", over.c_str(), false},
      {"100,000", huge.c_str(), false},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    CKestSharedMemory creator, opener;
    Report created, opened;
    EXPECT_EQ(creator.Create(row.name, 64, &created.code, &created.text) != nullptr, row.made);
    EXPECT_EQ(created.code, 0u);
    EXPECT_EQ(created.text, nullptr);
    EXPECT_EQ(opener.Open(row.name, &opened.code, &opened.text) != nullptr, row.made);
    EXPECT_EQ(opened.code, 0u);
    EXPECT_EQ(creator.Exist(row.name), row.made ? 1 : 0);
  }
}

TEST(HostileSharedMemory, SizesAtTheirExtremes) {
  struct {
    char const* what;
    unsigned long size;
  } const rows[] = {{"size 0", 0}, {"largest size", ULONG_MAX}};
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    std::string const name = uniqueName("size");
    CKestSharedMemory block;
    Report report;
    auto* const view = static_cast<unsigned char*>(
        block.Create(name.c_str(), row.size, &report.code, &report.text));
    EXPECT_EQ(block.Size(), row.size);
    if (row.size == 0) {
      // A block of the paging file needs a size.
      EXPECT_EQ(view, nullptr);
      EXPECT_EQ(report.code, static_cast<unsigned long>(ERROR_INVALID_PARAMETER));
    } else if (view) {
      EXPECT_EQ(view[0] | view[row.size - 1], 0);
    } else {
      // Too much for this process: the view of a 32-bit process, or the commit limit.
      EXPECT_TRUE(report.code == ERROR_NOT_ENOUGH_MEMORY || report.code == ERROR_COMMITMENT_LIMIT)
          << report.code;
    }
    if (!view) {
      EXPECT_EQ(block.Exist(name.c_str()), 0);  // nothing was left behind
    }
  }
}

TEST(HostileSharedMemory, SelfAssignmentSecondCreateAndDoubleCloseKeepOneBlock) {
  std::string const name = uniqueName("life");
  CKestSharedMemory block;
  auto* const view = static_cast<char*>(block.Create(name.c_str(), 64, nullptr, nullptr));
  ASSERT_NE(view, nullptr);
  CKestSharedMemory& same = block;
  block = same;
  Report report;
  EXPECT_EQ(block.Create(uniqueName("other").c_str(), 64, &report.code, &report.text), nullptr);
  EXPECT_EQ(report.code, 0u);
  EXPECT_EQ(block.Open(name.c_str(), &report.code, &report.text), nullptr);
  EXPECT_EQ(report.code, 0u);
  view[63] = 1;  // still mapped
  block.Close();
  EXPECT_EQ(block.Exist(name.c_str()), 0);
  block.Close();
  EXPECT_EQ(block.Size(), 64u);
}

// ---- Angles -------------------------------------------------------------------------------

double const kNaN = std::numeric_limits<double>::quiet_NaN();
double const kInf = std::numeric_limits<double>::infinity();
double const kDenormal = std::numeric_limits<double>::denorm_min();

// Same bits, or both NaN.
bool sameBits(double expected, double actual) {
  return std::memcmp(&expected, &actual, sizeof expected) == 0 ||
         (std::isnan(expected) && std::isnan(actual));
}

using Split = void (*)(double, int&, int&, int&, double&, int);

TEST(HostileAngleConversions, SplitsOfNonFiniteTinyAndHugeValues) {
  double const twoTo31 = 2147483648.0;
  struct {
    char const* what;
    Split split;
    double input;
    int precision;
    int sign, whole, minutes;
    double seconds;
  } const rows[] = {
      {"-infinity", KestDeg2DMS, -kInf, 2, -1, INT_MAX, 0, 0.0},
      {"-infinity, packed", KestGCCC2GCCC, -kInf, 2, -1, INT_MAX, 0, 0.0},
      {"NaN, packed", KestDMS2DMS, kNaN, 2, -1, 0, 0, 0.0},
      {"NaN, radians to gon", KestRad2GCCC, kNaN, 2, -1, 0, 0, 0.0},
      {"largest double", KestDeg2DMS, DBL_MAX, 2, 1, INT_MAX, 0, 0.0},
      {"largest radians", KestRad2DMS, -DBL_MAX, 2, -1, INT_MAX, 0, 0.0},
      {"first whole part beyond int", KestGrad2GCCC, twoTo31, 2, 1, INT_MAX, 0, 0.0},
      {"last whole part within int", KestDeg2DMS, twoTo31 - 0.5, -1, 1, INT_MAX, 30, 0.0},
      {"denormal", KestDeg2DMS, kDenormal, 2, 1, 0, 0, 3600 * kDenormal},
      {"negative denormal", KestGrad2GCCC, -kDenormal, 2, -1, 0, 0, 10000 * kDenormal},
      {"largest precision never carries", KestDeg2DMS, 10.999999, INT_MAX, 1, 10, 59,
       59.996400000002694},
      {"smallest precision never carries", KestDeg2DMS, 10.999999, INT_MIN, 1, 10, 59,
       59.996400000002694},
  };
  for (auto const& row : rows) {
    int sign = 0, whole = 0, minutes = 0;
    double seconds = -1.0;
    row.split(row.input, sign, whole, minutes, seconds, row.precision);
    EXPECT_EQ(sign, row.sign) << row.what;
    EXPECT_EQ(whole, row.whole) << row.what;
    EXPECT_EQ(minutes, row.minutes) << row.what;
    EXPECT_TRUE(sameBits(row.seconds, seconds)) << row.what << ": " << seconds;
  }
}

TEST(HostileAngleConversions, PackedAndComposedValuesOfHostileArguments) {
  struct {
    char const* what;
    double got, expected;
  } const rows[] = {
      {"NaN radians stay NaN packed", KestRad2DMS(kNaN, 2), kNaN},
      {"infinite radians stay infinite packed", KestRad2DMS(kInf, 2), kInf},
      {"-infinite radians in gon", KestRad2GCCC(-kInf, 2), -kInf},
      {"NaN packed degrees", KestDMS2Rad(kNaN), kNaN},
      {"-infinite packed degrees", KestDMS2Rad(-kInf), -kInf},
      // Whole units beyond the int range are kept whole, not cut to INT_MAX.
      {"huge radians packed", KestRad2DMS(1e10, 2), 572957795130.4923},
      {"huge radians packed in gon", KestRad2GCCC(-1e12, 2), -63661977236758.13},
      {"huge packed degrees", KestDMS2Rad(3e9 + 0.5), 52359877.5743743},
      {"largest radians packed", KestRad2DMS(DBL_MAX, 2), kInf},
      {"infinite seconds", KestDMS2Deg(1, 0, 0, kInf), kInf},
      {"-infinite seconds count as 0", KestDMS2Deg(-1, 1, 0, -kInf), -1.0},
      {"smallest ints", KestDMS2Deg(-1, INT_MIN, INT_MIN, 0.0), -2111692253.8666666},
      {"largest arguments, gon", KestGCCC2Grad(1, INT_MAX, INT_MAX, DBL_MAX),
       1.7976931348623158e+304},
      {"minutes carried from INT_MAX", KestDMS2DMS(1, 0, INT_MAX, 0.0), 35791394.07},
  };
  for (auto const& row : rows)
    EXPECT_TRUE(sameBits(row.expected, row.got)) << row.what << ": " << row.got;
}

using Angle = CKestAngle;
using Unit = Angle::eAngleType;

double const kHostileValues[] = {kNaN,         kInf,          -kInf,    kDenormal, -kDenormal,
                                 DBL_MIN,      DBL_MAX,       -DBL_MAX, 1e300,     -1e20,
                                 2147483648.0, -2147483649.0, 9.3e18,   65536.5,   -0.0};

// Every way a value gets into an angle.
std::vector<Angle> anglesFrom(double v) {
  std::vector<Angle> angles;
  for (int unit = -1; unit <= 6; ++unit) angles.emplace_back(v, Unit(unit));
  using Setter = void (Angle::*)(double const&);
  for (Setter setter :
       {&Angle::Rad, &Angle::Deg, &Angle::Gon, &Angle::AddRad, &Angle::AddDeg, &Angle::AddGon}) {
    Angle angle(-1.0, Angle::eRad);
    (angle.*setter)(v);
    angles.push_back(angle);
  }
  for (short degrees : {short{SHRT_MIN}, short{SHRT_MAX}})
    for (unsigned short minutes : {0, USHRT_MAX}) {
      angles.emplace_back(degrees, minutes, v);
      angles.emplace_back(-1.0, Angle::eRad);
      angles.back().AddDms(degrees, minutes, v);
    }
  return angles;
}

// Whatever gets in, the angle stays within a full circle (or NaN), its parts within their
// ranges, and every text of it within its buffer: 51 characters and a terminator.
TEST(HostileAngle, EveryWayInKeepsTheAngleItsPartsAndItsTextsInRange) {
  for (double v : kHostileValues)
    for (Angle const& angle : anglesFrom(v)) {
      double const rad = angle.Rad();
      EXPECT_TRUE(std::isnan(rad) || std::fabs(rad) <= 6.283185307179586) << v << " gave " << rad;
      for (int precision : {INT_MIN, -1, 0, 2, INT_MAX}) {
        short degrees = 0;
        unsigned short minutes = 0;
        double seconds = 0.0;
        angle.GetDms(degrees, minutes, seconds, precision);
        EXPECT_LE(std::abs(degrees), 360) << rad;
        EXPECT_LE(std::abs(static_cast<short>(minutes)), 59) << rad;  // -k arrives as 65536 - k
        EXPECT_TRUE(std::isnan(seconds) || std::fabs(seconds) < 60.0) << rad;
      }
      for (int unit = -1; unit <= 6; ++unit)
        for (int precision : {INT_MIN, -38, -37, -1, 0, 1, 37, 38, INT_MAX}) {
          char const* const text = angle.AngleToString(Unit(unit), precision);
          ASSERT_NE(text, nullptr);
          EXPECT_LE(std::strlen(text), 51u) << rad << " " << unit << " " << precision;
        }
    }
}

TEST(HostileAngle, SelfAssignmentAndCopiesReadOnSeveralThreadsKeepTheValue) {
  Angle angle(-30.0, Angle::eDeg);
  Angle& same = angle;
  angle = same;
  EXPECT_TRUE(sameBits(-0.5235987755982988, angle.Rad()));
  std::atomic<int> wrong{0};
  onThreads(kThreads, [&angle, &wrong] {
    for (int i = 0; i < 1000; ++i) {
      Angle copy(angle);
      Angle other;
      other = copy;
      short degrees = 0;
      unsigned short minutes = 1;
      double seconds = 1.0;
      other.GetDms(degrees, minutes, seconds, 2);
      if (!sameBits(angle.Rad(), other.Rad()) || degrees != -30 || minutes != 0) ++wrong;
    }
  });
  EXPECT_EQ(wrong, 0);
}

TEST(HostileAngleText, TextsOfTinyAndHugeValues) {
  Angle const tiny(kDenormal, Angle::eRad), negativeTiny(-kDenormal, Angle::eRad);
  Angle huge;
  huge.Deg(DBL_MAX);  // exactly 128 degrees
  struct {
    char const* what;
    Angle angle;
    Unit unit;
    int precision;
    char const* text;
  } const rows[] = {
      {"denormal in degrees", tiny, Angle::eDeg, 2, ".00"},
      {"denormal, full", tiny, Angle::eDmsPlain, 2, "0 0 0.00"},
      {"denormal, compact", tiny, Angle::eDms, -1, "0.0\""},
      // Below zero, however little: the sign shows.
      {"negative denormal, full", negativeTiny, Angle::eDmsPlain, 2, "-0 0 0.00"},
      {"negative denormal, compact", negativeTiny, Angle::eDmsPlain, -1, "-0.0"},
      {"largest double in degrees", huge, Angle::eDeg, 3, "128.000"},
      {"largest double, full", huge, Angle::eDmsColumns, 1, "128  0  0.0"},
  };
  for (auto const& row : rows)
    EXPECT_STREQ(row.angle.AngleToString(row.unit, row.precision), row.text) << row.what;
}

// ---- Util ---------------------------------------------------------------------------------

TEST(HostileCrc, NullBuffersAreNeverRead) {
  for (int length : {1, 4096, INT_MAX}) {
    SCOPED_TRACE(length);
    EXPECT_EQ(KestCrc(nullptr, length, 0xCBF43926), 0xCBF43926ul);
  }
}

TEST(HostileGcdLcm, DoublesAtTheirExtremes) {
  struct {
    char const* what;
    double a, b, gcd, lcm;
  } const rows[] = {
      {"largest and 3", DBL_MAX, 3.0, 1.0, kInf},
      {"3 and largest", 3.0, DBL_MAX, 1.0, kInf},
      {"largest twice", DBL_MAX, DBL_MAX, DBL_MAX, kInf},
      {"infinite first", kInf, 3.0, 3.0, kInf},
      {"infinite second", 3.0, kInf, 3.0, kInf},
      {"NaN first", kNaN, 3.0, 3.0, kNaN},
  };
  for (auto const& row : rows) {
    EXPECT_TRUE(sameBits(row.gcd, __KestGcdd(row.a, row.b))) << row.what;
    EXPECT_TRUE(sameBits(row.lcm, __KestLcmd(row.a, row.b))) << row.what;
  }
}

TEST(HostileMidi, EmptyTextAndFolderNamesAreNotPlayed) {
  TempFolder folder;
  for (std::string const& name :
       {std::string(), folder.write("notes.mid", "not a MIDI file"), folder.path()})
    EXPECT_EQ(KestPlayMidi(nullptr, name.c_str()), 0) << name;
  EXPECT_EQ(KestStopMidi(nullptr), 1);
}

TEST(HostileKeyState, CodesOutsideTheKeyTableAreNeverDown) {
  // Shift down in this thread's key state alone: input sent to the desktop would reach the
  // other suites running beside this one.
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  ASSERT_TRUE(SetKeyboardState(keys));
  ASSERT_EQ(KestIsKeyDown(VK_SHIFT), 1);
  // Wine's GetKeyState reads the code's low byte alone, so there VK_SHIFT + 256 is Shift.
  for (int key :
       {VK_SHIFT + 256, VK_SHIFT - 256, VK_SHIFT + 0x10000, INT_MIN + VK_SHIFT, INT_MAX, -1})
    EXPECT_EQ(KestIsKeyDown(key), 0) << key;
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
}

// ---- Lifetimes and leaks of every resource-owning class --------------------------------

// Drops the source or the copy first, closing an assigned copy between: the resource
// (`held`) lasts until its last holder goes, and no longer.
template <class T, class Open, class Held>
void expectTheLastHolderKeepsIt(Open open, Held held) {
  for (bool sourceFirst : {true, false}) {
    SCOPED_TRACE(sourceFirst ? "source first" : "copy first");
    auto* source = new T;
    auto* const view = static_cast<char*>(open(*source));
    ASSERT_NE(view, nullptr);
    auto* copy = new T(*source);
    T assigned;
    assigned = *copy;
    delete (sourceFirst ? source : copy);
    assigned.Close();
    EXPECT_TRUE(held(view));
    view[1] = '!';  // the survivor still holds it
    delete (sourceFirst ? copy : source);
    EXPECT_FALSE(held(view));
  }
}

// Copies of an open `source` made, assigned and dropped on several threads at once: the
// resource (`held`) is released once, by the source's Close.
template <class T, class Held>
void expectCopiesOnThreadsReleaseOnce(T& source, Held held) {
  onThreads(kThreads, [&source] {
    for (int i = 0; i < 1000; ++i) {
      T copy(source);
      T other;
      other = copy;
      copy.Close();
    }
  });
  EXPECT_TRUE(held());
  source.Close();
  EXPECT_FALSE(held());
}

TEST(HostileLifetimes, EachResourceLastsUntilItsLastHolderWhateverTheOrder) {
  TempFolder folder;
  std::string const digits = folder.write("digits", "0123456789");
  std::string const name = uniqueName("order");
  expectTheLastHolderKeepsIt<CKestMemory>(
      [](CKestMemory& block) -> void* { return block.Open(kVirtualSize, 1, nullptr, nullptr); },
      [](void* view) { return !isFreed(view); });
  expectTheLastHolderKeepsIt<CKestMmFile>(
      [&](CKestMmFile& file) {
        return file.Open(CKestMmFile::eReadWrite, digits.c_str(), nullptr, nullptr);
      },
      [&](void*) { return !nobodyHolds(digits); });
  EXPECT_EQ(readFile(digits), "0!23456789");
  expectTheLastHolderKeepsIt<CKestSharedMemory>(
      [&](CKestSharedMemory& block) { return block.Create(name.c_str(), 64, nullptr, nullptr); },
      [&](void*) { return CKestSharedMemory().Exist(name.c_str()) == 1; });
}

TEST(HostileLifetimes, CopiesMadeAndDroppedOnSeveralThreadsReleaseOnce) {
  CKestMemory block;
  void* const address = block.Open(kVirtualSize, 1, nullptr, nullptr);
  ASSERT_NE(address, nullptr);
  expectCopiesOnThreadsReleaseOnce(block, [&] { return !isFreed(address); });
  TempFolder folder;
  std::string const digits = folder.write("digits", "0123456789");
  CKestMmFile file;
  ASSERT_NE(file.Open(CKestMmFile::eRead, digits.c_str(), nullptr, nullptr), nullptr);
  expectCopiesOnThreadsReleaseOnce(file, [&] { return !nobodyHolds(digits); });
  std::string const name = uniqueName("threads");
  CKestSharedMemory shared;
  ASSERT_NE(shared.Create(name.c_str(), 64, nullptr, nullptr), nullptr);
  expectCopiesOnThreadsReleaseOnce(shared, [&] { return shared.Exist(name.c_str()) == 1; });
}

void blockAndCopy(unsigned size) {
  CKestMemory block;
  block.Open(size, 0x10000, nullptr, nullptr);
  CKestMemory copy(block);
}

TEST(HostileLeaks, EveryResourceOwningOperationLeaksNothing) {
  TempFolder folder;
  std::string const digits = folder.write("digits", "0123456789");
  std::string const missing = folder.file("missing");
  std::string const shared = uniqueName("leak");
  Angle const angle(-359.9999, Angle::eDeg);
  struct {
    char const* what;
    std::function<void()> round;
  } const rows[] = {
      {"heap block", [] { blockAndCopy(1000); }},
      {"virtual block", [] { blockAndCopy(kVirtualSize); }},
      {"mapped file",
       [&] {
         CKestMmFile file, failed;
         file.Open(CKestMmFile::eReadWrite, digits.c_str(), nullptr, nullptr);
         failed.Open(CKestMmFile::eRead, missing.c_str(), nullptr, nullptr);
         CKestMmFile copy(file);
       }},
      {"shared memory",
       [&] {
         CKestSharedMemory creator, opener, refused;
         creator.Create(shared.c_str(), 1 << 16, nullptr, nullptr);
         opener.Open(shared.c_str(), nullptr, nullptr);
         refused.Create(shared.c_str(), 64, nullptr, nullptr);
         CKestSharedMemory copy(opener);
       }},
      {"angle text",
       [&] {
         for (int unit = 0; unit <= 5; ++unit) {
           angle.AngleToString(Unit(unit), 37);
           angle.AngleToString(Unit(unit), -37);
         }
       }},
      {"missing MIDI file", [] { KestPlayMidi(nullptr, "Z:\\no\\such\\tune.mid"); }},
  };
  for (auto const& row : rows) {
    SCOPED_TRACE(row.what);
    expectNoGrowth(growthOver(kLeakRounds, row.round));
  }
}

// Apart from the other loops: a piece still playing would open handles while they count.
TEST(HostileLeaks, PlayingAndStoppingAShortPieceLeaksNothing) {
  TempFolder folder;
  // One note of a tick and the end of the track.
  std::string const piece =
      folder.write("note.mid", std::string("MThd\0\0\0\6\0\0\0\1\0\x60MTrk\0\0\0\x0C"
                                           "\0\x90\x3C\x40\x01\x80\x3C\0\0\xFF\x2F\0",
                                           34));
  ASSERT_EQ(KestPlayMidi(nullptr, piece.c_str()), 1) << "no MIDI output port on this machine";
  expectNoGrowth(growthOver(kLeakRounds, [&piece] {
    KestPlayMidi(nullptr, piece.c_str());
    KestStopMidi(nullptr);
  }));
}

}  // namespace
