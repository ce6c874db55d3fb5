#pragma once
// Starting a program and waiting for it.

#include <windows.h>

#include "kest011/export.h"
