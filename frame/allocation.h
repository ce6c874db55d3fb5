#pragma once
// The library's one allocator: the process heap.
//
// Policy: running out of memory is a failure the caller reports through its out-parameters,
// never an exception. Library code allocates only through these functions, so no allocation
// can raise std::bad_alloc out of a function that the headers say does not throw.

#include <stdint.h>
#include <windows.h>

namespace kest {

// Returns `bytes` bytes, zero-filled, or null when the heap has none to give.
inline void* allocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }

// Resizes `block` (null allocates) to `bytes`, keeping its contents and zero-filling any
// growth. Returns the block, or null with `block` still valid.
inline void* reallocate(void* block, size_t bytes) {
  if (!block) return allocate(bytes);
  return HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, bytes);
}

// Frees what allocate or reallocate returned; null is ignored.
inline void deallocate(void* block) {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}

// The tag of the library's own placement form, which keeps this header free of <new>.
struct InPlace {};

}  // namespace kest

inline void* operator new(size_t, void* place, kest::InPlace) noexcept { return place; }
inline void operator delete(void*, void*, kest::InPlace) noexcept {}

namespace kest {

// Builds a `T` from `arguments` on the heap. Returns it, or null without memory for it.
template <class T, class... Arguments>
T* create(Arguments&&... arguments) {
  void* const place = allocate(sizeof(T));
  if (!place) return nullptr;
  return ::new (place, InPlace{}) T(static_cast<Arguments&&>(arguments)...);
}

// Destroys and frees what create returned; null is ignored.
template <class T>
void destroy(T* object) {
  if (!object) return;
  object->~T();
  deallocate(object);
}

}  // namespace kest

namespace kest {

// Objects of the exported classes carry a mark in the word before them, so that their
// operator delete tells them from the blocks that a program built against headers without
// the class operators allocated with its own global operator new. The DLL's deleting
// destructors free those as they always did, with the DLL's global operator delete. A
// runtime's heap puts a header before each block, so the word before one is readable.
constexpr size_t kObjectHeader = 16;  // keeps the heap's alignment

inline uintptr_t objectMark(void const* object) {
  return reinterpret_cast<uintptr_t>(object) ^ 0x4B657374;
}

// An object's memory, marked and zero-filled, or null without memory.
inline void* allocateObject(size_t bytes) {
  if (bytes > SIZE_MAX - kObjectHeader) return nullptr;
  auto* const block = static_cast<unsigned char*>(allocate(kObjectHeader + bytes));
  if (!block) return nullptr;
  void* const object = block + kObjectHeader;
  static_cast<uintptr_t*>(object)[-1] = objectMark(object);
  return object;
}

// Frees what allocateObject returned and returns true; false for any other block.
inline bool deallocateObject(void* object) {
  if (static_cast<uintptr_t*>(object)[-1] != objectMark(object)) return false;
  static_cast<uintptr_t*>(object)[-1] = 0;
  deallocate(static_cast<unsigned char*>(object) - kObjectHeader);
  return true;
}

}  // namespace kest

// Defines the members that KEST_ALLOCATED_BY_LIBRARY declares in an exported class: every
// form takes from and frees into the library's allocator, and none throws.
#define KEST_DEFINE_ALLOCATION(Class)                                                      \
  void* Class::operator new(size_t size) noexcept { return kest::allocateObject(size); }   \
  void* Class::operator new[](size_t size) noexcept { return kest::allocateObject(size); } \
  void Class::operator delete(void* block) noexcept {                                      \
    if (block && !kest::deallocateObject(block)) ::operator delete(block);                 \
  }                                                                                        \
  void Class::operator delete[](void* block) noexcept {                                    \
    if (block && !kest::deallocateObject(block)) ::operator delete[](block);               \
  }                                                                                        \
  void* Class::operator new(size_t, void* place) noexcept { return place; }                \
  void* Class::operator new[](size_t, void* place) noexcept { return place; }              \
  void* Class::operator new(size_t size, std::nothrow_t const&) noexcept {                 \
    return kest::allocateObject(size);                                                     \
  }                                                                                        \
  void* Class::operator new[](size_t size, std::nothrow_t const&) noexcept {               \
    return kest::allocateObject(size);                                                     \
  }                                                                                        \
  void Class::operator delete(void* block, std::nothrow_t const&) noexcept {               \
    Class::operator delete(block);                                                         \
  }                                                                                        \
  void Class::operator delete[](void* block, std::nothrow_t const&) noexcept {             \
    Class::operator delete[](block);                                                       \
  }
