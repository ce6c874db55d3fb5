#include "frame/shared_holder.h"

namespace kest {

// Interlocked, since copies of one object may live on different threads.
SharedHolder* SharedHolder::share() {
  InterlockedIncrement(&references_);
  return this;
}

void SharedHolder::drop() {
  if (InterlockedDecrement(&references_) == 0) destroy_(this);
}

SharedHolder* shareHolder(SharedHolder* holder) { return holder ? holder->share() : nullptr; }

void dropHolder(SharedHolder*& holder) {
  if (holder) holder->drop();
  holder = nullptr;
}

}  // namespace kest
