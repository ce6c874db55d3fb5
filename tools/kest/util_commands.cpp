// kest subcommands and tour sections of the utilities: CRC-32, GCD and LCM, MIDI, keys.

#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/notice_window.h"
#include "common/number_text.h"
#include "kest/command.h"
#include "kest011/files.h"
#include "kest011/util.h"

namespace kest::cli {
namespace {

using helpers::noticeName;
using helpers::NoticeWindow;

// ---- kest crc ---------------------------------------------------------------------------

// Pieces of this size are read and checksummed in turn, the checksum of each continuing
// from the one before.
constexpr DWORD kCrcPieceSize = 1 << 20;

// The checksum of what remains to be read from `file`; false when reading fails.
bool crcOfStream(HANDLE file, std::vector<unsigned char>& buffer, unsigned long& crc) {
  crc = 0;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.data(), kCrcPieceSize, &got, nullptr))
      return GetLastError() == ERROR_BROKEN_PIPE;  // the writing end of a pipe has closed
    if (got == 0) return true;
    crc = KestCrc(buffer.data(), static_cast<int>(got), crc);
  }
}

// Prints the checksum of one file, or reports why there is none.
int crcFile(Call const& call, std::string const& name, std::vector<unsigned char>& buffer) {
  bool const standardInput = name == "-";
  SystemError error;
  HANDLE const file =
      standardInput
          ? GetStdHandle(STD_INPUT_HANDLE)
          : KestFileOpen(name.c_str(), GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &error.code, &error.text);
  if (file == INVALID_HANDLE_VALUE || file == nullptr) return call.fail(name, error);

  unsigned long crc = 0;
  bool const read = crcOfStream(file, buffer, crc);
  DWORD const readError = GetLastError();
  if (!standardInput) CloseHandle(file);
  if (!read) return call.fail(name + ": read failed", SystemError{readError, nullptr});
  std::printf("%08lx  %s\n", crc, name.c_str());
  return kExitOk;
}

int crcFiles(Call& call) {
  Args const& args = call.operands();
  if (args.empty()) return call.usage();
  std::vector<unsigned char> buffer(kCrcPieceSize);
  int status = kExitOk;
  for (std::string const& name : args) {
    if (crcFile(call, name, buffer) != kExitOk) status = kExitFailed;
  }
  return status;
}

// ---- kest gcd, kest lcm -----------------------------------------------------------------

// Whole numbers go to the integer form, anything else to the double form.
int printIntOrDouble(Call const& call, long (*intForm)(long, long),
                     double (*doubleForm)(double, double)) {
  Args const& args = call.operands();
  if (args.size() != 2) return call.usage();
  long a = 0, b = 0;
  if (parseLong(args[0], a) && parseLong(args[1], b)) {
    std::printf("%ld\n", intForm(a, b));
    return kExitOk;
  }
  double x = 0, y = 0;
  if (!parseDouble(args[0], x) || !parseDouble(args[1], y)) return call.usage();
  std::printf("%s\n", helpers::shortestText(doubleForm(x, y)).c_str());
  return kExitOk;
}

int gcd(Call& call) { return printIntOrDouble(call, __KestGcdl, __KestGcdd); }
int lcm(Call& call) { return printIntOrDouble(call, __KestLcml, __KestLcmd); }

// ---- kest midi --------------------------------------------------------------------------

// Without an output port the sequencer may take a play command and never finish it.
bool haveMidiOutput() { return midiOutGetNumDevs() > 0; }

int playMidi(Call& call) {
  Args const& args = call.operands();
  if (args.size() != 1) return call.usage();
  if (!haveMidiOutput()) return call.fail("no MIDI output device");
  NoticeWindow window;
  if (!window.handle()) return call.fail("cannot create the notice window");
  if (!KestPlayMidi(window.handle(), args[0].c_str())) return call.fail("cannot play " + args[0]);
  WPARAM const notice = window.wait(INFINITE);
  KestStopMidi(window.handle());
  if (notice != MCI_NOTIFY_SUCCESSFUL)
    return call.fail(std::string("playing ended: ") + noticeName(notice));
  std::printf("played %s\n", args[0].c_str());
  return kExitOk;
}

// ---- kest key ---------------------------------------------------------------------------

bool parseVirtualKey(std::string const& text, long& key) {
  if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
    key = std::toupper(static_cast<unsigned char>(text[0]));
    return true;
  }
  return parseLong(text, key) && key > 0 && key < 256;
}

int keyState(Call& call) {
  Args const& args = call.operands();
  long key = 0;
  if (args.size() != 1 || !parseVirtualKey(args[0], key)) return call.usage();
  std::printf("%s\n", KestIsKeyDown(static_cast<int>(key)) ? "down" : "up");
  return kExitOk;
}

// ---- Tour -------------------------------------------------------------------------------

void tourCrc(Tour& tour) {
  tour.show("KestCrc(\"123456789\", 0) -> %08lx", KestCrc("123456789", 0));
  tour.show("KestCrc(\"abc\", 0) -> %08lx", KestCrc("abc", 0));
  unsigned long const first = KestCrc("12345", 0);
  tour.show("KestCrc(\"6789\", KestCrc(\"12345\", 0) = %08lx) -> %08lx", first,
            KestCrc("6789", first));
  std::vector<unsigned char> data(1 << 20);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + 3);
  unsigned long const whole = KestCrc(data.data(), static_cast<int>(data.size()), 0);
  unsigned long pieces = 0;
  for (std::size_t done = 0; done < data.size(); done += 1000) {
    int const piece = static_cast<int>(std::min<std::size_t>(1000, data.size() - done));
    pieces = KestCrc(data.data() + done, piece, pieces);
  }
  tour.show("1 MiB at once -> %08lx, in pieces of 1000 bytes -> %08lx", whole, pieces);
  tour.show("KestCrc(data, -5, 0x1234) -> %lx (nothing read)", KestCrc(data.data(), -5, 0x1234));
}

void tourGcdLcm(Tour& tour) {
  int const pairs[][2] = {{12, 18}, {-4, 6},        {4, -6},      {-6, 0},
                          {0, 0},   {65536, 65537}, {INT_MIN, -1}};
  for (auto const& pair : pairs)
    tour.show("__KestGcdi(%d, %d) -> %d, __KestLcmi -> %d", pair[0], pair[1],
              __KestGcdi(pair[0], pair[1]), __KestLcmi(pair[0], pair[1]));
  double const doubles[][2] = {{1.5, 1.0}, {0.3, 0.1}, {-4.0, 6.0}, {1e-17, 3.0}};
  for (auto const& pair : doubles)
    tour.show("__KestGcdd(%g, %g) -> %s, __KestLcmd -> %s", pair[0], pair[1],
              helpers::shortestText(__KestGcdd(pair[0], pair[1])).c_str(),
              helpers::shortestText(__KestLcmd(pair[0], pair[1])).c_str());
}

// Three notes (C, E, G), a sixteenth each at 120 beats a minute: about 0.4 s.
unsigned char const kTourTune[] = {
    'M', 'T',  'h',  'd', 0,    0,    0,    6,
    0,   0,    0,    1,   0,    96,              // format 0, one track, 96 ticks a beat
    'M', 'T',  'r',  'k', 0,    0,    0,    35,  // the track, 35 bytes
    0,   0xFF, 0x51, 3,   0x07, 0xA1, 0x20,      // tempo: 500000 us a beat
    0,   0x90, 60,   64,  24,   0x80, 60,   0,   // C
    0,   0x90, 64,   64,  24,   0x80, 64,   0,   // E
    0,   0x90, 67,   64,  24,   0x80, 67,   0,   // G
    0,   0xFF, 0x2F, 0,                          // end of track
};
static_assert(sizeof kTourTune == 14 + 8 + 35);

constexpr DWORD kTourNoticeTimeoutMs = 5000;

void tourMidiPlayback(Tour& tour, NoticeWindow& window, std::string const& tune) {
  HWND const handle = window.handle();
  tour.show("KestPlayMidi(tune.mid) -> %d", KestPlayMidi(handle, tune.c_str()));
  tour.show("  notice: %s", noticeName(window.wait(kTourNoticeTimeoutMs)));
  tour.show("KestReplayMidi -> %d", KestReplayMidi(handle));
  tour.show("KestPauseMidi -> %d", KestPauseMidi(handle));
  tour.show("  notice: %s (the play was cut short)", noticeName(window.wait(kTourNoticeTimeoutMs)));
  tour.show("KestResumeMidi -> %d", KestResumeMidi(handle));
  tour.show("  notice: %s", noticeName(window.wait(kTourNoticeTimeoutMs)));
  tour.show("KestStopMidi -> %d", KestStopMidi(handle));
  tour.show("KestReplayMidi after stop -> %d", KestReplayMidi(handle));
}

void tourMidi(Tour& tour) {
  std::string const tune = tour.path("tune.mid");
  void* file = KestFileCreate(tune.c_str(), GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0,
                              nullptr, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    tour.show("cannot write tune.mid");
    return;
  }
  KestFileWrite(file, const_cast<unsigned char*>(kTourTune), sizeof kTourTune, nullptr, nullptr);
  CloseHandle(file);

  NoticeWindow window;
  HWND const handle = window.handle();
  tour.show("KestStopMidi with nothing open -> %d", KestStopMidi(handle));
  tour.show("KestPauseMidi with nothing open -> %d", KestPauseMidi(handle));
  tour.show("KestPlayMidi(missing.mid) -> %d",
            KestPlayMidi(handle, tour.path("missing.mid").c_str()));
  if (haveMidiOutput())
    tourMidiPlayback(tour, window, tune);
  else
    tour.show("no MIDI output device: nothing to play through");
}

void tourKeys(Tour& tour) {
  tour.show("KestIsKeyDown(VK_SHIFT) -> %d", KestIsKeyDown(VK_SHIFT));
  tour.show("KestIsKeyDown(VK_CAPITAL) -> %d (Caps Lock's toggle does not count)",
            KestIsKeyDown(VK_CAPITAL));
}

RegisterCommand const registerCrc({"crc", "print the CRC-32 of files",
                                   "FILE...\n"
                                   "Prints each FILE's CRC-32 as eight hex digits, then its "
                                   "name. - reads standard input.",
                                   crcFiles});
RegisterCommand const registerGcd(
    {"gcd", "print the greatest common divisor of two numbers",
     "A B\n"
     "Whole numbers go to the library's int form (2 for -4 6), others to its double form (6 "
     "for -4.0 6).",
     gcd});
RegisterCommand const registerLcm(
    {"lcm", "print the least common multiple of two numbers",
     "A B\n"
     "Whole numbers go to the library's int form (0 when the result does not fit), others to "
     "its double form.",
     lcm});
RegisterCommand const registerMidi({"midi", "play a MIDI file to its end",
                                    "FILE\n"
                                    "Waits for the completion notice; fails when playing ends "
                                    "any other way.",
                                    playMidi});
RegisterCommand const registerKey({"key", "say whether a key is down",
                                   "VK\n"
                                   "VK is a virtual-key code (65 or 0x41), a letter or a digit. "
                                   "Prints down or up, as this program's thread sees the key.",
                                   keyState});
RegisterTourSection const registerCrcTour({800, "CRC-32", tourCrc});
RegisterTourSection const registerGcdTour({810, "GCD and LCM", tourGcdLcm});
RegisterTourSection const registerMidiTour({820, "MIDI playback", tourMidi});
RegisterTourSection const registerKeyTour({830, "Key state", tourKeys});

}  // namespace
}  // namespace kest::cli
