// bench_crc: CRC-32 throughput of KestCrc, of zlib's crc32 (where the build has zlib) and of
// each of the library's paths, against a plain read of the same bytes (the memory-bandwidth
// ceiling), in GB/s. C headers only, so that it builds in Microsoft's ABI too.

#include <cpuid.h>
#include <immintrin.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>
#ifdef KEST_BENCH_ZLIB
#include <zlib.h>
#endif

#include "kest011/util.h"
#include "util/crc32_paths.h"

namespace {

using kest::crc32::CpuFeatures;

constexpr size_t kSizes[] = {64, 1 << 10, 64 << 10, 1 << 20, 64 << 20};
constexpr size_t kLargest = 64 << 20;
constexpr double kTrialSeconds = 0.05;  // each trial runs at least this long
constexpr int kTrials = 5;              // the best trial counts

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

template <kest::crc32::Update update>
uint64_t path(unsigned char const* data, size_t length) {
  return ~update(0xFFFFFFFFu, data, length);
}

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

// Bytes a second of `method` over the first `length` bytes of `data`: the best of several
// trials, each repeating the call until it has run long enough to time.
double rate(Method method, unsigned char const* data, size_t length) {
  size_t repeats = 1;
  double best = 0;
  for (int trial = 0; trial < kTrials;) {
    double const start = now();
    uint64_t sum = 0;
    for (size_t i = 0; i < repeats; ++i) sum += method(data, length);
    double const seconds = now() - start;
    g_sink = g_sink + sum;
    if (seconds < kTrialSeconds) {
      repeats *= 2;
      continue;
    }
    double const bytesPerSecond =
        static_cast<double>(length) * static_cast<double>(repeats) / seconds;
    if (bytesPerSecond > best) best = bytesPerSecond;
    ++trial;
  }
  return best;
}

struct Column {
  char const* name;
  Method method;
  bool available;
};

void printSize(size_t size) {
  if (size >= (1 << 20))
    printf("%4zu MiB", size >> 20);
  else if (size >= (1 << 10))
    printf("%4zu KiB", size >> 10);
  else
    printf("%4zu B  ", size);
}

char const* chosenPath(CpuFeatures const& cpu) {
  if (cpu.vpclmul) return "VPCLMULQDQ, 512-bit";
  if (cpu.clmul) return "PCLMULQDQ, 128-bit";
  return "slicing by 16";
}

// KestCrc against the slicing path, and against zlib where the build has it.
bool sameResults(unsigned char const* data) {
  for (size_t size : kSizes) {
    unsigned long const kest = KestCrc(const_cast<unsigned char*>(data), static_cast<int>(size), 0);
    if (kest != path<kest::crc32::updateSliced>(data, size)) return false;
#ifdef KEST_BENCH_ZLIB
    if (kest != crc32(0, data, static_cast<uInt>(size))) return false;
#endif
  }
  return true;
}

bool hasAvx512() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  return __get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) && (ebx & bit_AVX512F) &&
         kest::crc32::detectCpuFeatures().vpclmul;  // which also says the OS saves ZMM state
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
  bool const wideReads = hasAvx512();
  Column const columns[] = {
      {"KestCrc", kestCrc, true},
#ifdef KEST_BENCH_ZLIB
      {"zlib", zlibCrc, true},
#endif
      {"read", wideReads ? readWide : readNarrow, true},
      {"sliced", path<kest::crc32::updateSliced>, true},
      {"clmul", path<kest::crc32::updateClmul>, cpu.clmul},
      {"vpclmul", path<kest::crc32::updateVpclmul>, cpu.vpclmul},
  };

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
  if (!sameResults(data)) {
    fprintf(stderr, "bench_crc: KestCrc disagrees with another CRC-32\n");
    return 1;
  }

  printf("CRC-32 throughput in GB/s (10^9 bytes a second); KestCrc takes the %s path;\n",
         chosenPath(cpu));
#ifdef KEST_BENCH_ZLIB
  printf("zlib %s; ", zlibVersion());
#endif
  printf("the plain read uses %s loads.\n\n", wideReads ? "512-bit" : "128-bit");
  printf("size    ");
  for (Column const& column : columns) printf(" %8s", column.name);
#ifdef KEST_BENCH_ZLIB
  printf("  Kest/zlib");
  constexpr size_t kReadColumn = 2;
#else
  constexpr size_t kReadColumn = 1;
#endif
  printf("  Kest/read\n");
  for (size_t size : kSizes) {
    printSize(size);
    double rates[sizeof columns / sizeof columns[0]] = {};
    for (size_t i = 0; i < sizeof columns / sizeof columns[0]; ++i) {
      if (!columns[i].available) {
        printf(" %8s", "-");
        continue;
      }
      rates[i] = rate(columns[i].method, data, size);
      printf(" %8.2f", rates[i] / 1e9);
      fflush(stdout);
    }
#ifdef KEST_BENCH_ZLIB
    printf("  %8.2fx", rates[0] / rates[1]);
#endif
    printf("  %8.0f%%\n", 100 * rates[0] / rates[kReadColumn]);
  }
  VirtualFree(data, 0, MEM_RELEASE);
  return 0;
}
