// Expressions reached through the views: the hooks of engine(), the view's
// display format and flags, object.property names.

#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/expr/view_bridge.h"
#include "engine/view.h"
#include "engine/view_context.h"
#include "expr_fixture.h"

namespace quor::test {
namespace {

struct PlainView : TfrView {
    void Draw(Canvas&) override {}
};

struct Objects : ReportContext {
    std::vector<TfrView*> views;
    std::vector<TfrView*> allObjects() const override { return views; }
    void beforePrint(std::vector<std::string>&, TfrView&) override {}
    void runScript(const std::vector<std::string>&, TfrView&) override {}
    ExportSink* exportSink() override { return nullptr; }
};

class ExprViewBridge : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        engine().currentView = nullptr;  // the bridge sets it per call
        memo.Name = "Memo1";
        memo.objectKind = kKindMemo;
        memo.Left = 36;
        memo.Width = 120;
        objects.views = {&memo};
        quor::engine().currentReport = &objects;
    }
    void TearDown() override {
        quor::engine().currentReport = nullptr;
        ExprTest::TearDown();
    }
    PlainView memo;
    Objects objects;
};

TEST_F(ExprViewBridge, ViewsExpandThroughTheEngineHook) {
    EXPECT_EQ(memo.ExpandBrackets("Total [1+2] pcs, page [PAGE#]"), "Total 3 pcs, page 3");
    EXPECT_EQ(engine().currentView, nullptr);
}

TEST_F(ExprViewBridge, DisplayFormatAndHideZerosComeFromTheView) {
    memo.formatCode = 0x0101022C;
    EXPECT_EQ(memo.ExpandBrackets("[1/2]"), "0,50");
    memo.formatCode = 0x22E;
    memo.Flags |= 0x40;
    EXPECT_EQ(memo.ExpandBrackets("<[0]>"), "<>");
    // The flag means HideZeros only on memos.
    memo.objectKind = kKindPicture;
    EXPECT_EQ(memo.ExpandBrackets("<[0]>"), "<0>");
}

TEST_F(ExprViewBridge, CompiledConditionsEvaluateForTheirView) {
    const std::string condition = CompileExpression("CALCWIDTH > 100");
    EXPECT_EQ(evaluateCompiledForView(memo, condition), Variant(std::int64_t{1}));
    memo.Width = 80;
    EXPECT_EQ(evaluateCompiledForView(memo, condition), Variant(std::int64_t{0}));
}

TEST_F(ExprViewBridge, CalcWidthOfAViewIsItsWidth) { EXPECT_EQ(memo.ExpandBrackets("[CALCWIDTH]"), "120"); }

TEST_F(ExprViewBridge, ObjectPropertiesThroughNamedProperties) {
    EXPECT_EQ(memo.ExpandBrackets("[Memo1.Left]"), "36");
    EXPECT_EQ(memo.ExpandBrackets("[memo1.left + 4]"), "40");
    EXPECT_EQ(memo.ExpandBrackets("[Memo1.Name]"), "Memo1");
    EXPECT_THROW(memo.ExpandBrackets("[Memo1.NoSuchProperty]"), Error);
    EXPECT_THROW(memo.ExpandBrackets("[Memo2.Left]"), Error);
}

TEST_F(ExprViewBridge, MemoGivesItsFontCodePageAndMeasuredWidth) {
    TfrMemoView m;
    m.Font.charset = 255;
    m.Width = 400;
    m.Height = 40;
    m.Memo = {"Hello, world"};
    const int width = m.CalcWidthOfExpandedText();
    EXPECT_GT(width, 0);
    EXPECT_EQ(m.ExpandBrackets("[CALCWIDTH]"), std::to_string(width));
    // An unknown name of a DOS text is reported in readable letters.
    try {
        m.ExpandBrackets("[\x88\xa2\xa0\xad]");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Переменная не определена: \"ИВАН\"");
    }
}

TEST_F(ExprViewBridge, ScriptMethodsEvaluateTheirArguments) {
    memo.CallMethod("MEMO.ADD", Variant("1+1"), Variant(), Variant());
    ASSERT_EQ(memo.Memo.size(), 1u);
    EXPECT_EQ(memo.Memo[0], "2");
}

}  // namespace
}  // namespace quor::test
