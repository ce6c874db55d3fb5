#pragma once
// What the storage suites share: COM for the whole run, a count of live task-allocator
// blocks, fake storages that fail on cue, and wide names in the library's spelling.

#include <objbase.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace kest::test {

// A text pointer that a call must overwrite.
inline char* const kStale = reinterpret_cast<char*>(0x1234);

inline unsigned short const* units(wchar_t const* name) {
  return reinterpret_cast<unsigned short const*>(name);
}

// Counts the task-allocator blocks allocated and not yet freed while it is installed, so a
// test sees names that nobody frees, or that are freed twice.
class TaskMemoryCount {
 public:
  TaskMemoryCount();
  ~TaskMemoryCount();
  TaskMemoryCount(TaskMemoryCount const&) = delete;
  TaskMemoryCount& operator=(TaskMemoryCount const&) = delete;

  // Blocks allocated since the count began and not freed yet.
  long live() const;

 private:
  struct Spy;
  Spy* spy_;
};

// Reference counting of the fakes: they never delete themselves, so a test that owns one on
// the stack reads how many references the library left behind.
template <class Interface>
class Counted : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }

  ULONG references = 1;
};

// A stream whose Stat gives `statResult`; nothing else works.
class FakeStream : public Counted<IStream> {
 public:
  HRESULT STDMETHODCALLTYPE Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Write(void const*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                   ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return statResult; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  HRESULT statResult = S_OK;
};

// An element enumerator that hands out `elements` (names from the task allocator), then
// `endResult` with nothing fetched.
class FakeElements : public Counted<IEnumSTATSTG> {
 public:
  HRESULT STDMETHODCALLTYPE Next(ULONG count, STATSTG* records, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Reset() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG**) override { return E_NOTIMPL; }

  std::vector<std::pair<std::wstring, DWORD>> elements;  // name and type
  HRESULT endResult = S_FALSE;
  size_t next = 0;
};

// A storage that opens and creates `childStorage` and `childStream` under any name, and
// lists `elements` (or fails with `enumResult`). Stat gives `statResult`.
class FakeStorage : public Counted<IStorage> {
 public:
  HRESULT STDMETHODCALLTYPE CreateStream(OLECHAR const*, DWORD, DWORD, DWORD,
                                         IStream** stream) override;
  HRESULT STDMETHODCALLTYPE OpenStream(OLECHAR const*, void*, DWORD, DWORD,
                                       IStream** stream) override;
  HRESULT STDMETHODCALLTYPE CreateStorage(OLECHAR const*, DWORD, DWORD, DWORD,
                                          IStorage** storage) override;
  HRESULT STDMETHODCALLTYPE OpenStorage(OLECHAR const*, IStorage*, DWORD, SNB, DWORD,
                                        IStorage** storage) override;
  HRESULT STDMETHODCALLTYPE CopyTo(DWORD, IID const*, SNB, IStorage*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MoveElementTo(OLECHAR const*, IStorage*, OLECHAR const*,
                                          DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** found) override;
  HRESULT STDMETHODCALLTYPE DestroyElement(OLECHAR const*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RenameElement(OLECHAR const*, OLECHAR const*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetElementTimes(OLECHAR const*, FILETIME const*, FILETIME const*,
                                            FILETIME const*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return statResult; }

  FakeStorage* childStorage = nullptr;
  FakeStream* childStream = nullptr;
  FakeElements* elements = nullptr;
  HRESULT enumResult = S_OK;
  HRESULT statResult = S_OK;
};

}  // namespace kest::test
