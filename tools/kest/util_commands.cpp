// kest subcommands and tour sections of the utilities: CRC-32, GCD and LCM, MIDI, keys.

#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <vector>

#include "kest/command.h"
#include "kest011/files.h"
#include "kest011/util.h"

namespace kest::cli {
namespace {

// ---- kest crc ---------------------------------------------------------------------------

// Pieces of this size are read and checksummed in turn, the checksum of each continuing
// from the one before.
constexpr DWORD kCrcPieceSize = 1 << 20;

int crcFiles(Args const& args);
Command const kCrc{"crc", "FILE... (- for standard input)",
                   "print the CRC-32 of each FILE as eight hex digits and its name", crcFiles};

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
int crcFile(std::string const& name, std::vector<unsigned char>& buffer) {
  bool const standardInput = name == "-";
  unsigned long code = 0;
  char* text = nullptr;
  HANDLE const file =
      standardInput
          ? GetStdHandle(STD_INPUT_HANDLE)
          : KestFileOpen(name.c_str(), GENERIC_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &code, &text);
  if (file == INVALID_HANDLE_VALUE || file == nullptr)
    return fail(kCrc.name, name + " (code " + std::to_string(code) + ")", text);

  unsigned long crc = 0;
  bool const read = crcOfStream(file, buffer, crc);
  DWORD const readError = GetLastError();
  if (!standardInput) CloseHandle(file);
  if (!read)
    return fail(kCrc.name, name + ": read failed (code " + std::to_string(readError) + ")");
  std::printf("%08lx  %s\n", crc, name.c_str());
  return kExitOk;
}

int crcFiles(Args const& args) {
  if (args.empty()) return usage(kCrc);
  std::vector<unsigned char> buffer(kCrcPieceSize);
  int status = kExitOk;
  for (std::string const& name : args) {
    if (crcFile(name, buffer) != kExitOk) status = kExitFailed;
  }
  return status;
}

// ---- kest gcd, kest lcm -----------------------------------------------------------------

// The fewest digits that read back as `value`.
std::string shortestText(double value) {
  char text[32];
  for (int digits = 1; digits <= 17; ++digits) {
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

// Whole numbers go to the integer form, anything else to the double form.
int printIntOrDouble(Command const& command, Args const& args, long (*intForm)(long, long),
                     double (*doubleForm)(double, double)) {
  if (args.size() != 2) return usage(command);
  long a = 0, b = 0;
  if (parseLong(args[0], a) && parseLong(args[1], b)) {
    std::printf("%ld\n", intForm(a, b));
    return kExitOk;
  }
  double x = 0, y = 0;
  if (!parseDouble(args[0], x) || !parseDouble(args[1], y)) return usage(command);
  std::printf("%s\n", shortestText(doubleForm(x, y)).c_str());
  return kExitOk;
}

int gcd(Args const& args);
int lcm(Args const& args);
Command const kGcd{"gcd", "A B",
                   "greatest common divisor: the int form for whole numbers (2 for -4 6), the "
                   "double form otherwise (6 for -4.0 6)",
                   gcd};
Command const kLcm{"lcm", "A B",
                   "least common multiple: the int form for whole numbers (0 when it does not "
                   "fit), the double form otherwise",
                   lcm};

int gcd(Args const& args) { return printIntOrDouble(kGcd, args, __KestGcdl, __KestGcdd); }
int lcm(Args const& args) { return printIntOrDouble(kLcm, args, __KestLcml, __KestLcmd); }

// ---- kest midi --------------------------------------------------------------------------

// A hidden window that collects the MCI notices sent to it.
class NoticeWindow {
 public:
  NoticeWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = receive;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestNoticeWindow";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    handle_ = CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                            nullptr, nullptr, windowClass.hInstance, nullptr);
    if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NoticeWindow() {
    if (handle_) DestroyWindow(handle_);
  }
  NoticeWindow(NoticeWindow const&) = delete;
  NoticeWindow& operator=(NoticeWindow const&) = delete;

  HWND handle() const { return handle_; }

  // The code of the next MM_MCINOTIFY (MCI_NOTIFY_SUCCESSFUL, ..._ABORTED, ...), or 0 when
  // none comes within `timeoutMs`.
  WPARAM wait(DWORD timeoutMs) {
    DWORD const start = GetTickCount();
    while (notices_.empty()) {
      DWORD const waited = GetTickCount() - start;
      if (timeoutMs != INFINITE && waited >= timeoutMs) return 0;
      DWORD const left = timeoutMs == INFINITE ? INFINITE : timeoutMs - waited;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    WPARAM const notice = notices_.front();
    notices_.pop_front();
    return notice;
  }

 private:
  static LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == MM_MCINOTIFY && self) self->notices_.push_back(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND handle_ = nullptr;
  std::deque<WPARAM> notices_;
};

char const* noticeName(WPARAM notice) {
  switch (notice) {
    case MCI_NOTIFY_SUCCESSFUL:
      return "successful";
    case MCI_NOTIFY_SUPERSEDED:
      return "superseded";
    case MCI_NOTIFY_ABORTED:
      return "aborted";
    case MCI_NOTIFY_FAILURE:
      return "failure";
    default:
      return "none";
  }
}

// Without an output port the sequencer may take a play command and never finish it.
bool haveMidiOutput() { return midiOutGetNumDevs() > 0; }

int playMidi(Args const& args);
Command const kMidi{"midi", "FILE",
                    "play the MIDI file FILE to its end, waiting for the completion notice",
                    playMidi};

int playMidi(Args const& args) {
  if (args.size() != 1) return usage(kMidi);
  if (!haveMidiOutput()) return fail(kMidi.name, "no MIDI output device");
  NoticeWindow window;
  if (!window.handle()) return fail(kMidi.name, "cannot create the notice window");
  if (!KestPlayMidi(window.handle(), args[0].c_str()))
    return fail(kMidi.name, "cannot play " + args[0]);
  WPARAM const notice = window.wait(INFINITE);
  KestStopMidi(window.handle());
  if (notice != MCI_NOTIFY_SUCCESSFUL)
    return fail(kMidi.name, std::string("playing ended: ") + noticeName(notice));
  std::printf("played %s\n", args[0].c_str());
  return kExitOk;
}

// ---- kest key ---------------------------------------------------------------------------

int keyState(Args const& args);
Command const kKey{"key", "VK (a virtual-key code, or a letter or digit)",
                   "print whether the key is down for this program's thread", keyState};

bool parseVirtualKey(std::string const& text, long& key) {
  if (text.size() == 1 && std::isalnum(static_cast<unsigned char>(text[0]))) {
    key = std::toupper(static_cast<unsigned char>(text[0]));
    return true;
  }
  return parseLong(text, key) && key > 0 && key < 256;
}

int keyState(Args const& args) {
  long key = 0;
  if (args.size() != 1 || !parseVirtualKey(args[0], key)) return usage(kKey);
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
              shortestText(__KestGcdd(pair[0], pair[1])).c_str(),
              shortestText(__KestLcmd(pair[0], pair[1])).c_str());
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

RegisterCommand const registerCrc(kCrc);
RegisterCommand const registerGcd(kGcd);
RegisterCommand const registerLcm(kLcm);
RegisterCommand const registerMidi(kMidi);
RegisterCommand const registerKey(kKey);
RegisterTourSection const registerCrcTour({800, "CRC-32", tourCrc});
RegisterTourSection const registerGcdTour({810, "GCD and LCM", tourGcdLcm});
RegisterTourSection const registerMidiTour({820, "MIDI playback", tourMidi});
RegisterTourSection const registerKeyTour({830, "Key state", tourKeys});

}  // namespace
}  // namespace kest::cli
