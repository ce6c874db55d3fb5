// The toolkit every family builds on: text in fixed buffers, at a text of exactly the
// buffer's capacity and one unit more, and scoped owners. Cut text is checked through the
// angle, program, version and MIDI suites; the shared holder, by the lifetime table. Then the
// error convention every wrapper follows, seen through the file family (a missing file and an
// invalid handle fail with different codes), and the module the library loads resources from.

#include <gtest/gtest.h>
#include <limits.h>
#include <math.h>
#include <windows.h>

#include <string>
#include <tuple>

#include "common/system_text.h"
#include "frame/bounded_text.h"
#include "frame/decimal_digits.h"
#include "frame/scoped_resource.h"
#include "kest011/files.h"
#include "kest011/frame.h"
#include "support/temp_folder.h"

namespace {

using kest::helpers::systemText;

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

class ErrorReport : public ::testing::Test {
 protected:
  kest::test::TempFolder folder_;
  std::string const missing_ = folder_.file("missing");
  unsigned long code_ = 99;
  char* text_ = reinterpret_cast<char*>(0x1234);  // stale
};

// Failures share one buffer, which a call that asks for the code alone leaves as it was.
TEST_F(ErrorReport, TwoFailuresShareOneBufferHoldingTheSecondText) {
  char* first = nullptr;
  EXPECT_EQ(KestFileSize(missing_.c_str(), &code_, &first), -1);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(KestFileSeek(INVALID_HANDLE_VALUE, 0, &code_, nullptr), 0);
  EXPECT_EQ(code_, static_cast<unsigned long>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(std::string(first ? first : ""), systemText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(KestFileSeek(INVALID_HANDLE_VALUE, 0, &code_, &text_), 0);
  EXPECT_EQ(first, text_);
  EXPECT_EQ(std::string(text_ ? text_ : ""), systemText(ERROR_INVALID_HANDLE));
}

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

// The exact decimal conversion at its hard cases: ties at every place on either side of the
// point, decided on the exact binary value; carries that add a digit; the double range's ends.
char const kDblMax[] =
    "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955"
    "86327668781715404589535143824642343213268894641827684675467035375169860499105765512820762"
    "45490090389328944075868508455133942304583236903222948165808559332123348274797826204144723"
    "168738177180919299881250404026184124858368";

std::tuple<double, int, char const*, int> const kRows[] = {
    // Ties go to the even neighbour, 0 included, on either side of the point.
    {0.5, 0, "", 0},
    {1.5, 0, "2", 1},
    {2.5, 0, "2", 1},
    {-2.5, 0, "2", 1},
    {0.375, 2, "38", 0},
    {0.0625, 3, "62", -1},
    {250.0, -2, "2", 3},
    {350.0, -2, "4", 3},
    // 149.5 is rounded once (149.5 to 150 to 200 would be twice); 2.675 lies just below the
    // tie, 0.0005 just above; 999.5 carries into a new digit.
    {50.0, -2, "", 2},
    {149.5, -2, "1", 3},
    {2.675, 2, "267", 1},
    {0.0005, 3, "1", -2},
    {999.5, 0, "1000", 4},
    {0.1, 30, "100000000000000005551115123126", 0},
    {1e23, 0, "99999999999999991611392", 23},
    {0.000009999999999999999, 20, "1000000000000000", -4},
    // The ends of the range, and values with no digits.
    {0x1p-1074, 330, "4940656", -323},
    {0x1p-1074, 324, "5", -323},
    {0x1p-1074, 323, "", -323},
    {DBL_MAX, 0, kDblMax, 309},
    {DBL_MAX, -308, "2", 309},
    {DBL_MAX, -309, "", 309},
    {-0.0, 3, "", -3},
    {INFINITY, 2, "", -2},
    {NAN, 2, "", -2},
    {0.5, INT_MIN, "", kest::kMaxDecimalPlaces},
};

TEST(DecimalDigits, RoundHalfToEvenOnTheExactBinaryValue) {
  kest::DecimalDigits out;
  for (auto const& [value, places, digits, point] : kRows) {
    kest::decimalDigits(value, places, out);
    EXPECT_STREQ(out.digits, digits) << value << " at " << places;
    EXPECT_EQ(out.point, point) << value << " at " << places;
  }
}

}  // namespace
