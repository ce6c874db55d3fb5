// The toolkit every family builds on: text in fixed buffers, at a text of exactly the
// buffer's capacity and one unit more, and scoped owners. Cut text is checked through the
// angle, program, version and MIDI suites; the shared holder, by the lifetime table.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "frame/bounded_text.h"
#include "frame/scoped_resource.h"

namespace {

std::string const kFour = "abcd";   // fills a char[5] exactly
std::string const kFive = "abcde";  // one more than a char[5] holds

TEST(BoundedText, RefusingCallsTakeExactlyTheCapacityAndLeaveTheBufferOnRefusal) {
  char buffer[5] = "old";
  EXPECT_TRUE(kest::fits(buffer, kFour.c_str()));
  EXPECT_FALSE(kest::fits(buffer, kFive.c_str()));
  EXPECT_FALSE(kest::copyIfFits(buffer, kFive.c_str()));
  EXPECT_STREQ(buffer, "old");
  EXPECT_TRUE(kest::copyIfFits(buffer, kFour.c_str()));
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_FALSE(kest::join(buffer, "ab", "cde"));
  EXPECT_STREQ(buffer, "abcd");
  EXPECT_TRUE(kest::join(buffer, "a", "", "bcd"));
  EXPECT_STREQ(buffer, "abcd");
}

bool isOpen(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != 0;
}

TEST(ScopedOwners, CloseOnceWhateverTheyAreMovedThrough) {
  HANDLE const event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  {
    kest::KernelHandle first(event);
    kest::KernelHandle second(static_cast<kest::KernelHandle&&>(first));
    EXPECT_FALSE(first.valid());
    first = static_cast<kest::KernelHandle&&>(second);
    EXPECT_EQ(first.get(), event);
    EXPECT_TRUE(isOpen(event));
  }
  EXPECT_FALSE(isOpen(event));
}

TEST(ScopedOwners, AssignmentOntoAHeldValueClosesItAtOnceAndKeepsTheNewOneOpen) {
  HANDLE const old = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE const replacement = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  kest::KernelHandle owner(old);
  owner = kest::KernelHandle(replacement);
  EXPECT_FALSE(isOpen(old));
  EXPECT_TRUE(isOpen(replacement));
}

}  // namespace
