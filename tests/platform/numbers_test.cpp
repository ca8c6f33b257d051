#include <gtest/gtest.h>

#include "platform/numbers.h"

using namespace quor;

TEST(Numbers, RoundingTiesGoToEven) {
    EXPECT_EQ(roundInt(0.5), 0);
    EXPECT_EQ(roundInt(1.5), 2);
    EXPECT_EQ(roundInt(2.5), 2);
    EXPECT_EQ(roundInt(-0.5), 0);
    EXPECT_EQ(roundInt(-1.5), -2);
    EXPECT_EQ(roundInt(2.4999), 2);
    EXPECT_EQ(truncInt(-2.7), -2);
    EXPECT_EQ(halfTowardZero(-3), -1);
}
