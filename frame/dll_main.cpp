#include "frame/ansi_characters.h"
#include "kest011/frame.h"

// Every notification (process and thread attach and detach) restores the library's own
// module as the resource handle; thread notifications stay on for that reason. The ANSI code
// page is the process's for its whole life, so it is learned once.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) kest::learnAnsiCodePage();
  KestSetResourceHandle(instance);
  return TRUE;
}
