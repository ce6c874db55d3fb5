#pragma once
// How Kest011 names cross the DLL boundary.

#ifdef KEST011_BUILDING
#define KEST_API __declspec(dllexport)
#else
#define KEST_API __declspec(dllimport)
#endif
