// The module the library loads its resources from.

#include <gtest/gtest.h>
#include <windows.h>

#include "kest011/frame.h"

namespace {

DWORD WINAPI doNothing(void*) { return 0; }

TEST(ResourceHandle, IsTheLibrarysOwnModuleAfterLoad) {
  ASSERT_NE(GetModuleHandleA("kest011.dll"), nullptr);
  EXPECT_EQ(KestGetResourceHandle(), GetModuleHandleA("kest011.dll"));
}

TEST(ResourceHandle, ReplacementHoldsUntilAThreadStartsOrEnds) {
  for (HINSTANCE replacement : {HINSTANCE(nullptr), GetModuleHandleA(nullptr)}) {
    KestSetResourceHandle(replacement);
    EXPECT_EQ(KestGetResourceHandle(), replacement);
  }
  HANDLE const thread = CreateThread(nullptr, 0, doNothing, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(KestGetResourceHandle(), GetModuleHandleA("kest011.dll"));
}

}  // namespace
