#pragma once
// Memory blocks, memory-mapped files and named shared memory.

#include <windows.h>

#include "kest011/export.h"
