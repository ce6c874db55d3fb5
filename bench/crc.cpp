// bench_crc: CRC-32 throughput of KestCrc, of zlib's crc32 (where the build has zlib) and of
// each of the library's paths that the CPU runs (only the one KEST_CRC_PATH names, if set),
// against a plain read of the same bytes (the memory-bandwidth ceiling), in GB/s. C headers
// only, so that it builds in Microsoft's ABI too.

#include <cpuid.h>
#include <immintrin.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#ifdef KEST_BENCH_ZLIB
#include <zlib.h>
#endif

#include "kest011/util.h"
#include "util/crc32_paths.h"

namespace {

using kest::crc32::CpuFeatures;

constexpr size_t kSizes[] = {1, 4, 8, 16, 32, 64, 128, 256, 1 << 10, 64 << 10, 1 << 20, 64 << 20};
constexpr size_t kLargest = 64 << 20;
constexpr double kTrialSeconds = 0.001;  // each trial runs at least this long
constexpr int kTrials = 50;              // the best trial counts

// Results go here so that the compiler cannot drop the work.
volatile uint64_t g_sink;

double now() {
  static LARGE_INTEGER const frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One way of going over `length` bytes.
using Method = uint64_t (*)(unsigned char const* data, size_t length);

uint64_t kestCrc(unsigned char const* data, size_t length) {
  return KestCrc(const_cast<unsigned char*>(data), static_cast<int>(length), 0);
}

#ifdef KEST_BENCH_ZLIB
uint64_t zlibCrc(unsigned char const* data, size_t length) {
  return crc32(0, data, static_cast<uInt>(length));
}
#endif

// The path being timed: one at a time, so that every path can go through the same Method.
kest::crc32::Update g_path;

uint64_t path(unsigned char const* data, size_t length) { return g_path(data, length, 0); }

// The plain read: every byte loaded once, with the widest loads the CPU has, into XORs
// that cost less than the loads.
__attribute__((target("avx512f"))) uint64_t readWide(unsigned char const* data, size_t length) {
  __m512i a = _mm512_setzero_si512(), b = a, c = a, d = a;
  size_t i = 0;
  for (; i + 256 <= length; i += 256) {
    a = _mm512_xor_si512(a, _mm512_loadu_si512(data + i));
    b = _mm512_xor_si512(b, _mm512_loadu_si512(data + i + 64));
    c = _mm512_xor_si512(c, _mm512_loadu_si512(data + i + 128));
    d = _mm512_xor_si512(d, _mm512_loadu_si512(data + i + 192));
  }
  for (; i + 64 <= length; i += 64) a = _mm512_xor_si512(a, _mm512_loadu_si512(data + i));
  uint64_t rest = 0;
  for (; i < length; ++i) rest += data[i];
  uint64_t lanes[8];
  _mm512_storeu_si512(lanes, _mm512_xor_si512(_mm512_xor_si512(a, b), _mm512_xor_si512(c, d)));
  for (uint64_t lane : lanes) rest += lane;
  return rest;
}

__attribute__((target("avx2"))) uint64_t readAvx2(unsigned char const* data, size_t length) {
  __m256i a = _mm256_setzero_si256(), b = a, c = a, d = a;
  size_t i = 0;
  for (; i + 128 <= length; i += 128) {
    a = _mm256_xor_si256(a, _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data + i)));
    b = _mm256_xor_si256(b, _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data + i + 32)));
    c = _mm256_xor_si256(c, _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data + i + 64)));
    d = _mm256_xor_si256(d, _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data + i + 96)));
  }
  for (; i + 32 <= length; i += 32)
    a = _mm256_xor_si256(a, _mm256_loadu_si256(reinterpret_cast<__m256i const*>(data + i)));
  uint64_t rest = 0;
  for (; i < length; ++i) rest += data[i];
  __m256i const all = _mm256_xor_si256(_mm256_xor_si256(a, b), _mm256_xor_si256(c, d));
  return static_cast<uint64_t>(_mm_cvtsi128_si32(_mm256_castsi256_si128(all))) + rest;
}

uint64_t readNarrow(unsigned char const* data, size_t length) {
  __m128i a = _mm_setzero_si128(), b = a, c = a, d = a;
  size_t i = 0;
  for (; i + 64 <= length; i += 64) {
    a = _mm_xor_si128(a, _mm_loadu_si128(reinterpret_cast<__m128i const*>(data + i)));
    b = _mm_xor_si128(b, _mm_loadu_si128(reinterpret_cast<__m128i const*>(data + i + 16)));
    c = _mm_xor_si128(c, _mm_loadu_si128(reinterpret_cast<__m128i const*>(data + i + 32)));
    d = _mm_xor_si128(d, _mm_loadu_si128(reinterpret_cast<__m128i const*>(data + i + 48)));
  }
  for (; i + 16 <= length; i += 16)
    a = _mm_xor_si128(a, _mm_loadu_si128(reinterpret_cast<__m128i const*>(data + i)));
  uint64_t rest = 0;
  for (; i < length; ++i) rest += data[i];
  __m128i const all = _mm_xor_si128(_mm_xor_si128(a, b), _mm_xor_si128(c, d));
  return static_cast<uint64_t>(_mm_cvtsi128_si32(all)) + rest;
}

// Seconds that `repeats` calls of `method` over the first `length` bytes of `data` take.
double timeCalls(Method method, unsigned char const* data, size_t length, size_t repeats) {
  double const start = now();
  uint64_t sum = 0;
  for (size_t i = 0; i < repeats; ++i) sum += method(data, length);
  double const seconds = now() - start;
  g_sink = g_sink + sum;
  return seconds;
}

constexpr size_t kMaxColumns = 8;

struct Column {
  char const* name;
  Method method;
  kest::crc32::Update update;  // for the columns of the library's paths
};

// Bytes a second of each column over the first `length` bytes of `data`: the best of several
// trials, each repeating the call until it has run long enough to time. The columns take
// turns trial by trial, so that a busy spell of the machine costs them all alike.
void rates(Column const* columns, size_t count, unsigned char const* data, size_t length,
           double* best) {
  size_t repeats[kMaxColumns] = {};
  for (size_t i = 0; i < count; ++i) {
    g_path = columns[i].update;
    for (repeats[i] = 1; timeCalls(columns[i].method, data, length, repeats[i]) < kTrialSeconds;)
      repeats[i] *= 2;
    best[i] = 0;
  }
  for (int trial = 0; trial < kTrials; ++trial) {
    for (size_t i = 0; i < count; ++i) {
      g_path = columns[i].update;
      double const seconds = timeCalls(columns[i].method, data, length, repeats[i]);
      double const bytesPerSecond =
          static_cast<double>(length) * static_cast<double>(repeats[i]) / seconds;
      if (bytesPerSecond > best[i]) best[i] = bytesPerSecond;
    }
  }
}

void printSize(size_t size) {
  if (size >= (1 << 20))
    printf("%4zu MiB", size >> 20);
  else if (size >= (1 << 10))
    printf("%4zu KiB", size >> 10);
  else
    printf("%4zu B  ", size);
}

char const* chosenPath(CpuFeatures const& cpu) {
  if (cpu.vpclmul512) return "VPCLMULQDQ, 512-bit";
  if (cpu.vpclmul256) return "VPCLMULQDQ, 256-bit";
  if (cpu.clmul) return "PCLMULQDQ, 128-bit";
  return "slicing by 16";
}

// KestCrc and every path timed against the slicing path, and against zlib where the build
// has it.
bool sameResults(unsigned char const* data, Column const* columns, size_t count) {
  for (size_t size : kSizes) {
    uint64_t const expected = kest::crc32::updateSliced(data, size, 0);
    if (kestCrc(data, size) != expected) return false;
#ifdef KEST_BENCH_ZLIB
    if (zlibCrc(data, size) != expected) return false;
#endif
    for (size_t i = 0; i < count; ++i)
      if (columns[i].update && columns[i].update(data, size, 0) != expected) return false;
  }
  return true;
}

// splitmix64: the same bytes on every run and build.
uint64_t nextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

}  // namespace

int main() {
  CpuFeatures const cpu = kest::crc32::detectCpuFeatures();
  // The widest loads whose registers the OS saves.
  Method const read = cpu.vpclmul512 ? readWide : cpu.vpclmul256 ? readAvx2 : readNarrow;
  char const* const readWidth = cpu.vpclmul512 ? "512" : cpu.vpclmul256 ? "256" : "128";
  Column columns[kMaxColumns] = {
      {"KestCrc", kestCrc, nullptr},
#ifdef KEST_BENCH_ZLIB
      {"zlib", zlibCrc, nullptr},
#endif
      {"read", read, nullptr},
  };
#ifdef KEST_BENCH_ZLIB
  constexpr size_t kReadColumn = 2;
#else
  constexpr size_t kReadColumn = 1;
#endif
  size_t const firstPath = kReadColumn + 1;
  size_t count = firstPath;
  char const* const forced = getenv("KEST_CRC_PATH");
  for (char const* name : kest::crc32::kPathNames) {
    kest::crc32::Path const found = kest::crc32::findPath(name, cpu);
    if (found.runs && (!forced || strcmp(forced, name) == 0))
      columns[count++] = {name, path, found.update};
  }
  if (forced && count == firstPath) {
    fprintf(stderr, "bench_crc: KEST_CRC_PATH=%s: no such path on this CPU\n", forced);
    return 1;
  }

  // One buffer, page-aligned, of random bytes; each size uses its beginning.
  auto* data = static_cast<unsigned char*>(
      VirtualAlloc(nullptr, kLargest, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!data) {
    fprintf(stderr, "bench_crc: cannot allocate %zu bytes\n", kLargest);
    return 1;
  }
  uint64_t state = 1;
  for (size_t i = 0; i < kLargest; i += 8) {
    uint64_t const word = nextRandom(state);
    memcpy(data + i, &word, 8);
  }
  if (!sameResults(data, columns, count)) {
    fprintf(stderr, "bench_crc: the CRC-32s disagree\n");
    return 1;
  }

  printf("CRC-32 throughput in GB/s (10^9 bytes a second); KestCrc takes the %s path;\n",
         chosenPath(cpu));
#ifdef KEST_BENCH_ZLIB
  printf("zlib %s; ", zlibVersion());
#endif
  printf("the plain read uses %s-bit loads.\n\n", readWidth);
  printf("size    ");
  for (size_t i = 0; i < count; ++i) printf(" %10s", columns[i].name);
  printf("  Kest/read  Kest/best path\n");
  for (size_t size : kSizes) {
    printSize(size);
    double rate[kMaxColumns];
    rates(columns, count, data, size, rate);
    double bestPath = 0;
    for (size_t i = 0; i < count; ++i) {
      if (i >= firstPath && rate[i] > bestPath) bestPath = rate[i];
      printf(" %10.2f", rate[i] / 1e9);
    }
    printf("  %8.0f%%  %13.0f%%\n", 100 * rate[0] / rate[kReadColumn], 100 * rate[0] / bestPath);
    fflush(stdout);
  }
  VirtualFree(data, 0, MEM_RELEASE);
  return 0;
}
