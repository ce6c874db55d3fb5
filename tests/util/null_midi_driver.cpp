// A MIDI output driver that plays nothing: the test machine's stand-in for a synthesizer,
// so that the system's MCI sequencer has a port to play through and reports the end of
// its playing. It counts the note-on messages it receives, for tests to read.

#include <windows.h>
// Each needs the ones before it.
#include <mmsystem.h>
//
#include <mmddk.h>

extern "C" BOOL WINAPI DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message,
                                      DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

namespace {

LONG g_noteOns;

// What the opener asked to be told, kept per open port in the caller's dwUser slot.
struct Client {
  MIDIOPENDESC description;
  DWORD flags;
};

void notify(Client const* client, UINT message, DWORD_PTR param1) {
  DriverCallback(client->description.dwCallback, HIWORD(client->flags),
                 reinterpret_cast<HDRVR>(client->description.hMidi), message,
                 client->description.dwInstance, param1, 0);
}

DWORD getCaps(MIDIOUTCAPSW* caps, DWORD_PTR size) {
  if (!caps || size < sizeof *caps) return MMSYSERR_INVALPARAM;
  *caps = MIDIOUTCAPSW{};
  lstrcpynW(caps->szPname, L"Kest null synthesizer", MAXPNAMELEN);
  caps->wTechnology = MOD_SWSYNTH;
  caps->wVoices = 16;
  caps->wNotes = 16;
  caps->wChannelMask = 0xFFFF;
  return MMSYSERR_NOERROR;
}

DWORD open(DWORD_PTR* user, MIDIOPENDESC const* description, DWORD flags) {
  if (!user || !description) return MMSYSERR_INVALPARAM;
  auto* client = new Client{*description, flags};
  *user = reinterpret_cast<DWORD_PTR>(client);
  notify(client, MOM_OPEN, 0);
  return MMSYSERR_NOERROR;
}

DWORD close(Client* client) {
  notify(client, MOM_CLOSE, 0);
  delete client;
  return MMSYSERR_NOERROR;
}

void countShortMessage(DWORD_PTR message) {
  bool const noteOn = (message & 0xF0) == 0x90 && ((message >> 16) & 0x7F) != 0;
  if (noteOn) InterlockedIncrement(&g_noteOns);
}

DWORD finishLongMessage(Client const* client, MIDIHDR* header) {
  if (!header) return MMSYSERR_INVALPARAM;
  header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
  notify(client, MOM_DONE, reinterpret_cast<DWORD_PTR>(header));
  return MMSYSERR_NOERROR;
}

}  // namespace

extern "C" {

__declspec(dllexport) LRESULT CALLBACK
    DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2) {
  switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_OPEN:
    case DRV_CLOSE:
      return 1;
    default:
      return DefDriverProc(id, driver, message, param1, param2);
  }
}

__declspec(dllexport) DWORD APIENTRY
    modMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
  auto* client = reinterpret_cast<Client*>(user);
  switch (message) {
    case DRVM_INIT:
    case DRVM_EXIT:
      return MMSYSERR_NOERROR;
    case MODM_GETNUMDEVS:
      return 1;
    case MODM_GETDEVCAPS:
      return getCaps(reinterpret_cast<MIDIOUTCAPSW*>(param1), param2);
    case MODM_OPEN:
      if (device != 0) return MMSYSERR_BADDEVICEID;
      return open(reinterpret_cast<DWORD_PTR*>(user), reinterpret_cast<MIDIOPENDESC*>(param1),
                  static_cast<DWORD>(param2));
    case MODM_CLOSE:
      return close(client);
    case MODM_DATA:
      countShortMessage(param1);
      return MMSYSERR_NOERROR;
    case MODM_LONGDATA:
      return finishLongMessage(client, reinterpret_cast<MIDIHDR*>(param1));
    case MODM_RESET:
      return MMSYSERR_NOERROR;
    default:
      return MMSYSERR_NOTSUPPORTED;
  }
}

// How many notes were struck since the driver was loaded into this process.
__declspec(dllexport) LONG NullMidiNoteOns() {
  return InterlockedCompareExchange(&g_noteOns, 0, 0);
}

}  // extern "C"
