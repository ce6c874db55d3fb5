// bench_file_names: calls per second of KestFilenameIsValid, KestReplaceInvalidFilenameCharacters
// and KestPathIsValid on names of single-byte characters, the work of every program under a
// Western code page. Given the path of another build's kest011.dll (an earlier commit's, say), it
// times that DLL's functions too, trial for trial with this one's, so that a loaded machine slows
// both alike. C headers only, so that it builds in Microsoft's ABI too.

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "kest011/files.h"
#include "timing.h"

namespace {

using kest::bench::now;

// Many short trials, the best counting: on a busy machine some run undisturbed.
constexpr double kTrialSeconds = 0.0002;  // each trial runs at least this long
constexpr int kTrials = 2000;

// Results go here so that the compiler cannot drop the work.
volatile unsigned g_sink;

using FilenameIsValid = int (*)(char const*);
using ReplaceInvalid = unsigned (*)(char*, char, unsigned);
using PathIsValid = int (*)(char const*, int, int*);

#if defined(_MSC_VER) && defined(_M_IX86)
char const* const kNames[] = {"?KestFilenameIsValid@@YAHPBD@Z",
                              "?KestReplaceInvalidFilenameCharacters@@YAIPADDI@Z",
                              "?KestPathIsValid@@YAHPBDHPAH@Z"};
#elif defined(_MSC_VER)
char const* const kNames[] = {"?KestFilenameIsValid@@YAHPEBD@Z",
                              "?KestReplaceInvalidFilenameCharacters@@YAIPEADDI@Z",
                              "?KestPathIsValid@@YAHPEBDHPEAH@Z"};
#else
char const* const kNames[] = {"_Z19KestFilenameIsValidPKc",
                              "_Z36KestReplaceInvalidFilenameCharactersPccj",
                              "_Z15KestPathIsValidPKciPi"};
#endif

// File names as programs meet them, some with characters to replace, and paths on C:.
char const* const kFileNames[] = {
    "report.txt",
    "Quarterly results 2024 (final).xlsx",
    "a*b?c|d<e>.txt",
    "   ",
    "\xC4pfel und Birnen.doc",
    "a_rather_long_name_of_a_file_that_a_program_wrote_on_its_own.dat"};
char const* const kPaths[] = {"C:\\Users\\me\\Documents\\report.txt", "C:\\x\\y\\",
                              "C:\\Program Files\\Kest\\bin\\kest011.dll", "C:\\a\\\\b",
                              "C:\\data\\a|b.txt"};

struct Functions {
  FilenameIsValid filenameIsValid = KestFilenameIsValid;
  ReplaceInvalid replaceInvalid = KestReplaceInvalidFilenameCharacters;
  PathIsValid pathIsValid = KestPathIsValid;
};

// One round of calls of function `which` over its names; returns how many calls it made.
int round(Functions const& functions, int which) {
  char name[MAX_PATH];
  if (which == 0)
    for (char const* fileName : kFileNames) g_sink = g_sink + functions.filenameIsValid(fileName);
  if (which == 1)
    for (char const* fileName : kFileNames) {
      strcpy(name, fileName);
      g_sink = g_sink + functions.replaceInvalid(name, '_', 3);
    }
  if (which == 2)
    for (char const* path : kPaths) g_sink = g_sink + functions.pathIsValid(path, 1, nullptr);
  return which == 2 ? sizeof kPaths / sizeof *kPaths : sizeof kFileNames / sizeof *kFileNames;
}

// Thousands of calls per second in one trial.
double trialRate(Functions const& functions, int which) {
  double const start = now();
  double elapsed = 0.0;
  long calls = 0;
  do {
    calls += round(functions, which);
    elapsed = now() - start;
  } while (elapsed < kTrialSeconds);
  return static_cast<double>(calls) / elapsed / 1e3;
}

}  // namespace

int main(int argc, char** argv) {
  Functions const own;
  Functions other;
  if (argc > 1) {
    HMODULE const module = LoadLibraryA(argv[1]);
    FARPROC found[3] = {};
    for (int i = 0; module && i < 3; ++i) found[i] = GetProcAddress(module, kNames[i]);
    if (!found[0] || !found[1] || !found[2]) {
      fprintf(stderr, "bench_file_names: not every function is in %s\n", argv[1]);
      return 1;
    }
    other.filenameIsValid = reinterpret_cast<FilenameIsValid>(reinterpret_cast<void*>(found[0]));
    other.replaceInvalid = reinterpret_cast<ReplaceInvalid>(reinterpret_cast<void*>(found[1]));
    other.pathIsValid = reinterpret_cast<PathIsValid>(reinterpret_cast<void*>(found[2]));
  }
  char const* const titles[] = {"KestFilenameIsValid", "KestReplaceInvalidFilenameCharacters",
                                "KestPathIsValid"};
  printf("thousand calls per second, best of %d trials, ANSI code page %u: this DLL%s\n", kTrials,
         GetACP(), argc > 1 ? " / the other (ratio)" : "");
  for (int which = 0; which < 3; ++which) {
    double best = 0.0, otherBest = 0.0;
    for (int trial = 0; trial < kTrials; ++trial) {
      double const rate = trialRate(own, which);
      best = rate > best ? rate : best;
      double const otherRate = argc > 1 ? trialRate(other, which) : 0.0;
      otherBest = otherRate > otherBest ? otherRate : otherBest;
    }
    printf("%-38s %9.1f", titles[which], best);
    if (argc > 1) printf(" / %9.1f (%.2fx)", otherBest, best / otherBest);
    printf("\n");
  }
  return 0;
}
