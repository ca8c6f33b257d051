// Bracket finding and expansion in a line of text.

#include "engine/expr/brackets.h"
#include "expr_fixture.h"

namespace quor::test {
namespace {

const std::string kUndefined = "Переменная не определена: ";

TEST_F(ExprTest, BracketedExpressionsAreReplacedByTheirValues) {
    EXPECT_EQ(expand("Total [1+2] pcs"), "Total 3 pcs");
    EXPECT_EQ(expand("[1]-[2]"), "1-2");
    EXPECT_EQ(expand("Page [PAGE#] of [TOTALPAGES]"), "Page 3 of 7");
    EXPECT_EQ(expand("no brackets at all"), "no brackets at all");
    EXPECT_EQ(expand(""), "");
    EXPECT_EQ(expand("a ] b ]"), "a ] b ]");
}

TEST_F(ExprTest, UnclosedBracketTakesTheRestOfTheLineButItsLastCharacter) {
    EXPECT_EQ(errorOf("a[b"), kUndefined + "\"\"");
    EXPECT_EQ(expand("x[123"), "x12");
    EXPECT_EQ(expand("x[1+2)"), "x3");
}

TEST_F(ExprTest, FinalOpeningBracketStaysAndEmptyBracketsFail) {
    EXPECT_EQ(expand("abc["), "abc[");
    EXPECT_EQ(expand("["), "[");
    EXPECT_EQ(expand("[1] ["), "1 [");
    EXPECT_EQ(errorOf("[]"), kUndefined + "\"\"");
    EXPECT_EQ(errorOf("x [] y"), kUndefined + "\"\"");
}

TEST_F(ExprTest, QuotesHideBracketsAndInsertedValuesAreNotScannedAgain) {
    EXPECT_EQ(expand("x ['[x]'] y"), "x [x] y");
    EXPECT_EQ(expand("['a]b']"), "a]b");
    EXPECT_EQ(expand("['[PAGE#]' + '[']"), "[PAGE#][");
    // A double-quoted part hides the bracket as well; the name is unknown.
    EXPECT_EQ(errorOf("[\"a]b\"]"), kUndefined + "\"\"A]B\"\"");
}

TEST_F(ExprTest, NestedBracketsBelongToTheOuterExpression) {
    EXPECT_EQ(expand("[[PAGE#]]"), "3");
    EXPECT_EQ(expand("[[PAGE#] * 2]"), "6");
    EXPECT_EQ(expand("<[ [LINE#] + [[COLUMN#]] ]>"), "<6>");
}

TEST_F(ExprTest, BracketEndFinderCountsDepthOutsideQuotes) {
    bool closed = false;
    EXPECT_EQ(findBracketEnd("[a[b]c]d", 0, &closed), 6u);
    EXPECT_TRUE(closed);
    EXPECT_EQ(findBracketEnd("['a]'\"]\"]", 0, &closed), 8u);
    EXPECT_TRUE(closed);
    EXPECT_EQ(findBracketEnd("[abc", 0, &closed), 3u);
    EXPECT_FALSE(closed);
    EXPECT_EQ(findBracketEnd("x", 0, &closed), 0u);
    EXPECT_FALSE(closed);
    EXPECT_EQ(findBracketEnd("", 0, &closed), 0u);
}

TEST_F(ExprTest, DivisionByZeroInBracketsGivesZero) {
    EXPECT_EQ(expand("[1/0]"), "0");
    EXPECT_EQ(expand("[0/0]"), "0");
    EXPECT_EQ(expand("[5 MOD 0]"), "0");
}

TEST_F(ExprTest, PageNumberInAnyCase) {
    build.page = 3;
    EXPECT_EQ(expand("[PAGE#]"), "3");
    EXPECT_EQ(expand("[page#]"), "3");
    EXPECT_EQ(expand("[Page# + 1]"), "4");
}

TEST_F(ExprTest, UndefinedNamesAreReportedUpperCasedWhenWrittenInAnotherCase) {
    EXPECT_EQ(errorOf("[ABC]"), kUndefined + "\"ABC\"");
    EXPECT_EQ(errorOf("[abc]"), kUndefined + "\"ABC\"");
    EXPECT_EQ(errorOf("[1 + abc]"), kUndefined + "\"ABC\"");
    // Names of a DOS document are shown in its code page's letters.
    view.charset = 255;
    EXPECT_EQ(errorOf("[\x88\xa2\xa0\xad]"), kUndefined + "\"ИВАН\"");
}

TEST_F(ExprTest, NumberWithBothSeparatorsIsAConversionError) {
    EXPECT_EQ(errorOf("[1,000.50]"), "'1,000.50' is not a valid floating point value");
    EXPECT_EQ(errorOf("[12abc]"), "'12abc' is not a valid floating point value");
    EXPECT_EQ(expand("[1,5 * 2]"), "3");
}

TEST_F(ExprTest, BracketFormatSuffixOverridesTheViewFormat) {
    EXPECT_EQ(expand("[1 #N2.2]"), "1.00");
    EXPECT_EQ(expand("[1234.5 #N2,2]"), "1234,50");
    EXPECT_EQ(expand("[1234.567 #2.1]"), "1234.6");
    EXPECT_EQ(expand("[1234.5 #N#,##0.00]"), "1 234.50");
    EXPECT_EQ(expand("[1 #BNo;Yes] [0 #BNo;Yes]"), "Yes No");
    EXPECT_EQ(expand("[STRTODATE('08.12.2026') #Dyyyy-mm-dd]"), "2026-12-08");
    EXPECT_EQ(expand("[5 #]"), "5");
    EXPECT_EQ(expand("[7 #Q]"), "7");
}

TEST_F(ExprTest, HideZerosBlanksZeroValuesButNotStrings) {
    view.zeros = true;
    EXPECT_EQ(expand("<[0]>"), "<>");
    EXPECT_EQ(expand("<[1-1]>"), "<>");
    EXPECT_EQ(expand("<['0']>"), "<0>");
    EXPECT_EQ(expand("<[5]>"), "<5>");
    view.zeros = false;
    EXPECT_EQ(expand("<[0]>"), "<0>");
}

TEST_F(ExprTest, ViewDisplayFormatAppliesToEveryBracket) {
    view.code = 0x0101022C;  // number, fixed, 2 decimals, ","
    EXPECT_EQ(expand("[1/4] and [3]"), "0,25 and 3,00");
    EXPECT_EQ(formatSettings().decimalSeparator, '.');
}

TEST_F(ExprTest, CollectingAggregatesGivesNoTextAndNoUndefinedError) {
    FakeAggregates aggregates;
    aggregates.collect = true;
    engine().aggregates = &aggregates;
    EXPECT_EQ(expand("a[UNKNOWN]b[1+2]c"), "abc");
}

TEST_F(ExprTest, DeepNestingFailsCleanly) {
    std::string deep = std::string(2000, '[') + "1" + std::string(2000, ']');
    EXPECT_EQ(errorOf(deep), "Слишком глубокая вложенность выражения");
    std::string ifs;
    for (int k = 0; k < 500; ++k) ifs += "IF(1,";
    ifs += "1" + std::string(500, ')');
    EXPECT_EQ(errorOf("[" + ifs + "]"), "Слишком глубокая вложенность выражения");
    // The engine is usable afterwards.
    EXPECT_EQ(expand("[2+2]"), "4");
}

TEST_F(ExprTest, LongFlatExpressionsNeedNoDepth) {
    std::string sum = "1";
    for (int k = 0; k < 20000; ++k) sum += "+1";
    EXPECT_EQ(expand("[" + sum + "]"), "20001");
    std::string parens = std::string(5000, '(') + "2" + std::string(5000, ')');
    EXPECT_EQ(expand("[" + parens + "]"), "2");
}

}  // namespace
}  // namespace quor::test
