#pragma once
/// @file
/// Kest011: every exported function and class.

#include "kest011/angles.h"
#include "kest011/files.h"
#include "kest011/frame.h"
#include "kest011/memory.h"
#include "kest011/process.h"
#include "kest011/storage.h"
#include "kest011/util.h"
#include "kest011/version.h"
