// Rows on objects of the library that only a program in Microsoft's ABI can run: the class
// operators take from and free into the library's allocator whatever this program's runtime
// and global operator new are, and delete[] through slot 0 of the virtual table, as Visual
// C++ compiles it, destroys every element and frees the whole block.
#include "tests/msvc/library_objects.h"

#include <comdef.h>
#include <malloc.h>
#include <stdint.h>
#include <stdlib.h>
#include <windows.h>

#include "kest011.h"
#include "tests/support/import_patch.h"

// No <new> here: std::nothrow_t as the C++ libraries declare it.
struct std::nothrow_t {
  explicit nothrow_t() = default;
};

namespace {

std::nothrow_t const kNoThrow{};

// This program's global operator new and delete, standing in for the debug runtime or a
// program's own allocator: a mark in the 16 bytes before each block, which delete checks.
constexpr unsigned kMark = 0x4B455354;
int g_programNews;     // blocks that this program's operator new made
int g_foreignDeletes;  // blocks without the mark that its operator delete was given

}  // namespace

void* operator new(size_t size) {
  auto* const mark = static_cast<unsigned*>(malloc(16 + size));
  if (!mark) abort();  // no std::bad_alloc to throw here
  *mark = kMark;
  ++g_programNews;
  return mark + 4;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* block) noexcept {
  if (!block) return;
  unsigned* const mark = static_cast<unsigned*>(block) - 4;
  g_foreignDeletes += *mark != kMark;
  if (*mark == kMark) free(mark);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, size_t) noexcept { operator delete(block); }
void operator delete[](void* block, size_t) noexcept { operator delete(block); }

namespace {

// Slot 0 of a virtual table as Visual C++ calls it for delete[]: flags 3, array and free.
struct VectorDeleting {
  virtual void* deleting(unsigned flags) = 0;
};
void deleteArrayAsVisualCpp(void* elements) { static_cast<VectorDeleting*>(elements)->deleting(3); }

// A class of the program derived from a library class, bigger than its base: it inherits the
// class operators, and its elements record the order in which they go.
int g_made, g_gone, g_order[3];
struct Derived : CKestAngle {
  int const index = g_made++;
  int extra[4] = {};
  ~Derived() override { g_order[g_gone++ % 3] = index; }
};

template <class T>
void roundsOf(int count) {
  for (int i = 0; i < count; ++i) {
    T* volatile one = new T;
    delete one;
    T* volatile many = new T[3];
    delete[] many;
    deleteArrayAsVisualCpp(new T[3]);
    alignas(T) unsigned char room[4 * sizeof(T)];
    T* const placed = new (room) T;
    placed->~T();
    T* const placedMany = new (room) T[2];
    CHECK(static_cast<void*>(placed) == room && placedMany);
    placedMany[1].~T();
    placedMany[0].~T();
    delete new (kNoThrow) T;
    delete[] new (kNoThrow) T[2];
    // The forms that a constructor throwing after new (std::nothrow) reaches.
    T::operator delete(T::operator new(1, kNoThrow), kNoThrow);
    T::operator delete[](T::operator new[](1, kNoThrow), kNoThrow);
  }
}

template <class... Classes>
void everyClass(int count) {
  (roundsOf<Classes>(count), ...);
}

BSTR WINAPI noMemoryForString(OLECHAR const*) { return nullptr; }

long long busyBytes(HANDLE heap) {
  long long busy = 0;
  PROCESS_HEAP_ENTRY entry = {};
  HeapLock(heap);
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
  HeapUnlock(heap);
  return busy;
}

// The HRESULT of the _com_error that a narrow name raises when SysAllocString finds no
// memory; S_OK if the error out-parameters changed.
long comErrorOfNarrowName() {
  long code = 12345;
  char* text = nullptr;
  HRESULT raised = S_OK;
  void* const allocate = reinterpret_cast<void*>(&SysAllocString);
  void* const failing = reinterpret_cast<void*>(&noMemoryForString);
  kest::test::patchImport(allocate, failing);
  try {
    KestOleCreateStgFile("a.stg", &code, &text);
  } catch (_com_error const& error) {
    raised = error.Error();
  }
  return kest::test::patchImport(failing, allocate) && code == 12345 ? raised : S_OK;
}

}  // namespace

HeapGrowth libraryObjectRows() {
  HANDLE const heaps[] = {GetProcessHeap(), reinterpret_cast<HANDLE>(_get_heap_handle())};
  HeapGrowth growth = {};
  int const programNews = g_programNews;
  int const counts[] = {1, 2000};  // the first round makes what first calls make once
  for (int const count : counts) {
    long long const before[] = {busyBytes(heaps[0]), busyBytes(heaps[1])};
    everyClass<CKestAngle, CKestMemory, CKestMmFile, CKestSharedMemory, CKestOleEnumElements,
               CKestFileVersionInfo, CKestSystemVersionInfo>(count);
    for (int i = 0; i < count; ++i) {
      g_gone = g_made = 0;
      deleteArrayAsVisualCpp(new Derived[3]);
      CHECK(g_gone == 3 && g_order[0] == 2 && g_order[1] == 1 && g_order[2] == 0);
      delete new Derived;
      CHECK(comErrorOfNarrowName() == E_OUTOFMEMORY);
    }
    // Without memory the class operators yield null, and so does new: they do not throw.
    size_t volatile const tooMany = SIZE_MAX / 2 / sizeof(CKestMmFile);
    CHECK(new CKestMmFile[tooMany] == nullptr&& g_programNews == programNews);
    growth = {busyBytes(heaps[0]) - before[0], busyBytes(heaps[1]) - before[1]};
  }
  delete new int;  // this program's own objects do reach its operators
  CHECK(g_programNews == programNews + 1 && g_foreignDeletes == 0);
  CHECK(growth.process == 0 && growth.runtime == 0);
  return growth;
}
