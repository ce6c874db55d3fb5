// kest subcommand and tour section of the process family.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kest/command.h"
#include "kest011/process.h"

namespace kest::cli {
namespace {

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

// The command line must follow "--", so that its own options are never read as kest's.
bool parseRun(Call const& call, RunRequest& request) {
  Args const& args = call.operands();
  if (call.operandsBeforeDashes() != 0 || args.empty()) return false;
  std::string const* const timeout = call.option("timeout");
  std::string const* const show = call.option("show");
  if (timeout && !parseUnsigned(*timeout, 0xFFFFFFFFul, request.timeout)) return false;
  if (show && !parseUnsigned(*show, 0xFFFFul, request.show)) return false;
  request.sixteenBit = call.has("16");
  request.line = commandLine(args.begin(), args.end());
  return true;
}

char const* meaning(int result, unsigned long timeout) {
  if (result == 1 && timeout == 0) return "started, not waited for";
  if (result == static_cast<int>(WAIT_TIMEOUT)) return "time-out, still running";
  return "exit code";
}

int runProgram(Call& call) {
  RunRequest request;
  if (!parseRun(call, request)) return call.usage();
  auto const launch = request.sixteenBit ? KestWinExecWait16 : KestWinExecWait32;
  char const* const name = request.sixteenBit ? "KestWinExecWait16" : "KestWinExecWait32";
  SystemError error;
  int const result =
      launch(nullptr, request.line.c_str(), static_cast<unsigned short>(request.show), nullptr, 0,
             request.timeout, &error.code, &error.text);
  if (result == -1) return call.fail(request.line + ": not started", error);
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

RegisterCommand const registerRun(
    {"run", "start a program, wait for it and exit with its exit code",
     "[--timeout MS] [--show N] [--16] -- COMMAND LINE\n"
     "Waits up to MS milliseconds (by default without limit) and prints the library's result: "
     "the exit code, 1 when --timeout 0 does not wait, 258 when the time ran out. kest exits "
     "with it; a Unix shell under Wine sees only its low 8 bits.\n"
     "N is the window's show state (1, SW_SHOWNORMAL, by default). --16 starts the program "
     "with the library's 16-bit form.",
     runProgram});
RegisterTourSection const registerTour({600, "Running programs", tourProcesses});

}  // namespace
}  // namespace kest::cli
