// operator new and delete on the process heap. A program deletes an object of an exported
// class through its virtual table, so the DLL's deleting destructor frees what the
// program's operator new allocated: programs of current Microsoft compilers allocate from
// the process heap (their C runtime's malloc does), and so must the DLL's delete.
// msvcrt.dll's operator delete would free into msvcrt.dll's own heap instead.
//
// As msvcrt.dll's, operator new returns null when the heap has nothing to give: this
// runtime has no std::bad_alloc to throw.

#include <windows.h>

void* operator new(size_t size) { return HeapAlloc(GetProcessHeap(), 0, size ? size : 1); }
void* operator new[](size_t size) { return operator new(size); }

void operator delete(void* block) noexcept {
  if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }
