// Whether a key is down, as the calling thread's input state has it.

#include "kest011/util.h"

int KestIsKeyDown(int key) {
  // The high bit of the result is the down state; the low bit, the toggle, is ignored.
  return GetKeyState(key) < 0 ? 1 : 0;
}
