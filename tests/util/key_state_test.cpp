// Key state as the thread's message queue has it, with keys pressed through SendInput.

#include <gtest/gtest.h>
#include <windows.h>

#include "kest011/util.h"

namespace {

void sendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ASSERT_EQ(SendInput(1, &input, sizeof input), 1u);
}

// Lets the thread's queue take in the input sent so far.
void processInput() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

bool toggled(int key) { return (GetKeyState(key) & 1) != 0; }

TEST(KeyState, DownOnlyWhileHeldWhateverTheToggle) {
  // Keyboard input goes to the foreground window's thread: this one.
  HWND const window = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  SetForegroundWindow(window);
  SetFocus(window);
  processInput();

  for (int key : {VK_CAPITAL, int{'K'}, VK_SHIFT}) {
    SCOPED_TRACE(key);
    // Each press flips the toggle, so two rounds see both toggle states.
    for (int round = 0; round < 2; ++round) {
      bool const toggledBefore = toggled(key);
      sendKey(static_cast<WORD>(key), false);
      processInput();
      EXPECT_EQ(KestIsKeyDown(key), 1);
      sendKey(static_cast<WORD>(key), true);
      processInput();
      EXPECT_EQ(KestIsKeyDown(key), 0);
      EXPECT_NE(toggled(key), toggledBefore);
    }
  }
  DestroyWindow(window);
}

}  // namespace
