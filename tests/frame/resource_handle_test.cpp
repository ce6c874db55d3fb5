// The module the library loads its resources from.

#include <gtest/gtest.h>
#include <windows.h>

#include "kest011/frame.h"

namespace {

DWORD WINAPI doNothing(void*) { return 0; }

TEST(ResourceHandle, IsTheLibrarysOwnModuleAndAReplacementHoldsUntilAThreadStartsOrEnds) {
  HMODULE const library = GetModuleHandleA("kest011.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_EQ(KestGetResourceHandle(), library);
  KestSetResourceHandle(nullptr);
  EXPECT_EQ(KestGetResourceHandle(), nullptr);
  HANDLE const thread = CreateThread(nullptr, 0, doNothing, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(KestGetResourceHandle(), library);
}

}  // namespace
