// The exact decimal conversion at its hard cases: ties at every place on either side of the
// point, decided on the exact binary value; carries that add a digit; the double range's ends.

#include "frame/decimal_digits.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <math.h>

#include <tuple>

namespace {

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
