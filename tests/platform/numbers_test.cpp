#include <gtest/gtest.h>

#include "platform/error.h"
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

TEST(Numbers, FloatTextTruncatesTowardZero) {
    EXPECT_EQ(floatTextToInt("12,7"), 12);
    EXPECT_EQ(floatTextToInt("12.7"), 12);
    EXPECT_EQ(floatTextToInt("-0,5"), 0);
    EXPECT_EQ(floatTextToInt("-36,9"), -36);
    EXPECT_EQ(floatTextToInt("1e2"), 100);
    EXPECT_EQ(floatTextToInt("  +2.5E+1 "), 25);
    EXPECT_EQ(floatTextToInt("36."), 36);
    EXPECT_EQ(floatTextToInt(".9"), 0);
    EXPECT_EQ(floatTextToInt("1e-999"), 0);
    EXPECT_EQ(floatTextToInt("2147483647.9"), 2147483647);
    EXPECT_EQ(floatTextToInt("-2147483648"), -2147483647 - 1);
}

TEST(Numbers, FloatTextRejectsAnythingElseWithTheExactMessage) {
    auto messageOf = [](const char* text) -> std::string {
        try {
            floatTextToInt(text);
        } catch (const Error& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(messageOf("abc"), "'abc' is not a valid floating point value");
    EXPECT_EQ(messageOf(""), "'' is not a valid floating point value");
    // The text is quoted after the comma became a point.
    EXPECT_EQ(messageOf("1,2,3"), "'1.2.3' is not a valid floating point value");
    for (const char* bad : {"   ", "-", ".", "1e", "1e+", "e5", "12a", "0x10", "$10", "1 2", "inf", "nan", "--1", "1.5.", "١"})
        EXPECT_NE(messageOf(bad).find("is not a valid floating point value"), std::string::npos) << bad;
}

TEST(Numbers, FloatTextBeyondThe32BitRangeIsAClearError) {
    for (const char* big : {"2147483648", "-2147483649", "1e10", "1e999", "-1e400", "0.001e400"})
        EXPECT_THROW(floatTextToInt(big), Error) << big;
    try {
        floatTextToInt("1e10");
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'1e10' is outside the range of a 32-bit integer");
    }
}

TEST(Numbers, FloatTextMessageShowsSettingsBytesReadably) {
    // "абв" in Windows-1251, the code page settings files are written in.
    try {
        floatTextToInt("\xE0\xE1\xE2");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'абв' is not a valid floating point value");
    }
    try {
        floatTextToInt("абв");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'абв' is not a valid floating point value");
    }
}

TEST(Numbers, IntegerTextTakesWholeNumbersOnly) {
    EXPECT_EQ(integerTextToInt("  42"), 42);
    EXPECT_EQ(integerTextToInt("+7"), 7);
    EXPECT_EQ(integerTextToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(integerTextToInt("2147483647"), INT32_MAX);
    for (const char* bad : {"", " ", "-", "4 ", "1.0", "2147483648", "-2147483649", "0x10", "12a"}) {
        try {
            integerTextToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid integer value");
        }
    }
}
