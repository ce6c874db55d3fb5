#include "storage/storage_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kest::test {
namespace {

// Storage interfaces need COM on the thread, which the library leaves to its callers.
class ComEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

::testing::Environment* const g_comEnvironment =
    ::testing::AddGlobalTestEnvironment(new ComEnvironment);

template <class Interface>
HRESULT handOut(Counted<Interface>* child, Interface** result) {
  *result = nullptr;
  if (!child) return E_NOTIMPL;
  child->AddRef();
  *result = child;
  return S_OK;
}

}  // namespace

// Sees every task-allocator call while registered; counts only its own blocks.
struct TaskMemoryCount::Spy : IMallocSpy {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T request) override { return request; }
  void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
    if (actual) ++live;
    return actual;
  }
  void* STDMETHODCALLTYPE PreFree(void* request, BOOL spied) override {
    if (request && spied) --live;
    return request;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest,
                                      BOOL) override {
    *newRequest = request;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T actual, BOOL) override { return actual; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

  long live = 0;
};

TaskMemoryCount::TaskMemoryCount() : spy_(new Spy) {
  HRESULT const hr = CoRegisterMallocSpy(spy_);
  if (FAILED(hr)) ADD_FAILURE() << "CoRegisterMallocSpy: 0x" << std::hex << hr;
}

// The spy object is left alive: the allocator may still call it for blocks it saw.
TaskMemoryCount::~TaskMemoryCount() { CoRevokeMallocSpy(); }

long TaskMemoryCount::live() const { return spy_->live; }

HRESULT FakeElements::Next(ULONG count, STATSTG* records, ULONG* fetched) {
  *fetched = 0;
  if (count != 1) return E_INVALIDARG;
  if (next >= elements.size()) return endResult;
  std::wstring const& name = elements[next].first;
  size_t const size = (name.size() + 1) * sizeof(wchar_t);
  *records = STATSTG{};
  records->pwcsName = static_cast<LPOLESTR>(CoTaskMemAlloc(size));
  std::memcpy(records->pwcsName, name.c_str(), size);
  records->type = elements[next].second;
  ++next;
  *fetched = 1;
  return S_OK;
}

HRESULT FakeStorage::CreateStream(OLECHAR const*, DWORD, DWORD, DWORD, IStream** stream) {
  return handOut<IStream>(childStream, stream);
}

HRESULT FakeStorage::OpenStream(OLECHAR const*, void*, DWORD, DWORD, IStream** stream) {
  return handOut<IStream>(childStream, stream);
}

HRESULT FakeStorage::CreateStorage(OLECHAR const*, DWORD, DWORD, DWORD, IStorage** storage) {
  return handOut<IStorage>(childStorage, storage);
}

HRESULT FakeStorage::OpenStorage(OLECHAR const*, IStorage*, DWORD, SNB, DWORD, IStorage** storage) {
  return handOut<IStorage>(childStorage, storage);
}

HRESULT FakeStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** found) {
  *found = nullptr;
  if (FAILED(enumResult)) return enumResult;
  return handOut<IEnumSTATSTG>(elements, found);
}

}  // namespace kest::test
