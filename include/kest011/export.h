#pragma once
/// @file
/// How Kest011 names cross the DLL boundary.

/// @def KEST_API
/// Marks what the DLL exports: `__declspec(dllimport)` for programs, `__declspec(dllexport)`
/// while the library itself is built (KEST011_BUILDING defined).
#ifdef KEST011_BUILDING
#define KEST_API __declspec(dllexport)
#else
#define KEST_API __declspec(dllimport)
#endif
