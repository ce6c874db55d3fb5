#include <gtest/gtest.h>
#include <windows.h>

#include "kest011/frame.h"

namespace {

HINSTANCE libraryModule() { return GetModuleHandleA("kest011.dll"); }

DWORD WINAPI doNothing(void*) { return 0; }

void startAndEndThread() {
  HANDLE const thread = CreateThread(nullptr, 0, doNothing, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

TEST(ResourceHandle, IsTheLibrarysOwnModuleAfterLoad) {
  ASSERT_NE(libraryModule(), nullptr);
  EXPECT_EQ(KestGetResourceHandle(), libraryModule());
}

TEST(ResourceHandle, ReplacementHoldsUntilAThreadStartsOrEnds) {
  HINSTANCE const other = GetModuleHandleA(nullptr);
  KestSetResourceHandle(other);
  EXPECT_EQ(KestGetResourceHandle(), other);
  KestSetResourceHandle(nullptr);
  EXPECT_EQ(KestGetResourceHandle(), nullptr);

  KestSetResourceHandle(other);
  startAndEndThread();
  EXPECT_EQ(KestGetResourceHandle(), libraryModule());
}

}  // namespace
