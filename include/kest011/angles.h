#pragma once
// Angles: conversions between radians, degrees, gon and the component notations; the angle value
// class and its text.

#include <windows.h>

#include "kest011/export.h"
