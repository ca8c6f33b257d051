// Functions of the evaluator and of the standard library, dialogs and
// aggregates through their hosts.

#include "engine/expr/aggregate_names.h"
#include "engine/expr/standard_functions.h"
#include "expr_fixture.h"
#include "platform/codepage.h"
#include "platform/input_box.h"
#include "platform/message_box.h"

namespace quor::test {
namespace {

TEST_F(ExprTest, CopyAndIf) {
    EXPECT_EQ(show("COPY('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(show("copy('abc', 0, 2)"), "ab");
    EXPECT_EQ(show("COPY('abc', 5, 1)"), "");
    EXPECT_EQ(show("COPY('abc', 2, -1)"), "");
    EXPECT_EQ(show("COPY(12345, 2, 2) + 1"), "24");
    EXPECT_EQ(show("IF(1, 'yes', 'no')"), "yes");
    EXPECT_EQ(show("IF(0.9, 'yes', 'no')"), "no");
    EXPECT_EQ(show("IF(2 > 1, 'a,b', 'c')"), "a,b");
    EXPECT_EQ(show("IF(FINALPASS, 'last', 'first')"), "last");
    EXPECT_EQ(show("IF('', 1, 2)"), "2");
    EXPECT_EQ(errorOf("[IF('x', 1, 2)]"), "'x' is not a valid floating point value");
}

TEST_F(ExprTest, IfEvaluatesOnlyTheChosenBranch) {
    EXPECT_EQ(show("IF(1, 'ok', UNDEFINED)"), "ok");
    EXPECT_EQ(show("IF(0, UNDEFINED, 'b')"), "b");
    FakeDialogs dialogs;
    engine().dialogs = &dialogs;
    EXPECT_EQ(show("IF(0, INPUT('never', ''), 'skipped')"), "skipped");
    EXPECT_TRUE(dialogs.asked.empty());
}

TEST_F(ExprTest, DateFunctions) {
    EXPECT_EQ(show("DAYOF(STRTODATE('08.12.2026'))"), "8");
    EXPECT_EQ(show("MONTHOF(STRTODATE('08.12.2026'))"), "12");
    EXPECT_EQ(show("YEAROF(STRTODATE('08.12.2026'))"), "2026");
    EXPECT_EQ(show("STRTOTIME('10:30')"), "10:30:00");
    EXPECT_EQ(show("FORMATDATETIME('dd.mm.yyyy', STRTODATE('1.2.2026'))"), "01.02.2026");
    EXPECT_EQ(show("STRTODATE('08.12.2026') + 1"), "09.12.2026");
    EXPECT_EQ(errorOf("[STRTODATE('31.02.2026')]"), "'31.02.2026' is not a valid date");
    EXPECT_EQ(errorOf("[STRTOTIME('x')]"), "'x' is not a valid time");
}

TEST_F(ExprTest, TextFunctions) {
    EXPECT_EQ(show("LENGTH('abc')"), "3");
    EXPECT_EQ(show("UPPERCASE('abc')"), "ABC");
    EXPECT_EQ(show("LOWERCASE('AbC')"), "abc");
    EXPECT_EQ(show("TRIM('  a b ')"), "a b");
    EXPECT_EQ(show("NAMECASE('jOHN')"), "John");
    EXPECT_EQ(show("POS('b', 'abc')"), "2");
    EXPECT_EQ(show("POS('x', 'abc')"), "0");
    EXPECT_EQ(show("POS('', 'abc')"), "0");
    EXPECT_EQ(show("FORMATFLOAT('0.00', 2)"), "2.00");
    EXPECT_EQ(show("FORMATTEXT('000-000', '123456')"), "123-456");
    EXPECT_EQ(show("FORMATTEXT('>LL', 'ab')"), "AB");
    EXPECT_EQ(show("FORMATTEXT('00', '7')"), "7 ");
    EXPECT_EQ(show("MAXNUM(1, 2)"), "2");
    EXPECT_EQ(show("MINNUM(1, 2)"), "1");
    EXPECT_EQ(show("MAXNUM('b', 'a')"), "b");
}

TEST_F(ExprTest, CaseFollowsTheCodePageOfTheText) {
    // "иВАН" in CP1251, then in CP866.
    EXPECT_EQ(bytesToUtf8(variantToText(eval("NAMECASE('\xe8\xc2\xc0\xcd')")), 204), "Иван");
    view.charset = 255;
    std::string lower = variantToText(eval("LOWERCASE('\x88\x82\x80\x8d')"));
    EXPECT_EQ(bytesToUtf8(lower, 255), "иван");
    // Box drawing is no letter: it survives upper-casing in CP866.
    EXPECT_EQ(variantToText(eval("UPPERCASE('\xc4\xcd')")), "\xc4\xcd");
}

TEST_F(ExprTest, DialogsGoThroughTheDialogLayer) {
    FakeDialogs dialogs;
    engine().dialogs = &dialogs;
    EXPECT_EQ(show("INPUT('Name?', 'none')"), "typed");
    EXPECT_EQ(show("MESSAGEBOX('Go on?', 'Question', 4)"), "7");
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0], "Name?");
    EXPECT_EQ(dialogs.asked[1], "Go on?|Question");
}

TEST_F(ExprTest, PlatformDialogsAskThroughTheDialogLayer) {
    MessageCapture boxes(MessageResult::No);
    EXPECT_EQ(show("MESSAGEBOX('Go on?', 'Question', 4 + 32)"), "7");
    ASSERT_EQ(boxes.messages().size(), 1u);
    EXPECT_EQ(boxes.messages()[0].text, "Go on?");
    EXPECT_EQ(boxes.messages()[0].caption, "Question");
    EXPECT_EQ(boxes.messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes.messages()[0].icon, MessageIcon::Question);
    // Button sets the platform box lacks are shown with OK and answer with
    // their default button.
    EXPECT_EQ(show("MESSAGEBOX('x', '', 2 + 256)"), "4");
    EXPECT_EQ(defaultMessageBoxButton(0x3 | 0x200), 2);
    EXPECT_EQ(defaultMessageBoxButton(0x1 | 0xF00), 1);
    EXPECT_EQ(defaultMessageBoxButton(0xF), 1);

    std::vector<InputRequest> asked;
    InputSink previous = setInputSink([&](const InputRequest& r) -> std::optional<std::string> {
        asked.push_back(r);
        if (r.initial == "cancel") return std::nullopt;
        return "Иван";
    });
    view.charset = 255;
    EXPECT_EQ(bytesToUtf8(variantToText(eval("INPUT('Name?', 'none')")), 255), "Иван");
    EXPECT_EQ(show("INPUT('Name?', 'cancel')"), "cancel");
    setInputSink(previous);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].prompt, "Name?");
    EXPECT_EQ(asked[0].caption, "");
    EXPECT_EQ(asked[0].initial, "none");
    // With nobody to ask the initial text is the answer.
    EXPECT_EQ(show("INPUT('Name?', 'none')"), "none");
}

TEST_F(ExprTest, AggregatesRegisterWhileCollectingAndReadWhilePrinting) {
    FakeAggregates aggregates;
    engine().aggregates = &aggregates;
    aggregates.collect = true;
    EXPECT_EQ(show("SUM(x * 2, MasterData1, 1)"), "");
    EXPECT_EQ(show("COUNT(MasterData1)"), "");
    ASSERT_EQ(aggregates.registered.size(), 2u);
    EXPECT_EQ(aggregates.registered[0].code, kAggregateSum);
    EXPECT_EQ(aggregates.registered[0].expression, "x * 2");
    EXPECT_EQ(aggregates.registered[0].dataBand, "MasterData1");
    EXPECT_EQ(aggregates.registered[0].option, "1");
    EXPECT_EQ(aggregates.registered[1].code, kAggregateCount);
    EXPECT_EQ(aggregates.registered[1].expression, "MasterData1");
    EXPECT_EQ(aggregates.registered[1].dataBand, "MasterData1");

    aggregates.collect = false;
    EXPECT_EQ(show("SUM(x)"), "30");
    EXPECT_EQ(show("MAX(x)"), "30");
    EXPECT_EQ(show("AVG(x)"), "7.5");
    aggregates.count = 0;
    EXPECT_EQ(show("AVG(x)"), "0");
}

TEST_F(ExprTest, AggregatesWithoutDataBandsAreZero) {
    EXPECT_EQ(show("SUM(x)"), "0");
    EXPECT_EQ(show("AVG(x)"), "0");
}

TEST_F(ExprTest, UnknownFunctionsAndArrays) {
    EXPECT_EQ(errorOf("[FOO(1)]"), "Неизвестная функция: \"FOO\"");
    EXPECT_EQ(errorOf("[list[2]]"), "Неизвестная функция: \"GETARRAY\"");

    struct Arrays : FunctionLibrary {
        bool call(ExpressionEngine& e, const std::string& name, const std::array<std::string, 3>& args,
                  Variant& result) override {
            if (name != "GETARRAY") return false;
            result = Variant(args[0] + "#" + variantToText(e.Evaluate(args[1])));
            return true;
        }
    } arrays;
    engine().addLibrary(&arrays);
    EXPECT_EQ(show("list[1+1]"), "list#2");
    EXPECT_EQ(show("LENGTH('abcd')"), "4");
    engine().removeLibrary(&arrays);
    EXPECT_THROW(eval("list[1]"), Error);
}

TEST_F(ExprTest, FunctionArgumentsSplitAtTopLevelCommasOnly) {
    EXPECT_EQ(show("COPY('a,b,c', POS(',', 'x,y'), (1+1))"), ",b");
    EXPECT_EQ(show("COPY('abc', 1, 2, 99)"), "ab");
    EXPECT_EQ(show("UPPERCASE()"), "");
}

}  // namespace
}  // namespace quor::test

namespace quor::test {
namespace {

TEST(ExprAggregateNames, EntryNamesAndStartValues) {
    AggregateCall call{kAggregateSum, "x*2", "MasterData1", "1"};
    EXPECT_EQ(aggregateEntryName(call, "MasterFooter1"), std::string("MasterFooter1\x01\x0b\x01x*2\x01" "1\x01"));
    EXPECT_EQ(aggregateEntryName(call, "CrossFooter1", std::string("0")),
              std::string("0\x01" "CrossFooter1\x01\x0b\x01x*2\x01" "1\x01"));
    call.code = kAggregateCount;
    call.option.clear();
    EXPECT_EQ(aggregateEntryName(call, "F", std::string("12")), std::string("12\x01" "F\x01\x0f\x01x*2\x01\x01"));
    EXPECT_EQ(aggregateStartValue(kAggregateMin), 1e300);
    EXPECT_EQ(aggregateStartValue(kAggregateMax), 0.0);
    EXPECT_EQ(reportedDataKind(17), 5);
    EXPECT_EQ(reportedDataKind(9), 8);
    EXPECT_EQ(reportedDataKind(12), 11);
    EXPECT_EQ(reportedDataKind(20), 19);
    EXPECT_EQ(reportedDataKind(0), std::nullopt);
}

}  // namespace
}  // namespace quor::test
