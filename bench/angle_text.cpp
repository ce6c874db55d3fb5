// bench_angle_text: texts per second of CKestAngle::AngleToString in each format at 0, 2 and 6
// places, over angles spread across the circle. Given the path of another build's kest011.dll
// (an earlier commit's, say), it times that DLL's AngleToString too, trial for trial with this
// one's, so that a loaded machine slows both alike. C headers only, so that it builds in
// Microsoft's ABI too.

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "kest011/angles.h"
#include "timing.h"

namespace {

using kest::bench::now;

constexpr int kAngles = 1024;
constexpr double kTrialSeconds = 0.02;  // each trial runs at least this long
constexpr int kTrials = 25;             // the best trial counts

// Results go here so that the compiler cannot drop the work.
volatile size_t g_sink;

#if defined(_MSC_VER) && defined(_M_IX86)
using AngleToString = char const*(__thiscall*)(CKestAngle const*, int, int);
char const kAngleToString[] = "?AngleToString@CKestAngle@@QBEPBDW4eAngleType@1@H@Z";
#elif defined(_MSC_VER)
using AngleToString = char const* (*)(CKestAngle const*, int, int);
char const kAngleToString[] = "?AngleToString@CKestAngle@@QEBAPEBDW4eAngleType@1@H@Z";
#else
using AngleToString = char const*(__thiscall*)(CKestAngle const*, int, int);
char const kAngleToString[] = "_ZNK10CKestAngle13AngleToStringENS_10eAngleTypeEi";
#endif

// Angles of every size below a full circle, either sign, from a fixed sequence.
void fillAngles(CKestAngle* angles) {
  unsigned state = 12345;
  for (int i = 0; i < kAngles; ++i) {
    state = state * 1103515245u + 12345u;
    double const degrees = static_cast<double>(state >> 8) / (1 << 24) * 720.0 - 360.0;
    angles[i].Deg(degrees);
  }
}

// Millions of texts per second in one trial, through this DLL or (given `other`) another.
double trialRate(CKestAngle const* angles, int unit, int places, AngleToString other) {
  double const start = now();
  double elapsed = 0.0;
  long texts = 0;
  do {
    for (int i = 0; i < kAngles; ++i) {
      char const* const text =
          other ? other(&angles[i], unit, places)
                : angles[i].AngleToString(static_cast<CKestAngle::eAngleType>(unit), places);
      g_sink = g_sink + strlen(text);
    }
    texts += kAngles;
    elapsed = now() - start;
  } while (elapsed < kTrialSeconds);
  return static_cast<double>(texts) / elapsed / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  AngleToString other = nullptr;
  if (argc > 1) {
    HMODULE const module = LoadLibraryA(argv[1]);
    if (module)
      other = reinterpret_cast<AngleToString>(
          reinterpret_cast<void*>(GetProcAddress(module, kAngleToString)));
    if (!other) {
      fprintf(stderr, "bench_angle_text: no AngleToString in %s\n", argv[1]);
      return 1;
    }
  }
  static CKestAngle angles[kAngles];
  fillAngles(angles);
  char const* const names[] = {"rad", "deg", "gon", "dms", "dms plain", "dms columns"};
  int const places[] = {0, 2, 6};
  printf("million texts per second, best of %d trials: this DLL%s\n", kTrials,
         other ? " / the other" : "");
  printf("%-12s %15s %15s %15s\n", "format", "0 places", "2 places", "6 places");
  for (int unit = CKestAngle::eRad; unit <= CKestAngle::eDmsColumns; ++unit) {
    printf("%-12s", names[unit]);
    for (int p : places) {
      double best = 0.0, otherBest = 0.0;
      for (int trial = 0; trial < kTrials; ++trial) {
        double const rate = trialRate(angles, unit, p, nullptr);
        best = rate > best ? rate : best;
        double const otherRate = other ? trialRate(angles, unit, p, other) : 0.0;
        otherBest = otherRate > otherBest ? otherRate : otherBest;
      }
      if (other)
        printf("  %6.2f / %5.2f", best, otherBest);
      else
        printf(" %15.2f", best);
    }
    printf("\n");
  }
  return 0;
}
