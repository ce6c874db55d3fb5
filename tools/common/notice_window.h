#pragma once
// A hidden window that collects the MCI notices (MM_MCINOTIFY) sent to it: what MIDI playback
// through the library reports its end with.

#include <windows.h>

#include <deque>

namespace kest::helpers {

class NoticeWindow {
 public:
  NoticeWindow();
  ~NoticeWindow();
  NoticeWindow(NoticeWindow const&) = delete;
  NoticeWindow& operator=(NoticeWindow const&) = delete;

  // Null when the window could not be made.
  HWND handle() const { return handle_; }

  // The code of the oldest notice not yet taken (MCI_NOTIFY_SUCCESSFUL, ..._ABORTED, ...),
  // waiting for one up to `timeoutMs` (INFINITE: without limit); 0 when none came.
  WPARAM wait(DWORD timeoutMs);

 private:
  static LRESULT CALLBACK receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  std::deque<WPARAM> notices_;
};

// "successful", "superseded", "aborted", "failure", or "none" for any other code.
char const* noticeName(WPARAM notice);

}  // namespace kest::helpers
