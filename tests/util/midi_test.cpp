// MIDI playback through the system's MCI sequencer, to a hidden window of the test that
// receives MM_MCINOTIFY in its message loop. The test machine's MIDI port is the null
// synthesizer of null_midi_driver.cpp.

#include <gtest/gtest.h>
#include <windows.h>
// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

#include <deque>
#include <string>

#include "kest011/util.h"
#include "support/temp_folder.h"

namespace {

using kest::test::TempFolder;

// A format-0 MIDI file of `notes` notes, `ticks` long each, at 96 ticks to a quarter note
// of half a second: about 5.2 ms a tick.
std::string midiPiece(int notes, int ticks) {
  std::string track;
  auto event = [&track](int delta, std::string const& bytes) {
    // Deltas here stay below 128, so one byte holds them.
    track += static_cast<char>(delta);
    track += bytes;
  };
  event(0, std::string("\xFF\x51\x03\x07\xA1\x20", 6));  // tempo: 500000 us a quarter
  for (int i = 0; i < notes; ++i) {
    char const key = static_cast<char>(60 + i % 12);
    event(0, std::string{'\x90', key, '\x40'});
    event(ticks, std::string{'\x80', key, '\x00'});
  }
  event(0, std::string("\xFF\x2F\x00", 3));  // end of track

  auto bigEndian32 = [](std::size_t value) {
    return std::string{static_cast<char>(value >> 24), static_cast<char>(value >> 16),
                       static_cast<char>(value >> 8), static_cast<char>(value)};
  };
  return std::string("MThd\0\0\0\6\0\0\0\1\0\x60", 14) + "MTrk" + bigEndian32(track.size()) + track;
}

constexpr DWORD kShortPieceMs = 2 * 20 * 500 / 96;  // midiPiece(2, 20)
constexpr DWORD kLongPieceMs = 6 * 25 * 500 / 96;   // midiPiece(6, 25)
constexpr DWORD kNoticeTimeoutMs = 5000;
constexpr WPARAM kNoNotice = 0;

std::deque<WPARAM> g_notices;

LRESULT CALLBACK recordNotices(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == MM_MCINOTIFY) g_notices.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// Notes the null synthesizer has received in this process, or -1 without it.
long notesStruck() {
  HMODULE const driver = GetModuleHandleA("kest_null_midi.dll");
  FARPROC const counter = driver ? GetProcAddress(driver, "NullMidiNoteOns") : nullptr;
  // The export returns a LONG; FARPROC's declared result type is wider.
  return counter ? static_cast<LONG>(counter()) : -1;
}

class Midi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(midiOutGetNumDevs(), 0u) << "no MIDI output port on this machine";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = recordNotices;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestMidiTest";
    RegisterClassA(&windowClass);
    window_ = CreateWindowA("KestMidiTest", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                            nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    g_notices.clear();
  }

  void TearDown() override {
    KestStopMidi(window_);
    if (window_) DestroyWindow(window_);
  }

  std::string writePiece(std::string const& name, int notes, int ticks) {
    return folder_.write(name, midiPiece(notes, ticks));
  }
  std::string shortPiece() { return writePiece("short.mid", 2, 20); }
  std::string longPiece() { return writePiece("long.mid", 6, 25); }

  // The next notice the window receives, or kNoNotice when none comes in time.
  WPARAM waitForNotice(DWORD timeoutMs = kNoticeTimeoutMs) {
    DWORD const start = GetTickCount();
    while (g_notices.empty()) {
      DWORD const waited = GetTickCount() - start;
      if (waited >= timeoutMs) return kNoNotice;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - waited, QS_ALLINPUT);
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    WPARAM const notice = g_notices.front();
    g_notices.pop_front();
    return notice;
  }

  TempFolder folder_;
  HWND window_ = nullptr;
};

TEST_F(Midi, PlayNotifiesTheWindowWhenThePieceHasPlayed) {
  std::string const piece = shortPiece();
  DWORD const start = GetTickCount();
  ASSERT_EQ(KestPlayMidi(window_, piece.c_str()), 1);
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  // Played in time, not skipped through.
  EXPECT_GE(GetTickCount() - start, kShortPieceMs / 2);
  EXPECT_EQ(notesStruck(), 2);
}

TEST_F(Midi, PauseResumeAndReplayNotifyAsThePieceStopsAndEnds) {
  std::string const piece = longPiece();
  ASSERT_EQ(KestPlayMidi(window_, piece.c_str()), 1);
  Sleep(100);
  EXPECT_EQ(KestPauseMidi(window_), 1);
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_ABORTED));
  EXPECT_EQ(KestResumeMidi(window_), 1);
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_EQ(KestReplayMidi(window_), 1);
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_EQ(notesStruck(), 12);
}

TEST_F(Midi, PlayingAnotherPieceClosesTheFirst) {
  std::string const first = longPiece();
  std::string const second = shortPiece();
  ASSERT_EQ(KestPlayMidi(window_, first.c_str()), 1);
  Sleep(50);
  DWORD const start = GetTickCount();
  ASSERT_EQ(KestPlayMidi(window_, second.c_str()), 1);
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_ABORTED));
  EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  EXPECT_LT(GetTickCount() - start, kLongPieceMs);
}

TEST_F(Midi, OnlyStopSucceedsWithNothingOpen) {
  auto expectNothingOpen = [this] {
    EXPECT_EQ(KestPauseMidi(window_), 0);
    EXPECT_EQ(KestResumeMidi(window_), 0);
    EXPECT_EQ(KestReplayMidi(window_), 0);
    EXPECT_EQ(KestStopMidi(window_), 1);
  };
  expectNothingOpen();
  std::string const piece = longPiece();
  ASSERT_EQ(KestPlayMidi(window_, piece.c_str()), 1);
  EXPECT_EQ(KestStopMidi(window_), 1);
  expectNothingOpen();
}

TEST_F(Midi, FilesTheSequencerCannotOpenGiveZeroAndLeaveNothingOpen) {
  std::string const notMidi = folder_.write("text.mid", "not a MIDI file at all");
  for (std::string const& name : {folder_.file("missing.mid"), notMidi}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(KestPlayMidi(window_, name.c_str()), 0);
    EXPECT_EQ(KestPauseMidi(window_), 0);
  }
  EXPECT_EQ(KestPlayMidi(window_, nullptr), 0);
}

TEST_F(Midi, NamesWithSpacesArePlayedQuotedOrAsGiven) {
  ASSERT_TRUE(CreateDirectoryA(folder_.file("My Music").c_str(), nullptr));
  std::string const piece = writePiece("My Music\\a tune.mid", 2, 20);
  for (std::string const& name : {piece, "\"" + piece + "\""}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(KestPlayMidi(window_, name.c_str()), 1);
    EXPECT_EQ(waitForNotice(), static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL));
  }
}

TEST_F(Midi, NamesTooLongForTheOpenCommandAreRefusedBeforeAnythingCloses) {
  // The command "open NAME type sequencer alias MUSIC" must fit in 260 characters.
  struct Case {
    std::size_t length;
    bool withSpace;
    bool sent;
  };
  Case const cases[] = {
      {227, false, true}, {228, false, false}, {225, true, true}, {226, true, false}};
  std::string const piece = longPiece();
  for (Case const& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.length << (c.withSpace ? " with a space" : ""));
    std::string name = "Z:\\no such folder\\";
    if (!c.withSpace) name = "Z:\\nosuchfolder\\";
    name.append(c.length - name.size(), 'x');
    ASSERT_EQ(KestPlayMidi(window_, piece.c_str()), 1);
    EXPECT_EQ(KestPlayMidi(window_, name.c_str()), 0);
    // A name that was sent closed the piece first; a refused one left it playing.
    EXPECT_EQ(KestPauseMidi(window_), c.sent ? 0 : 1);
  }
}

}  // namespace
