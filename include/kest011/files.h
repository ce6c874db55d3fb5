#pragma once
// Files, paths and directories.

#include <windows.h>

#include "kest011/export.h"

// ---- File handles -------------------------------------------------------------------
// Handles returned belong to the caller, who closes them with CloseHandle.

// CreateFileA(fileName, desiredAccess, shareMode, -, creationDisposition,
// flagsAndAttributes, -). Returns the handle, or INVALID_HANDLE_VALUE.
KEST_API void* KestFileCreate(char const* fileName, unsigned long desiredAccess,
                              unsigned long creationDisposition, unsigned long flagsAndAttributes,
                              unsigned long shareMode, unsigned long* code, char** text);

// Same as KestFileCreate. Returns the handle, or INVALID_HANDLE_VALUE.
KEST_API void* KestFileOpen(char const* fileName, unsigned long desiredAccess,
                            unsigned long creationDisposition, unsigned long flagsAndAttributes,
                            unsigned long shareMode, unsigned long* code, char** text);

// Returns 1 when exactly `count` bytes were read, else 0 (a short read reports code 0).
KEST_API int KestFileRead(void* file, void* buffer, unsigned long count, unsigned long* code,
                          char** text);

// Returns 1 when exactly `count` bytes were written, else 0 (a short write reports code 0).
KEST_API int KestFileWrite(void* file, void* const buffer, unsigned long count, unsigned long* code,
                           char** text);

// Moves to the end of the file. Returns 1, or 0 on failure.
KEST_API int KestFileSeekEnd(void* file, unsigned long* code, char** text);

// Moves to `offset` bytes from the start of the file. Returns 1, or 0 on failure.
KEST_API int KestFileSeek(void* file, long offset, unsigned long* code, char** text);

// Returns the size (the low 32 bits, read as a signed long), or -1 on failure.
KEST_API long KestFileSize(void* file, unsigned long* code, char** text);

// Opens an existing file for reading and returns its size as above, or -1 on failure.
KEST_API long KestFileSize(char const* fileName, unsigned long* code, char** text);

// ---- Files and directories ----------------------------------------------------------

// Returns 1 when `name` (wildcards allowed) matches and its first match is not a
// directory; else 0 (code 0 for a directory or a null or empty name).
KEST_API int KestFileFind(char const* name, unsigned long* code, char** text);
