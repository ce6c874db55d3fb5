// A program for the launch tests to start. What it does is its first argument:
//   exit N         ends with exit code N
//   command-line   ends with the length of its command line as exit code
//   show           ends with the show value of its start-up record (1000 when none was set)
//   hold GO DONE   waits up to 10 s for the event GO, then sets the event DONE and ends with 5

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kHoldLimit = 10000;
constexpr UINT kNoShowValue = 1000;
constexpr UINT kHeld = 5;

UINT hold(char const* go, char const* done) {
  HANDLE const goEvent = OpenEventA(SYNCHRONIZE, FALSE, go);
  HANDLE const doneEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, done);
  if (!goEvent || !doneEvent) return 2;
  WaitForSingleObject(goEvent, kHoldLimit);
  SetEvent(doneEvent);
  return kHeld;
}

UINT showValue() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : kNoShowValue;
}

}  // namespace

int main(int argc, char** argv) {
  std::string const mode = argc > 1 ? argv[1] : "";
  if (mode == "exit" && argc == 3) ExitProcess(std::strtoul(argv[2], nullptr, 0));
  if (mode == "command-line") ExitProcess(static_cast<UINT>(std::strlen(GetCommandLineA())));
  if (mode == "show") ExitProcess(showValue());
  if (mode == "hold" && argc == 4) ExitProcess(hold(argv[2], argv[3]));
  return 100;
}
