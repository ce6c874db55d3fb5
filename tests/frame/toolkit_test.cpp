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

// Moved from, an owner holds nothing; assigned onto, it closes what it held at once.
TEST(ScopedOwners, CloseOnceWhateverTheyAreMovedThroughAndAssignmentClosesTheHeldValue) {
  HANDLE const event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE const old = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  {
    kest::KernelHandle first(event), held(old);
    kest::KernelHandle second(static_cast<kest::KernelHandle&&>(first));
    EXPECT_FALSE(first.valid());
    held = static_cast<kest::KernelHandle&&>(second);
    EXPECT_TRUE(held.get() == event && isOpen(event) && !isOpen(old) && !second.valid());
  }
  EXPECT_FALSE(isOpen(event));
}

}  // namespace
