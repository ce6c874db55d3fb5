// A MIDI output port that plays nothing, for a test machine without sound hardware: the
// system's sequencer plays through it and sees the piece to its end.

#include <windows.h>
// Each needs the one before it.
#include <mmsystem.h>
//
#include <mmddk.h>

extern "C" {

// Loading, enabling and opening the driver succeed.
__declspec(dllexport) LRESULT CALLBACK DriverProc(DWORD_PTR, HDRVR, UINT, LPARAM, LPARAM) {
  return 1;
}

// One port, with no name, that takes the short messages it is sent and drops them.
__declspec(dllexport) DWORD APIENTRY
    modMessage(UINT, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR param2) {
  switch (message) {
    case MODM_GETNUMDEVS:
      return 1;
    case MODM_GETDEVCAPS:
      ZeroMemory(reinterpret_cast<void*>(param1), param2);
      return MMSYSERR_NOERROR;
    case MODM_OPEN:
    case MODM_CLOSE:
    case MODM_DATA:
      return MMSYSERR_NOERROR;
    default:
      return MMSYSERR_NOTSUPPORTED;
  }
}
}
