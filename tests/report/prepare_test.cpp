// Prepare over the built-in templates: prepared pages with their views, the
// template restored afterwards, the events, and every failure ending in the
// error box with no pages.

#include <gtest/gtest.h>

#include "engine/band.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "report/builtin_templates.h"
#include "report/report_windows.h"
#include "report_fixture.h"

namespace quor::test {
namespace {

class PrepareTest : public ReportTest {
protected:
    void SetUp() override {
        saved_ = engine();
        engine().expandBrackets = [](TfrView&, const std::string& text) { return text; };
        report_.ShowProgress = false;
    }
    void TearDown() override { engine() = saved_; }

    void loadPortrait(int lines) {
        load(openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName));
        report_.TemplatePages[0].Margins.top = 36;
        memo().Memo.clear();
        for (int i = 0; i < lines; ++i) memo().Memo.push_back("line " + std::to_string(i));
    }
    TfrMemoView& memo() { return dynamic_cast<TfrMemoView&>(*report_.FindView("FM1")); }

    // The named view of prepared page `index`, unpacked.
    TfrView* preparedView(int index, const std::string& name) {
        report_.PreparedPages.Unpack(index);
        const auto& page = report_.PreparedPages.Item(index).Page;
        return page ? page->FindView(name) : nullptr;
    }

    EngineState saved_;
};

TEST_F(PrepareTest, LongTextGivesPagesWithTheMemoPieces) {
    loadPortrait(300);
    std::vector<int> begun;
    report_.OnBeginPage = [&](int n) { begun.push_back(n); };
    ASSERT_TRUE(report_.Prepare());
    const int count = report_.PreparedPages.Count();
    ASSERT_GE(count, 3);
    ASSERT_EQ(begun.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) EXPECT_EQ(begun[static_cast<std::size_t>(i)], i);
    TfrView* first = preparedView(0, "FM1");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Top, 40);
    TfrView* second = preparedView(1, "FM1");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Top, 36);
    for (int i = 0; i < count; ++i) EXPECT_NE(preparedView(i, "FPTP"), nullptr) << i;
    EXPECT_TRUE(shownText().empty());
}

TEST_F(PrepareTest, TemplateIsRestoredButEarlierChangesStay) {
    loadPortrait(20);
    memo().LineSpacing = 5;
    report_.OnBeginBand = [](TfrBand& band) {
        for (TfrView* v : band.Views)
            if (v->Name == "FPT") v->Left = 500;
        if (band.Name == "Overlay1") band.Height = 3;
    };
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.FindView("FPT")->Left, 156);
    EXPECT_EQ(report_.FindView("FPT")->Top, 24);
    EXPECT_EQ(report_.FindView("Overlay1")->Height, 18);
    EXPECT_EQ(memo().LineSpacing, 5);
    EXPECT_EQ(memo().Top, 24);
    EXPECT_EQ(memo().Memo.size(), 20u);
    EXPECT_EQ(preparedView(0, "FPT")->Left, 500);
}

TEST_F(PrepareTest, BeginBandErrorReachesTheCallerWithoutABox) {
    loadPortrait(5);
    report_.OnBeginBand = [](TfrBand& band) {
        if (band.Name == "ReportTitle1") throw Error("logo missing");
    };
    EXPECT_THROW(report_.Prepare(), Error);
    EXPECT_TRUE(messages_.messages().empty());
    EXPECT_EQ(memo().Top, 24);
    // The page begun before the error is not left for a preview or print.
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    // The next build works from the whole template.
    report_.OnBeginBand = nullptr;
    EXPECT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 1);
}

TEST_F(PrepareTest, BuildErrorIsShownAndLeavesNoPages) {
    loadPortrait(2);
    engine().expandBrackets = [](TfrView&, const std::string& text) -> std::string {
        if (text.find("line 1") != std::string::npos) throw Error("bad bracket");
        return text;
    };
    EXPECT_FALSE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    ASSERT_EQ(messages_.messages().size(), 1u);
    const MessageRequest& m = messages_.messages().front();
    EXPECT_EQ(m.caption, "Ошибка");
    EXPECT_EQ(m.icon, MessageIcon::Error);
    EXPECT_EQ(m.text, message(kMsgBuildError) + "\rline 0\rline 1\r\r" + message(kMsgBuildDocument) + " " +
                          report_.Name + "\r" + message(kMsgBuildObject) + " FM1\r\rbad bracket");
    EXPECT_EQ(memo().Top, 24);
}

TEST_F(PrepareTest, EventsComeInBuildOrder) {
    loadPortrait(1);
    std::vector<std::string> log;
    report_.OnBeginDoc = [&] { log.push_back("doc"); };
    report_.OnEndDoc = [&] { log.push_back("/doc"); };
    report_.OnBeginPage = [&](int n) { log.push_back("page " + std::to_string(n)); };
    report_.OnEndPage = [&](int n) { log.push_back("/page " + std::to_string(n)); };
    report_.OnBeginBand = [&](TfrBand& b) { log.push_back("band " + b.Name); };
    report_.OnEndBand = [&](TfrBand& b) { log.push_back("/band " + std::to_string(b.Kind)); };
    ASSERT_TRUE(report_.Prepare());
    const std::vector<std::string> expected = {
        "doc", "page 0", "band Overlay1", "/band 13", "band ", "/band 22", "band ReportTitle1", "/band 0",
        "band ", "/band 14", "band ", "/band 15", "band ReportSummary1", "/band 1", "/page 0", "/doc"};
    EXPECT_EQ(log, expected);
}

TEST_F(PrepareTest, ShowPreparedOpensThePreviewOnlyOverPages) {
    int shown = 0;
    const auto savedHook = reportWindows().showPreview;
    reportWindows().showPreview = [&](TfrReport& r) {
        EXPECT_EQ(&r, &report_);
        EXPECT_GT(r.PreparedPages.Count(), 0);
        ++shown;
    };
    engine().documentMode = false;
    report_.ShowPrepared();  // no build yet: no pages, no window
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(engine().documentMode);
    loadPortrait(3);
    ASSERT_TRUE(report_.Prepare());
    report_.ShowPrepared();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(engine().currentReport, &report_);
    reportWindows().showPreview = nullptr;
    report_.ShowPrepared();  // no window installed: quietly nothing
    EXPECT_EQ(shown, 1);
    reportWindows().showPreview = savedHook;
}

TEST_F(PrepareTest, PreparedReportFileRoundTripAndFailures) {
    loadPortrait(300);
    ASSERT_TRUE(report_.Prepare());
    const int count = report_.PreparedPages.Count();
    const std::string file = testing::TempDir() + "prepared_round_trip.frp";
    report_.SavePreparedReport(file);
    report_.PreparedPages.Clear();
    report_.LoadPreparedReport(file);
    EXPECT_EQ(report_.PreparedPages.Count(), count);
    EXPECT_FALSE(report_.CanRebuild);
    EXPECT_NE(preparedView(1, "FM1"), nullptr);
    EXPECT_THROW(report_.LoadPreparedReport(file + ".missing"), Error);
    EXPECT_THROW(report_.SavePreparedReport("/nonexistent-folder/x.frp"), Error);
}

}  // namespace
}  // namespace quor::test
