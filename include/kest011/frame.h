#pragma once
/// @file
/// Library frame: the module whose resources the library loads.
///
/// Functions of the file, directory, process and memory families end in two optional error
/// out-parameters, `unsigned long* code` and `char** text`. On entry both are cleared (0 and
/// null). When a system call fails, `code` receives its GetLastError value and `text` points
/// at the library's 256-byte error text buffer holding the system's message for it; the
/// buffer is shared and overwritten by the next reported failure. A failure with code 0
/// means the library refused the call itself.

#include <windows.h>

#include "kest011/export.h"

/// Installs `instance` as the module the library loads its resources from. It holds until
/// a thread of the process starts or ends, when the library's own module is restored.
KEST_API void KestSetResourceHandle(HINSTANCE instance);

/// Returns the module the library loads its resources from (its own unless replaced).
KEST_API HINSTANCE KestGetResourceHandle(void);
