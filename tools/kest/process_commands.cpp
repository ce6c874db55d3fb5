// kest subcommand and tour section of the process family.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kest/command.h"
#include "kest011/process.h"

namespace kest::cli {
namespace {

int runProgram(Args const& args);
Command const kRun{"run", "[--timeout MS] [--show N] [--16] -- COMMAND LINE",
                   "start a program and wait for it (by default without limit); prints the "
                   "library's result (exit code, 1 not waited for, 258 time-out) and exits "
                   "with it",
                   runProgram};

bool parseUnsigned(std::string const& text, unsigned long maximum, unsigned long& value) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long const parsed = std::strtoull(text.c_str(), &end, 0);
  if (*end != '\0' || errno == ERANGE || parsed > maximum) return false;
  value = static_cast<unsigned long>(parsed);
  return true;
}

// The words as one command line; words with blanks, or empty ones, are quoted.
std::string commandLine(Args::const_iterator first, Args::const_iterator last) {
  std::string line;
  for (auto word = first; word != last; ++word) {
    if (!line.empty()) line += ' ';
    bool const quote = word->empty() || word->find_first_of(" \t") != std::string::npos;
    line += quote ? "\"" + *word + "\"" : *word;
  }
  return line;
}

struct RunRequest {
  unsigned long timeout = INFINITE;
  unsigned long show = SW_SHOWNORMAL;
  bool sixteenBit = false;
  std::string line;
};

bool parseRun(Args const& args, RunRequest& request) {
  auto arg = args.begin();
  for (; arg != args.end() && *arg != "--"; ++arg) {
    bool const hasValue = arg + 1 != args.end();
    if (*arg == "--16") {
      request.sixteenBit = true;
    } else if (*arg == "--timeout" && hasValue) {
      if (!parseUnsigned(*++arg, 0xFFFFFFFFul, request.timeout)) return false;
    } else if (*arg == "--show" && hasValue) {
      if (!parseUnsigned(*++arg, 0xFFFFul, request.show)) return false;
    } else {
      return false;
    }
  }
  if (arg == args.end() || arg + 1 == args.end()) return false;
  request.line = commandLine(arg + 1, args.end());
  return true;
}

char const* meaning(int result, unsigned long timeout) {
  if (result == 1 && timeout == 0) return "started, not waited for";
  if (result == static_cast<int>(WAIT_TIMEOUT)) return "time-out, still running";
  return "exit code";
}

int runProgram(Args const& args) {
  RunRequest request;
  if (!parseRun(args, request)) return usage(kRun);
  auto const launch = request.sixteenBit ? KestWinExecWait16 : KestWinExecWait32;
  char const* const name = request.sixteenBit ? "KestWinExecWait16" : "KestWinExecWait32";
  unsigned long code = 0;
  char* text = nullptr;
  int const result =
      launch(nullptr, request.line.c_str(), static_cast<unsigned short>(request.show), nullptr, 0,
             request.timeout, &code, &text);
  if (result == -1)
    return fail(kRun.name, request.line + ": not started (code " + std::to_string(code) + ")",
                text);
  std::printf("%s -> %d (%s)\n", name, result, meaning(result, request.timeout));
  return result;
}

void tourProcesses(Tour& tour) {
  unsigned long code = 0;
  char* text = nullptr;
  int result =
      KestWinExecWait32(nullptr, "cmd.exe /c exit 7", SW_HIDE, nullptr, 0, INFINITE, &code, &text);
  tour.show("KestWinExecWait32(\"cmd.exe /c exit 7\", wait) -> %d", result);

  void* process = nullptr;
  result = KestWinExecWait32(nullptr, "cmd.exe /c exit 3", SW_HIDE, &process, 0, 0, &code, &text);
  tour.show("KestWinExecWait32(\"cmd.exe /c exit 3\", no wait) -> %d, %s", result,
            process ? "a process handle" : "no handle");
  if (process) {
    DWORD exitCode = 0;
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &exitCode);
    CloseHandle(process);
    tour.show("  waited with that handle: exit code %lu", exitCode);
  }

  result = KestWinExecWait32(nullptr, "cmd.exe /c ping -n 2 127.0.0.1 > NUL", SW_HIDE, nullptr, 0,
                             200, &code, &text);
  tour.show("KestWinExecWait32(\"cmd.exe /c ping -n 2 127.0.0.1\", 200 ms) -> %d (%s)", result,
            meaning(result, 200));

  result = KestWinExecWait32(nullptr, "kest-no-such-program.exe", SW_HIDE, nullptr, 0, INFINITE,
                             &code, &text);
  tour.show("KestWinExecWait32(\"kest-no-such-program.exe\") -> %d, code %lu: %s", result, code,
            errorText(text).c_str());

  result =
      KestWinExecWait16(nullptr, "cmd.exe /c exit 5", SW_HIDE, nullptr, 0, INFINITE, &code, &text);
  tour.show("KestWinExecWait16(\"cmd.exe /c exit 5\") -> %d, code %lu", result, code);
}

RegisterCommand const registerRun(kRun);
RegisterTourSection const registerTour({600, "Running programs", tourProcesses});

}  // namespace
}  // namespace kest::cli
