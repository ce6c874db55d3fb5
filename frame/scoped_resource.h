#pragma once
// Scoped owners of system resources. Each type records the value its creating call returns
// on failure, so a check of an owner can never mix up INVALID_HANDLE_VALUE and null.
//
// An owner closes what it holds when it goes, unless release() handed it on. Owners move
// but do not copy; copies that share a resource use frame/shared_holder.h.

#include <objbase.h>
#include <windows.h>

#include "frame/allocation.h"

namespace kest {

template <class Traits>
class Scoped {
 public:
  using Value = typename Traits::Value;

  Scoped() = default;
  explicit Scoped(Value value) : value_(value) {}
  Scoped(Scoped&& other) noexcept : value_(other.release()) {}
  Scoped& operator=(Scoped&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Scoped(Scoped const&) = delete;
  Scoped& operator=(Scoped const&) = delete;
  ~Scoped() { reset(); }

  Value get() const { return value_; }
  bool valid() const { return value_ != Traits::invalid(); }
  explicit operator bool() const { return valid(); }

  // Hands the resource to the caller, who then closes it.
  Value release() {
    Value const value = value_;
    value_ = Traits::invalid();
    return value;
  }

  // Closes what is held, then holds `value`.
  void reset(Value value = Traits::invalid()) {
    Value const old = value_;
    value_ = value;
    if (old != Traits::invalid()) Traits::close(old);
  }

  // For calls that return the resource through an out-parameter: closes what is held and
  // returns the place to store the new one.
  Value* put() {
    reset();
    return &value_;
  }

 private:
  Value value_ = Traits::invalid();
};

struct FileHandleTraits {  // CreateFileA and its kin fail with INVALID_HANDLE_VALUE
  using Value = HANDLE;
  static Value invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Value handle) { CloseHandle(handle); }
};

struct KernelHandleTraits {  // processes, threads, mappings and events fail with null
  using Value = HANDLE;
  static Value invalid() { return nullptr; }
  static void close(Value handle) { CloseHandle(handle); }
};

struct FindHandleTraits {  // FindFirstFileA fails with INVALID_HANDLE_VALUE
  using Value = HANDLE;
  static Value invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Value handle) { FindClose(handle); }
};

struct MappedViewTraits {  // MapViewOfFile fails with null
  using Value = void*;
  static Value invalid() { return nullptr; }
  static void close(Value view) { UnmapViewOfFile(view); }
};

struct GlobalBlockTraits {  // GlobalAlloc fails with null
  using Value = HGLOBAL;
  static Value invalid() { return nullptr; }
  static void close(Value block) { GlobalFree(block); }
};

struct VirtualBlockTraits {  // VirtualAlloc fails with null; the whole reservation goes
  using Value = void*;
  static Value invalid() { return nullptr; }
  static void close(Value block) { VirtualFree(block, 0, MEM_RELEASE); }
};

struct HeapBlockTraits {  // kest::allocate fails with null
  using Value = void*;
  static Value invalid() { return nullptr; }
  static void close(Value block) { deallocate(block); }
};

using FileHandle = Scoped<FileHandleTraits>;
using KernelHandle = Scoped<KernelHandleTraits>;
using FindHandle = Scoped<FindHandleTraits>;
using MappedView = Scoped<MappedViewTraits>;
using GlobalBlock = Scoped<GlobalBlockTraits>;
using VirtualBlock = Scoped<VirtualBlockTraits>;
using HeapBlock = Scoped<HeapBlockTraits>;

template <class Interface>
struct InterfaceTraits {  // one counted reference; null when none was had
  using Value = Interface*;
  static Value invalid() { return nullptr; }
  static void close(Value object) { object->Release(); }
};

// Owns one reference to a COM interface.
template <class Interface>
using ComPtr = Scoped<InterfaceTraits<Interface>>;

}  // namespace kest
