#pragma once
// Owning COM interface pointers and COM's initialisation, for the kest tool and the tests.

#include <objbase.h>

#include <memory>

namespace kest::helpers {

struct ReleaseInterface {
  void operator()(IUnknown* object) const { object->Release(); }
};

// Holds one reference to `Interface` and releases it at the end.
template <class Interface>
using ComOwned = std::unique_ptr<Interface, ReleaseInterface>;

// COM on this thread for the object's lifetime (the library leaves that to its callers).
class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialised_) CoUninitialize();
  }
  ComScope(ComScope const&) = delete;
  ComScope& operator=(ComScope const&) = delete;

 private:
  bool initialised_;
};

}  // namespace kest::helpers
