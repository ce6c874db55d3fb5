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

  // Counts one more object and returns the holder.
  SharedHolder* share();

  // Counts one object less; the last one releases the resource and the holder.
  void drop();

 protected:
  using Destroy = void (*)(SharedHolder* holder);
  explicit SharedHolder(Destroy destroy) : destroy_(destroy) {}
  ~SharedHolder() = default;

 private:
  Destroy const destroy_;
  LONG volatile references_ = 1;
};

// The holder of a `Resource`: a small record of handles whose release() frees them.
template <class Resource>
class Holder final : public SharedHolder {
 public:
  // Gives `resource` a holder counting one object. Without memory for it, releases the
  // resource at once and returns null.
  static SharedHolder* adopt(Resource const& resource) {
    Holder* const holder = create<Holder>(resource);
    if (!holder) resource.release();
    return holder;
  }

  // Public for create(); adopt() is the way in.
  explicit Holder(Resource const& resource) : SharedHolder(release), resource_(resource) {}

 private:
  static void release(SharedHolder* holder) {
    Holder* const self = static_cast<Holder*>(holder);
    self->resource_.release();
    destroy(self);
  }

  Resource const resource_;
};

// The holder of a new copy: another count on `holder`, or null when it is null.
SharedHolder* shareHolder(SharedHolder* holder);

// Lets go of `holder`, if any, and clears it.
void dropHolder(SharedHolder*& holder);

}  // namespace kest
