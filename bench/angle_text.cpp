// bench_angle_text: texts per second of CKestAngle::AngleToString in each format at 0, 2 and 6
// places, over angles spread across the circle. It times the kest011.dll beside it, so two
// builds compare by running it beside each DLL. C headers only, so that it builds in
// Microsoft's ABI too.

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "kest011/angles.h"

namespace {

constexpr int kAngles = 1024;
constexpr double kTrialSeconds = 0.1;  // each trial runs at least this long
constexpr int kTrials = 5;             // the best trial counts

// Results go here so that the compiler cannot drop the work.
volatile size_t g_sink;

double now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Angles of every size below a full circle, either sign, from a fixed sequence.
void fillAngles(CKestAngle* angles) {
  unsigned state = 12345;
  for (int i = 0; i < kAngles; ++i) {
    state = state * 1103515245u + 12345u;
    double const degrees = static_cast<double>(state >> 8) / (1 << 24) * 720.0 - 360.0;
    angles[i].Deg(degrees);
  }
}

// The best of kTrials rates, in millions of texts per second.
double textsPerMicrosecond(CKestAngle const* angles, CKestAngle::eAngleType unit, int places) {
  double best = 0.0;
  for (int trial = 0; trial < kTrials; ++trial) {
    double const start = now();
    double elapsed = 0.0;
    long texts = 0;
    do {
      for (int i = 0; i < kAngles; ++i)
        g_sink = g_sink + strlen(angles[i].AngleToString(unit, places));
      texts += kAngles;
      elapsed = now() - start;
    } while (elapsed < kTrialSeconds);
    double const rate = static_cast<double>(texts) / elapsed / 1e6;
    if (rate > best) best = rate;
  }
  return best;
}

}  // namespace

int main() {
  static CKestAngle angles[kAngles];
  fillAngles(angles);
  char const* const names[] = {"rad", "deg", "gon", "dms", "dms plain", "dms columns"};
  int const places[] = {0, 2, 6};
  printf("%-12s %10s %10s %10s   (million texts per second)\n", "format", "0 places", "2 places",
         "6 places");
  for (int unit = CKestAngle::eRad; unit <= CKestAngle::eDmsColumns; ++unit) {
    printf("%-12s", names[unit]);
    for (int p : places)
      printf(" %10.3f", textsPerMicrosecond(angles, static_cast<CKestAngle::eAngleType>(unit), p));
    printf("\n");
  }
  return 0;
}
