// Greatest common divisor and least common multiple: the signs Euclid's steps give, and
// defined results where 32-bit arithmetic would overflow.

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

#include "kest011/util.h"

namespace {

struct IntCase {
  int a, b, gcd, lcm;
};

IntCase const kIntCases[] = {
    {12, 18, 6, 36},
    {-4, 6, 2, -12},
    {4, -6, -2, 12},
    {4, 6, 2, 12},
    {-6, 0, -6, 0},
    {0, 5, 5, 0},
    {5, 0, 5, 0},
    {0, 0, 0, 0},
    {7, 7, 7, 7},
    {-7, -7, -7, -7},
    {17, 5, 1, 85},
    // A remainder by -1 is 0, also for the most negative value.
    {INT_MIN, -1, -1, INT_MIN},
    {-1, INT_MIN, -1, INT_MIN},
    {INT_MIN, 0, INT_MIN, 0},
    {0, INT_MIN, INT_MIN, 0},
    {INT_MIN, INT_MIN, INT_MIN, INT_MIN},
    {INT_MIN, 1, 1, INT_MIN},
    {INT_MAX, -1, -1, INT_MAX},
    // Products beyond 32 bits: the result when it fits, else 0.
    {65536, 65536, 65536, 65536},
    {46341, 46341, 46341, 46341},
    {65536, 65537, 1, 0},
    {INT_MAX, 2, 1, 0},
    {INT_MIN, 3, 1, 0},
    {INT_MAX, INT_MAX - 1, 1, 0},
};

TEST(GcdLcm, IntAndLongForms) {
  for (IntCase const& c : kIntCases) {
    SCOPED_TRACE(::testing::Message() << "(" << c.a << ", " << c.b << ")");
    EXPECT_EQ(__KestGcdi(c.a, c.b), c.gcd);
    EXPECT_EQ(__KestLcmi(c.a, c.b), c.lcm);
    EXPECT_EQ(__KestGcdl(c.a, c.b), c.gcd);
    EXPECT_EQ(__KestLcml(c.a, c.b), c.lcm);
  }
}

struct DoubleCase {
  double a, b, gcd, lcm;
};

DoubleCase const kDoubleCases[] = {
    {0.5, 0.25, 0.25, 0.5},
    {1.5, 1.0, 0.5, 3.0},
    {12.0, 18.0, 6.0, 36.0},
    {4.0, 6.0, 2.0, 12.0},
    {0.3, 0.1, 0.09999999999999998, 0.30000000000000004},
    // The step's negative remainder, or a negative second value, ends the search.
    {-4.0, 6.0, 6.0, -4.0},
    {4.0, -6.0, 4.0, -6.0},
    // A second value at or below DBL_EPSILON counts as zero.
    {1e-17, 3.0, 3.0, 1e-17},
    {3.0, 1e-17, 3.0, 1e-17},
    {3.0, DBL_EPSILON, 3.0, DBL_EPSILON},
    {2.5, 0.0, 2.5, 0.0},
    {0.0, 0.0, 0.0, 0.0},
};

TEST(GcdLcm, DoubleForms) {
  for (DoubleCase const& c : kDoubleCases) {
    SCOPED_TRACE(::testing::Message() << "(" << c.a << ", " << c.b << ")");
    EXPECT_EQ(__KestGcdd(c.a, c.b), c.gcd);
    EXPECT_EQ(__KestLcmd(c.a, c.b), c.lcm);
  }
}

TEST(GcdLcm, DoubleFormsJustAboveTheToleranceKeepGoing) {
  double const justAbove = std::nextafter(DBL_EPSILON, 1.0);
  EXPECT_EQ(__KestGcdd(2.0 * justAbove, justAbove), justAbove);
}

TEST(GcdLcm, NotANumberAsSecondValueEndsAtTheFirst) {
  double const nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(__KestGcdd(3.0, nan), 3.0);
  // Its remainder is NaN, which ends the next step at 1.0.
  EXPECT_EQ(__KestGcdd(nan, 1.0), 1.0);
}

}  // namespace
