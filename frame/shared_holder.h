#pragma once
// Shared ownership: copies of an object refer to one resource, which the last of them to
// let go releases. Every copyable class of the library counts its copies here.

#include <windows.h>

#include "frame/allocation.h"

namespace kest {

// The count of objects that refer to one resource. Deliberately not polymorphic: the
// compiler would export the type information of a polymorphic class defined after the
// exported classes of the public header.
class SharedHolder {
 public:
  SharedHolder(SharedHolder const&) = delete;
  SharedHolder& operator=(SharedHolder const&) = delete;

  // Counts one more object; interlocked, since copies may live on different threads.
  void share() { InterlockedIncrement(&references_); }

  // Counts one object less; the last one releases the resource and the holder.
  void drop() {
    if (InterlockedDecrement(&references_) == 0) destroy_(this);
  }

 protected:
  using Destroy = void (*)(SharedHolder* holder);
  explicit SharedHolder(Destroy destroy) : destroy_(destroy) {}
  ~SharedHolder() = default;

 private:
  Destroy const destroy_;
  LONG volatile references_ = 1;
};

// The holder of a `Resource`: a record of scoped owners, which close in the reverse order
// of their declaration when the holder goes.
template <class Resource>
class Holder final : public SharedHolder {
 public:
  // Moves what `resource` owns into a holder counting one object. Without memory for the
  // holder, returns null and `resource` keeps it, to close when it goes.
  static SharedHolder* adopt(Resource& resource) {
    return create<Holder>(static_cast<Resource&&>(resource));
  }

  // Public for create(); adopt() is the way in.
  explicit Holder(Resource&& resource)
      : SharedHolder(destroyHolder), resource_(static_cast<Resource&&>(resource)) {}

 private:
  static void destroyHolder(SharedHolder* holder) { destroy(static_cast<Holder*>(holder)); }

  Resource resource_;
};

// The holder of a new copy: another count on `holder`, or null when it is null.
template <class AnyHolder>
AnyHolder* shareHolder(AnyHolder* holder) {
  if (holder) holder->share();
  return holder;
}

// Lets go of `holder`, if any, and clears it.
template <class AnyHolder>
void dropHolder(AnyHolder*& holder) {
  if (holder) holder->drop();
  holder = nullptr;
}

}  // namespace kest
