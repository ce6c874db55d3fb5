#pragma once
/// @file
/// Starting a program and waiting for it.
///
/// Shared between threads: the error text that `*text` points at (the one buffer of the
/// file, directory, process and memory functions). Everything else may be called from any
/// thread at any time.

#include <windows.h>

#include "kest011/export.h"

/// Starts a program with CreateProcessA (`applicationName` may be null; at most the first 259
/// bytes of `commandLine` are passed, a longer line is cut after its last whole character
/// within them) and waits up to `timeout` ms for its end (0: no wait, INFINITE: no limit).
/// Returns its exit code, 1 when `timeout` is 0, WAIT_TIMEOUT (258) when it still runs, or -1
/// when it could not be started. Refused with -1 and code 0: both `applicationName` and
/// `commandLine` null, and a wait (`timeout` not 0) for a program started with
/// CREATE_SUSPENDED, DEBUG_PROCESS or DEBUG_ONLY_THIS_PROCESS, which could not end while this
/// thread waits. The start-up record is always a plain
/// STARTUPINFOA, so EXTENDED_STARTUPINFO_PRESENT is taken out of `creationFlags`.
/// `*process` receives the process handle, the caller's to close, only when `timeout` is 0;
/// after a wait it is null (the library has closed the handle).
KEST_API int KestWinExecWait32(char const* applicationName, char const* commandLine,
                               unsigned short showWindow, void** process,
                               unsigned long creationFlags, unsigned long timeout,
                               unsigned long* code, char** text);

/// As KestWinExecWait32, with CREATE_SEPARATE_WOW_VDM added. On the consumer Windows platform
/// it first writes `<Windows directory>\<base name of applicationName>.pif` from the library's
/// resource unless that file exists. Returns -1 with code 0 when the version query, the
/// resource or the file fails, when `applicationName` is null there or 260 characters or
/// longer, or when the file name would be longer than 259 characters (refused, not cut).
KEST_API int KestWinExecWait16(char const* applicationName, char const* commandLine,
                               unsigned short showWindow, void** process,
                               unsigned long creationFlags, unsigned long timeout,
                               unsigned long* code, char** text);
