#pragma once
// Checks that several suites share.

#include <gtest/gtest.h>
#include <unknwn.h>
#include <windows.h>

#include <atomic>
#include <cmath>
#include <iomanip>
#include <string>
#include <thread>
#include <vector>

#include "common/system_text.h"
#include "support/resource_counts.h"

namespace kest::test {

// The platform's own wording, so tests compare error texts without hard-coding them.
using helpers::systemText;

// The error out-parameters of one call, stale until the call clears them.
struct Report {
  unsigned long code = 99;
  char* text = reinterpret_cast<char*>(0x1234);
  bool clear() const { return code == 0 && !text; }  // success or a refusal
};

// Same bits (-0.0 is not 0.0), or both NaN.
inline ::testing::AssertionResult sameBits(double expected, double actual) {
  if ((expected == actual && std::signbit(expected) == std::signbit(actual)) ||
      (std::isnan(expected) && std::isnan(actual)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::setprecision(17) << "expected " << expected << ", got " << actual;
}

// The library takes UTF-16 names as unsigned short.
inline unsigned short const* units(wchar_t const* name) {
  return reinterpret_cast<unsigned short const*>(name);
}
inline unsigned short const* units(std::wstring const& name) { return units(name.c_str()); }
inline std::wstring wide(std::string const& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

// Releases `object`, which holds the caller's one reference, and says whether there was one.
inline bool opened(IUnknown* object) {
  EXPECT_TRUE(!object || object->Release() == 0);
  return object != nullptr;
}

inline bool canOpen(std::string const& path, DWORD access, DWORD sharing) {
  HANDLE const file = CreateFileA(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, 0);
  return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}
inline bool nobodyHolds(std::string const& path) {
  return canOpen(path, GENERIC_READ | GENERIC_WRITE, 0);
}

// A name no other test or process uses, for named kernel objects.
inline std::string uniqueName(char const* what) {
  static LONG counter;
  return "kest-test-" + std::to_string(GetCurrentProcessId()) + "-" + what + "-" +
         std::to_string(InterlockedIncrement(&counter));
}

// Runs `round(t)` `rounds` times on each of threads t = 0 .. threads - 1, started together;
// returns how many rounds answered wrong (false). Rounds still running after `seconds` fail the
// test and end the process: a heap hung by a lost count would hold the suite until time-out.
template <class Round>
int wrongOnThreads(int threads, int rounds, Round round, int seconds = 20) {
  std::atomic<int> waiting{threads}, wrong{0}, done{0};
  std::vector<std::thread> running;
  for (int t = 0; t < threads; ++t)
    running.emplace_back([&, t] {
      for (--waiting; waiting > 0;) {
      }
      for (int i = 0; i < rounds; ++i) wrong += !round(t);
      ++done;
    });
  for (ULONGLONG const end = GetTickCount64() + seconds * 1000ull; done < threads; Sleep(1)) {
    if (GetTickCount64() < end) continue;
    ADD_FAILURE() << threads - done << " threads still in their rounds after " << seconds << " s ("
                  << wrong << " rounds wrong): a round hangs";
    TerminateProcess(GetCurrentProcess(), 1);
  }
  for (std::thread& thread : running) thread.join();
  return wrong;
}

}  // namespace kest::test
