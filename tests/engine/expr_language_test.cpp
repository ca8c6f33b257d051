// The expression language: tokens, precedence, operators, compiled form,
// name resolution and its error texts.

#include "engine/expr/compiler.h"
#include "expr_fixture.h"

namespace quor::test {
namespace {

TEST_F(ExprTest, ArithmeticPrecedenceAndUnarySigns) {
    EXPECT_EQ(show("2+3*4"), "14");
    EXPECT_EQ(show("(2+3)*4"), "20");
    EXPECT_EQ(show("10-2-3"), "5");
    EXPECT_EQ(show("12/2/3"), "2");
    EXPECT_EQ(show("2*-3"), "-6");
    EXPECT_EQ(show("-2+3"), "1");
    EXPECT_EQ(show("1 - -2"), "3");
    EXPECT_EQ(show("+5"), "5");
    EXPECT_EQ(show("-(2+3)*2"), "-10");
}

TEST_F(ExprTest, AndOrBindAsTightlyAsMultiplication) {
    report.variables["A"] = Variant(1);
    report.variables["B"] = Variant(2);
    // A = (1 AND B) = 2: the comparisons are not joined.
    EXPECT_EQ(show("A = 1 AND B = 2"), "0");
    EXPECT_EQ(show("(A = 1) AND (B = 2)"), "1");
    EXPECT_EQ(show("(A = 2) OR (B = 2)"), "1");
    EXPECT_EQ(show("1 + 2 AND 3"), "7");
    EXPECT_EQ(show("5 OR 2"), "7");
    EXPECT_EQ(show("2 and 3"), "6");
}

TEST_F(ExprTest, WordOperators) {
    EXPECT_EQ(show("7 MOD 3"), "1");
    EXPECT_EQ(show("-7 mod 3"), "-1");
    EXPECT_EQ(show("NOT 0"), "1");
    EXPECT_EQ(show("NOT 5"), "0");
    EXPECT_EQ(show("NOT (1 = 2)"), "1");
    EXPECT_EQ(show("INT 3.7"), "3");
    EXPECT_EQ(show("INT -3.7"), "-3");
    EXPECT_EQ(show("INT(3.7) * 2"), "6");
    EXPECT_EQ(show("FRAC 3.25"), "0.25");
    EXPECT_EQ(show("INT 2.99999999999"), "3");
    EXPECT_EQ(show("FRAC 2.99999999999"), "0");
    EXPECT_EQ(show("INT 2.9999999"), "2");
    EXPECT_EQ(show("ROUND 2.5"), "2");
    EXPECT_EQ(show("ROUND 3.5"), "4");
    EXPECT_EQ(show("ROUND -2.5"), "-2");
    EXPECT_EQ(show("STR 5 + 'x'"), "5x");
    EXPECT_EQ(show("STR(1/4)"), "0.25");
}

TEST_F(ExprTest, ComparisonsGiveOneOrZero) {
    EXPECT_EQ(show("2 >= 2"), "1");
    EXPECT_EQ(show("2 <> 2"), "0");
    EXPECT_EQ(show("1 <= 0"), "0");
    EXPECT_EQ(show("1 < 2"), "1");
    EXPECT_EQ(show("3 > 2 + 2"), "0");
    EXPECT_EQ(show("'abc' < 'abd'"), "1");
    EXPECT_EQ(show("'b' = 'b'"), "1");
    EXPECT_EQ(show("'2' = 2"), "1");
}

TEST_F(ExprTest, LiteralsAndNames) {
    EXPECT_EQ(show("'it''s'"), "it's");
    EXPECT_EQ(show("'a' + 'b'"), "ab");
    EXPECT_EQ(show("''"), "");
    EXPECT_EQ(show("'open"), "open");
    EXPECT_EQ(show(".5*2"), "1");
    EXPECT_EQ(show("true"), "True");
    EXPECT_EQ(show("FALSE"), "False");
    EXPECT_EQ(show("1+2;3"), "3");
    EXPECT_EQ(show(" \r 4 "), "4");
    EXPECT_EQ(show(""), "");
    report.variables["\"MY VAR\""] = Variant(1);
    EXPECT_EQ(show("\"my var\" + 1"), "2");
    report.variables["A,B;C"] = Variant(5);
    EXPECT_EQ(show("a,b;c*2"), "10");
}

TEST_F(ExprTest, StringsJoinAndNumericTextCounts) {
    EXPECT_EQ(show("'1' + 2"), "3");
    EXPECT_EQ(errorOf("['x' * 2]"), "'x' is not a valid floating point value");
    EXPECT_EQ(errorOf("['x' < 2]"), "'x' is not a valid floating point value");
}

TEST_F(ExprTest, UnbalancedParenthesesRaiseAnEmptyMessage) {
    for (const char* text : {"(1+2", "1+2)", "COPY('abc',1,2", ")"}) {
        try {
            eval(text);
            ADD_FAILURE() << text;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "") << text;
        }
    }
}

TEST_F(ExprTest, OperatorsWithoutOperandsAreExpressionErrors) {
    for (const char* text : {"1+", "*", "1 2", "NOT", "2 * / 3"}) {
        try {
            eval(text);
            ADD_FAILURE() << text;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Ошибка в выражении") << text;
        }
    }
}

TEST_F(ExprTest, CompiledFormIsPostfixWithOneByteOperators) {
    CompiledExpression c = CompileExpression("A <> B * 2");
    ASSERT_GE(c.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(c[c.size() - 2]), '*');
    EXPECT_EQ(static_cast<unsigned char>(c.back()), kOpNotEqual);
    EXPECT_EQ(static_cast<unsigned char>(c[0]), kOperand);
    report.variables["A"] = Variant(8);
    report.variables["B"] = Variant(4);
    EXPECT_EQ(variantToText(engine().EvaluateCompiled(c)), "0");
    report.variables["B"] = Variant(3);
    EXPECT_EQ(variantToText(engine().EvaluateCompiled(c)), "1");
}

TEST_F(ExprTest, MalformedCompiledInputIsRejected) {
    std::string good = CompileExpression("COPY('abc', 1, 2) + 'x'");
    for (std::size_t cut = 1; cut < good.size(); ++cut) {
        std::string part = good.substr(0, cut);
        try {
            engine().EvaluateCompiled(part);
        } catch (const Error&) {
        }
    }
    std::string bogus = {static_cast<char>(kOperand), 4, 1, '\xff', '\xff', '\xff', '\x7f'};
    EXPECT_THROW(engine().EvaluateCompiled(bogus), Error);
    EXPECT_THROW(engine().EvaluateCompiled(std::string(1, '\x60')), Error);
}

TEST_F(ExprTest, NameRulesInOrder) {
    report.handler["PAGE#"] = Variant("from handler");
    EXPECT_EQ(expand("[PAGE#]"), "from handler");
    report.handler.clear();
    report.dictionary["PAGE#"] = Variant("from dictionary");
    EXPECT_EQ(expand("[PAGE#]"), "from dictionary");
    report.dictionary.clear();
    report.variables["PAGE#"] = Variant("variable");
    EXPECT_EQ(expand("[PAGE#]"), "3");
    report.variables["CURY"] = Variant("variable");
    EXPECT_EQ(expand("[CURY]"), "variable");
    report.variables.clear();
    EXPECT_EQ(expand("[CURY] [FREESPACE] [PAGEHEIGHT] [PAGEWIDTH] [FINALPASS]"), "120 880 1000 700 True");
    EXPECT_EQ(expand("[LINE#] [LINETHROUGH#] [COLUMN#] [CURRENT#] [TOTALPAGES]"), "4 9 2 5 7");
    EXPECT_EQ(expand("[DATE] [TIME]"), "08.12.2026 18:00:00");
    EXPECT_EQ(expand("[CALCWIDTH]"), "77");
}

TEST_F(ExprTest, ValueIsTheLastLookedUpValue) {
    EXPECT_EQ(expand("[PAGE#] [VALUE]"), "3 3");
    EXPECT_EQ(expand("[TOTALPAGES][VALUE]"), "77");
}

TEST_F(ExprTest, GlobalConstantsAnyCase) {
    engine().setGlobalConstant("btJPG", Variant(1));
    EXPECT_EQ(expand("[btJPG]"), "1");
    EXPECT_EQ(expand("[IF(1, btJPG + 1, 0)]"), "2");
}

TEST_F(ExprTest, MissingHostsLeaveNamesUndefined) {
    engine().build = nullptr;
    engine().currentView = nullptr;
    EXPECT_EQ(errorOf("[PAGE#]"), "Переменная не определена: \"PAGE#\"");
    EXPECT_EQ(errorOf("[CALCWIDTH]"), "Переменная не определена: \"CALCWIDTH\"");
    EXPECT_EQ(expand("[1+1]"), "2");
}

}  // namespace
}  // namespace quor::test
