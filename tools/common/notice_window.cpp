#include "common/notice_window.h"

// mmsystem.h needs windows.h before it.
#include <mmsystem.h>

namespace kest::helpers {

NoticeWindow::NoticeWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = receive;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "KestNoticeWindow";
  RegisterClassA(&windowClass);  // fails harmlessly when already registered
  handle_ = CreateWindowA(windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                          nullptr, nullptr, windowClass.hInstance, nullptr);
  if (handle_) SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

NoticeWindow::~NoticeWindow() {
  if (handle_) DestroyWindow(handle_);
}

WPARAM NoticeWindow::wait(DWORD timeoutMs) {
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

LRESULT CALLBACK NoticeWindow::receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == MM_MCINOTIFY && self) self->notices_.push_back(wParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

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

}  // namespace kest::helpers
