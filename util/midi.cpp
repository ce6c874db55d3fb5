// MIDI playback through the MCI sequencer, one piece per process under the alias MUSIC.

#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>
#include <string.h>

#include "frame/bounded_text.h"
#include "kest011/util.h"

namespace {

// The open command is built in a buffer of MAX_PATH characters.
using OpenCommand = char[MAX_PATH];

// Sends one command string; `window` gets MM_MCINOTIFY for commands that ask for it. MCI's
// error code only counts as success or failure.
int sendCommand(char const* command, HWND window) {
  return mciSendStringA(command, nullptr, 0, window) == 0 ? 1 : 0;
}

bool isQuoted(char const* name) {
  size_t const length = strlen(name);
  return length >= 2 && name[0] == '"' && name[length - 1] == '"';
}

// "open FILE type sequencer alias MUSIC" in `command`. MCI splits its commands at spaces,
// so a name with a space goes in double quotes unless it already is. False when the name
// does not fit.
bool formatOpenCommand(char const* file, OpenCommand& command) {
  bool const quote = strchr(file, ' ') != nullptr && !isQuoted(file);
  return kest::format(
      command,
      quote ? "open \"%s\" type sequencer alias MUSIC" : "open %s type sequencer alias MUSIC",
      file);
}

}  // namespace

int KestPlayMidi(HWND window, char const* file) {
  OpenCommand command;
  if (kest::isMissing(file) || !formatOpenCommand(file, command)) return 0;
  if (!KestStopMidi(window)) return 0;
  // No callback for the open: only the play reports its end to `window`.
  if (!sendCommand(command, nullptr)) return 0;
  return KestReplayMidi(window);
}

int KestPauseMidi(HWND window) { return sendCommand("stop MUSIC", window); }

int KestResumeMidi(HWND window) { return sendCommand("play MUSIC notify", window); }

int KestStopMidi(HWND window) { return sendCommand("close all", window); }

int KestReplayMidi(HWND window) { return sendCommand("play MUSIC from 0 notify", window); }
