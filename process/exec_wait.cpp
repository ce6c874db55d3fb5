#include "frame/bounded_text.h"
#include "frame/error_report.h"
#include "frame/scoped_resource.h"
#include "kest011/process.h"
#include "process/program_information_file.h"

namespace {

// The command line is copied into a writable buffer of MAX_PATH, as CreateProcessA may
// write into the line it is given; longer lines are cut.
using CommandLine = char[MAX_PATH];
constexpr int kStartedWithoutWait = 1;
constexpr int kNotStarted = -1;

// A program started suspended, or held by this thread as its debugger, cannot end while
// this thread waits for it: such a launch with a wait would never return, or leave the
// program stopped for good.
constexpr unsigned long kNeverEndsWhileWaitedFor =
    CREATE_SUSPENDED | DEBUG_PROCESS | DEBUG_ONLY_THIS_PROCESS;

// Waits for `program` as the caller asked and returns the result of the launch. The handle
// goes to the caller only when no wait takes place; otherwise it is closed here.
int awaitProgram(kest::KernelHandle& program, void** process, DWORD timeout) {
  if (timeout == 0) {
    if (process) *process = program.release();
    return kStartedWithoutWait;
  }
  DWORD const waited = WaitForSingleObject(program.get(), timeout);
  // A failed wait counts as the program's end; a failed query leaves the exit code 0.
  DWORD exitCode = 0;
  if (waited != WAIT_TIMEOUT) GetExitCodeProcess(program.get(), &exitCode);
  if (process) *process = nullptr;
  return waited == WAIT_TIMEOUT ? static_cast<int>(WAIT_TIMEOUT) : static_cast<int>(exitCode);
}

}  // namespace

int KestWinExecWait32(char const* applicationName, char const* commandLine,
                      unsigned short showWindow, void** process, unsigned long creationFlags,
                      unsigned long timeout, unsigned long* code, char** text) {
  kest::SystemErrorReport report(code, text);
  // With neither there is nothing to start.
  if (applicationName == nullptr && commandLine == nullptr) return kNotStarted;
  if (timeout != 0 && (creationFlags & kNeverEndsWhileWaitedFor) != 0) return kNotStarted;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showWindow;
  PROCESS_INFORMATION started = {};
  CommandLine line = {};
  if (commandLine) kest::copyCut(line, commandLine);
  // The start-up record is a plain one, never the extended record this flag announces.
  creationFlags &= ~static_cast<unsigned long>(EXTENDED_STARTUPINFO_PRESENT);

  // Starting a program may take the keyboard focus from the caller's window; it goes back.
  HWND const focus = GetFocus();
  if (!CreateProcessA(applicationName, commandLine ? line : nullptr, nullptr, nullptr, FALSE,
                      creationFlags, nullptr, nullptr, &startup, &started))
    return report.lastError(kNotStarted);
  kest::KernelHandle const primaryThread(started.hThread);  // of no use to the library
  kest::KernelHandle program(started.hProcess);
  if (focus) SetFocus(focus);
  return awaitProgram(program, process, timeout);
}

int KestWinExecWait16(char const* applicationName, char const* commandLine,
                      unsigned short showWindow, void** process, unsigned long creationFlags,
                      unsigned long timeout, unsigned long* code, char** text) {
  kest::SystemErrorReport const clearsOutParameters(code, text);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return kNotStarted;
  // The consumer platform runs a 16-bit program by its PIF, which must exist beforehand.
  if ((version.dwPlatformId & VER_PLATFORM_WIN32_WINDOWS) &&
      !kest::ensureProgramInformationFile(applicationName))
    return kNotStarted;
  return KestWinExecWait32(applicationName, commandLine, showWindow, process,
                           creationFlags | CREATE_SEPARATE_WOW_VDM, timeout, code, text);
}
