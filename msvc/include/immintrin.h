#pragma once
// clang, when it imitates Microsoft's compiler, declares in <immintrin.h> only the
// intrinsics of the instruction sets that a whole file is compiled for; Microsoft's own
// header declares them all. Code that enables instruction sets function by function
// (target attributes, behind a CPUID check) needs them declared, so the feature macros that
// clang's header asks about stand defined while it is read, and as they were afterwards.
// Only declarations change: what a function may execute is still its own target's.

#pragma push_macro("__SSE3__")
#undef __SSE3__
#define __SSE3__ 1
#pragma push_macro("__SSSE3__")
#undef __SSSE3__
#define __SSSE3__ 1
#pragma push_macro("__SSE4_1__")
#undef __SSE4_1__
#define __SSE4_1__ 1
#pragma push_macro("__SSE4_2__")
#undef __SSE4_2__
#define __SSE4_2__ 1
#pragma push_macro("__POPCNT__")
#undef __POPCNT__
#define __POPCNT__ 1
#pragma push_macro("__PCLMUL__")
#undef __PCLMUL__
#define __PCLMUL__ 1
#pragma push_macro("__AVX__")
#undef __AVX__
#define __AVX__ 1
#pragma push_macro("__AVX2__")
#undef __AVX2__
#define __AVX2__ 1
#pragma push_macro("__AVX512F__")
#undef __AVX512F__
#define __AVX512F__ 1
#pragma push_macro("__AVX512VL__")
#undef __AVX512VL__
#define __AVX512VL__ 1
#pragma push_macro("__AVX512BW__")
#undef __AVX512BW__
#define __AVX512BW__ 1
#pragma push_macro("__AVX512DQ__")
#undef __AVX512DQ__
#define __AVX512DQ__ 1
#pragma push_macro("__VPCLMULQDQ__")
#undef __VPCLMULQDQ__
#define __VPCLMULQDQ__ 1

#include_next <immintrin.h>

#pragma pop_macro("__SSE3__")
#pragma pop_macro("__SSSE3__")
#pragma pop_macro("__SSE4_1__")
#pragma pop_macro("__SSE4_2__")
#pragma pop_macro("__POPCNT__")
#pragma pop_macro("__PCLMUL__")
#pragma pop_macro("__AVX__")
#pragma pop_macro("__AVX2__")
#pragma pop_macro("__AVX512F__")
#pragma pop_macro("__AVX512VL__")
#pragma pop_macro("__AVX512BW__")
#pragma pop_macro("__AVX512DQ__")
#pragma pop_macro("__VPCLMULQDQ__")
