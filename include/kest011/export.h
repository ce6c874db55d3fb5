#pragma once
/// @file
/// How Kest011 names cross the DLL boundary.

#include <stddef.h>

/// @def KEST_API
/// Marks what the DLL exports: `__declspec(dllimport)` for programs, `__declspec(dllexport)`
/// while the library itself is built (KEST011_BUILDING defined).
#ifdef KEST011_BUILDING
#define KEST_API __declspec(dllexport)
#else
#define KEST_API __declspec(dllimport)
#endif

// The tag of new (std::nothrow), declared as <new> declares it; a program that writes
// std::nothrow includes <new>.
namespace std {
struct nothrow_t;
}  // namespace std

/// @def KEST_ALLOCATED_BY_LIBRARY
/// Gives an exported class its own `operator new`, `operator delete`, `operator new[]` and
/// `operator delete[]`, exported from the DLL, so that `new` and `delete` of the class (and
/// of a class derived from it) allocate and free with the library's allocator, whatever the
/// program's runtime (release or debug) or its global `operator new`. They do not throw:
/// without memory, `new` yields null. The placement form and the `std::nothrow` form, which
/// the class's own operators would otherwise hide, are members too.
#define KEST_ALLOCATED_BY_LIBRARY                                           \
  static void* operator new(size_t size) noexcept;                          \
  static void* operator new[](size_t size) noexcept;                        \
  static void operator delete(void* block) noexcept;                        \
  static void operator delete[](void* block) noexcept;                      \
  static void* operator new(size_t size, void* place) noexcept;             \
  static void* operator new[](size_t size, void* place) noexcept;           \
  static void* operator new(size_t size, std::nothrow_t const&) noexcept;   \
  static void* operator new[](size_t size, std::nothrow_t const&) noexcept; \
  static void operator delete(void* block, std::nothrow_t const&) noexcept; \
  static void operator delete[](void* block, std::nothrow_t const&) noexcept
