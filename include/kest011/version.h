#pragma once
// Version resources and operating-system identification.

#include <windows.h>

#include "kest011/export.h"
