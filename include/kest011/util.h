#pragma once
/// @file
/// CRC-32, greatest common divisor and least common multiple, MIDI playback and key state.
///
/// Threads: nothing here keeps a buffer or any state of its own, so every function is safe to
/// call from any thread. The MIDI functions share one device per process (the alias MUSIC):
/// calls from several threads act on the same piece.

#include <windows.h>

#include "kest011/export.h"

/// @name CRC-32
/// The checksum of zlib and PNG. Start with crc = 0; pass the result of one piece as `crc`
/// of the next to checksum data that comes in pieces.
/// @{

/// Returns the checksum of `length` bytes at `data` continued from `crc`; `crc` itself when
/// `length` is 0 or less or `data` is null (nothing is read then).
KEST_API unsigned long KestCrc(unsigned char* data, int length, unsigned long crc);

/// Returns the checksum of the bytes of `text` (without its terminator) continued from
/// `crc`; `crc` itself for an empty or null text.
KEST_API unsigned long KestCrc(char const* text, unsigned long crc);
/// @}

/// @name Greatest common divisor and least common multiple
/// Euclid's algorithm with remainders that take the sign of the dividend, so results may
/// be negative: __KestGcdi(4, -6) is -2, __KestGcdi(-6, 0) is -6.
/// @{

/// Returns the greatest common divisor (a when b is 0; 0 for 0 and 0).
KEST_API int __KestGcdi(int a, int b);

/// Returns the greatest common divisor, exactly as __KestGcdi.
KEST_API long __KestGcdl(long a, long b);

/// Returns the greatest common divisor of doubles; a second value at or below DBL_EPSILON
/// (or not a number) counts as zero and ends the search with the first.
KEST_API double __KestGcdd(double a, double b);

/// Returns a * b / gcd(a, b); 0 when an argument is 0 or when the result does not fit in
/// an int.
KEST_API int __KestLcmi(int a, int b);

/// Returns the least common multiple, exactly as __KestLcmi.
KEST_API long __KestLcml(long a, long b);

/// Returns a * b / __KestGcdd(a, b); 0.0 when that divisor is 0.0.
KEST_API double __KestLcmd(double a, double b);
/// @}

/// @name MIDI playback and key state
/// One piece of music per process, opened by the MCI sequencer under the alias MUSIC.
/// `window` receives MM_MCINOTIFY when a play started by these functions ends (or is cut
/// short). Every function returns 1 on success and 0 on failure.
/// @{

/// Closes every MCI device of the process, opens `file` and plays it from the start.
/// Returns 0 for a null or empty name or one that does not fit the open command (names
/// holding a space are sent in double quotes), none of them closing anything, or when
/// closing, opening or playing fails.
KEST_API int KestPlayMidi(HWND window, char const* file);

/// Halts playback at the current position. Returns 1, or 0 when nothing is open.
KEST_API int KestPauseMidi(HWND window);

/// Plays on from the current position. Returns 1, or 0 when nothing is open.
KEST_API int KestResumeMidi(HWND window);

/// Closes every MCI device of the process. Returns 1 (also with nothing open), or 0.
KEST_API int KestStopMidi(HWND window);

/// Plays from the start. Returns 1, or 0 when nothing is open.
KEST_API int KestReplayMidi(HWND window);

/// Returns 1 while the virtual key `key` is down for the calling thread, else 0 (also for a
/// code outside 0-255); the toggle state (Caps Lock and the like) does not count.
KEST_API int KestIsKeyDown(int key);
/// @}
