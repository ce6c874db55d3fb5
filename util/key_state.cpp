// Whether a key is down, as the calling thread's input state has it.

#include "kest011/util.h"

namespace {

// Virtual-key codes index a table of 256 entries; no key has a code outside it.
constexpr int kVirtualKeyCount = 256;

}  // namespace

int KestIsKeyDown(int key) {
  if (key < 0 || key >= kVirtualKeyCount) return 0;
  // The high bit of the result is the down state; the low bit, the toggle, is ignored.
  return GetKeyState(key) < 0 ? 1 : 0;
}
