#pragma once
// Structured storage: compound files, storages, streams and their elements.

#include <windows.h>

#include "kest011/export.h"
