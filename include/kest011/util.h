#pragma once
// CRC-32, greatest common divisor and least common multiple, MIDI playback and key state.

#include <windows.h>

#include "kest011/export.h"
