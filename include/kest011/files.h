#pragma once
/// @file
/// Files, paths and directories.
///
/// Shared between threads: the error text that `*text` points at (one buffer for the file,
/// directory, process and memory functions, overwritten by the next failure reported with a
/// text in any of them), and the results of KestTempDirectory and KestTempFilename (see
/// there). Everything else may be called from any thread at any time.

#include <windows.h>

#include "kest011/export.h"

/// @name File handles
/// Handles returned belong to the caller, who closes them with CloseHandle.
/// @{

/// CreateFileA(fileName, desiredAccess, shareMode, -, creationDisposition,
/// flagsAndAttributes, -). Returns the handle, or INVALID_HANDLE_VALUE.
KEST_API void* KestFileCreate(char const* fileName, unsigned long desiredAccess,
                              unsigned long creationDisposition, unsigned long flagsAndAttributes,
                              unsigned long shareMode, unsigned long* code, char** text);

/// Same as KestFileCreate. Returns the handle, or INVALID_HANDLE_VALUE.
KEST_API void* KestFileOpen(char const* fileName, unsigned long desiredAccess,
                            unsigned long creationDisposition, unsigned long flagsAndAttributes,
                            unsigned long shareMode, unsigned long* code, char** text);

/// Returns 1 when exactly `count` bytes were read, else 0 (a short read reports code 0).
KEST_API int KestFileRead(void* file, void* buffer, unsigned long count, unsigned long* code,
                          char** text);

/// Returns 1 when exactly `count` bytes were written, else 0 (a short write reports code 0).
KEST_API int KestFileWrite(void* file, void* const buffer, unsigned long count, unsigned long* code,
                           char** text);

/// Moves to the end of the file. Returns 1, or 0 on failure. An end at 4 GiB - 1 is a
/// success like any other.
KEST_API int KestFileSeekEnd(void* file, unsigned long* code, char** text);

/// Moves to `offset` bytes from the start of the file. Returns 1, or 0 on failure.
KEST_API int KestFileSeek(void* file, long offset, unsigned long* code, char** text);

/// Returns the size (the low 32 bits, read as a signed long), or -1 on failure. A size whose
/// low 32 bits are all set (4 GiB - 1) is -1 too, with the code 0; a failure always has a
/// nonzero code.
KEST_API long KestFileSize(void* file, unsigned long* code, char** text);

/// Opens an existing file for reading and returns its size as above, or -1 on failure.
KEST_API long KestFileSize(char const* fileName, unsigned long* code, char** text);
/// @}

/// @name Files and directories
/// @{

/// Returns 1 when `name` (wildcards allowed) matches and its first match is not a
/// directory; else 0 (code 0 for a directory or a null or empty name).
KEST_API int KestFileFind(char const* name, unsigned long* code, char** text);

/// Returns 1 when `name` exists (file or directory) and is now hidden, else 0. Hiding sets
/// the hidden attribute alone: read-only, system, archive and the like are cleared. A name
/// that is already hidden is left as it is.
KEST_API int KestFileHide(char const* name, unsigned long* code, char** text);

/// Renames `source` to `destination` on one drive (never replacing an existing file), or
/// copies it over `destination` and deletes `source` across drives and for relative paths.
/// Returns 1 when the file has its new name and the old one is gone; 0 on failure (code 0
/// for a directory or a null or empty name). A failed delete leaves both copies.
KEST_API int KestFileMove(char const* source, char const* destination, unsigned long* code,
                          char** text);

/// Returns an open search handle (close it with FindClose) whose first match, a directory,
/// is in `*findData`; one trailing backslash of `path` is ignored. Returns
/// INVALID_HANDLE_VALUE on failure, with code 0 when the first match is a file, for a null
/// or empty `path`, a null `findData`, or a path of MAX_PATH (260) characters or more.
KEST_API void* KestDirectoryFind(char const* path, WIN32_FIND_DATAA* findData, unsigned long* code,
                                 char** text);

/// Creates the directory `path` and every missing directory above it. Returns 1 when the
/// directory exists afterwards ("C:" and "C:\" count as existing), else 0: code 0 for a path
/// that is null, of one character, without a backslash, or of MAX_PATH (260) characters or
/// more; ERROR_ALREADY_EXISTS when a file holds the name. Calls from several threads at once
/// each get their own answer.
KEST_API int KestDirectoryCreate(char const* path, unsigned long* code, char** text);
/// @}

/// @name Paths and file names
/// Character classes are those of PathGetCharTypeA (GCT_LFNCHAR, GCT_SHORTCHAR, GCT_WILD,
/// GCT_SEPARATOR). In a double-byte or the UTF-8 ANSI code page, a character of several bytes
/// has the classes PathGetCharTypeW gives its wide form, and bytes that are no character none.
/// @{

/// Returns 1 when both paths have the same root (drive or network share, case ignored),
/// else 0: also for a relative path or one shorter than 2 characters. Only the first 258
/// characters of each path are looked at.
KEST_API int KestDriveIsEqual(char const* path1, char const* path2);

/// Returns 1 when `path` is an acceptable path on an existing drive, else 0. Removable drives
/// are refused unless `allowRemovable` is nonzero; `*isRemovable` (when not null) receives 1
/// for a path on a removable drive, else 0. Paths of MAX_PATH (260) characters or more are
/// refused.
KEST_API int KestPathIsValid(char const* path, int allowRemovable, int* isRemovable);

/// Returns 1 when `name` is an acceptable single file name (no separators, no wildcards, not
/// only spaces), else 0. Reserved device names are not checked here.
KEST_API int KestFilenameIsValid(char const* name);

/// Overwrites in place every character of `name` whose class shares no bit with
/// `validClasses` (3: the rule of KestFilenameIsValid) by `replacement`, and returns how
/// many were replaced (0 for a null or empty name). A character of several bytes becomes one
/// byte, the rest of the name moving up. A `replacement` of 0 ends the name at
/// the first invalid character.
KEST_API unsigned int KestReplaceInvalidFilenameCharacters(char* name, char replacement,
                                                           unsigned int validClasses);

/// Returns 1 when the whole of `name` is a reserved device name (AUX, CON, CLOCK$, PRN, NUL,
/// EPT, COM, COM1-COM4, LPT, LPT1-LPT4; case ignored), else 0.
KEST_API int KestIsReservedDeviceName(char const* name);
/// @}

/// @name Temporary locations and free disk space
/// Texts returned live in buffers of the library shared by all threads: each call, from any
/// thread, overwrites the buffer of its function (KestTempFilename with a null directory also
/// that of KestTempDirectory).
/// @{

/// Returns the directory for temporary files: TMP, else TEMP (and TMP is set to it), else the
/// system directory's "~Temp", which is created and put into both TMP and TEMP. Returns null
/// when the system directory is not known or the directory would be MAX_PATH (260) characters
/// or more (the environment is then left as it is).
KEST_API char const* KestTempDirectory(void);

/// Returns a name for a new temporary file; the file is not created. The name is made by the
/// runtime's _tempnam of a directory, `prefix` (null: none) and a unique ending. The directory is
/// the one TMP names whenever TMP is set, whatever `directory` says (the runtime's rule); else
/// `directory`, or when null that of KestTempDirectory. Returns null for a prefix holding a
/// backslash, a slash or a colon (it would name a file elsewhere), for a directory
/// or prefix of MAX_PATH (260) characters or more, and when the runtime gives no name or a
/// name of MAX_PATH characters or more.
KEST_API char const* KestTempFilename(char const* directory, char const* prefix);

/// Stores the bytes free to the caller on the drive of `path` ("C:", "c:\dir\file") in
/// `*freeBytes` and returns 1 when they are more than 0; returns 0 for a full drive, a
/// failure, a null argument or a path without a drive letter (`*freeBytes` then unchanged).
KEST_API int KestFreeDiskSpace(char const* path, ULARGE_INTEGER* freeBytes);

/// As KestFreeDiskSpace, in whole megabytes (the low 32 bits of bytes / 2^20). Returns 1 or
/// 0 as KestFreeDiskSpace; `*freeMegabytes` is 0 on failure.
KEST_API int KestFreeDiskSpaceMB(char const* path, unsigned long* freeMegabytes);

extern "C" {
/// KestFreeDiskSpace under a plain, undecorated name, the same for every compiler.
KEST_API int KestFreeDiskSpaceC(char const* path, ULARGE_INTEGER* freeBytes);
/// KestFreeDiskSpaceMB under a plain, undecorated name, the same for every compiler.
KEST_API int KestFreeDiskSpaceMBC(char const* path, unsigned long* freeMegabytes);
}
/// @}
