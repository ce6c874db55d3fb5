#include "kest011/frame.h"

namespace {

HINSTANCE g_resourceHandle;

}  // namespace

void KestSetResourceHandle(HINSTANCE instance) { g_resourceHandle = instance; }

HINSTANCE KestGetResourceHandle(void) { return g_resourceHandle; }
