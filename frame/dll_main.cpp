#include "kest011/frame.h"

// Every notification (process and thread attach and detach) restores the library's own
// module as the resource handle; thread notifications stay on for that reason.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, void* /*reserved*/) {
  KestSetResourceHandle(instance);
  return TRUE;
}
