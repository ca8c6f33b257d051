// A whole build through Prepare: two passes and "TOTALPAGES", the build's
// values and commands as a script interpreter reaches them, the progress
// window's hooks, and reports built once per record of their Dataset.

#include <gtest/gtest.h>

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/expr/expression_engine.h"
#include "engine/expr/view_bridge.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "report/builtin_templates.h"
#include "report/report_windows.h"
#include "build_fixture.h"

namespace quor::test {
namespace {

class BuildReportTest : public BuildTest {
protected:
    void loadPortrait(int lines) {
        load(openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName));
        page().Margins.top = 36;
        memo().Memo.clear();
        for (int i = 0; i < lines; ++i) memo().Memo.push_back("line " + std::to_string(i));
    }
    TfrPage& page() { return report_.TemplatePages[0]; }
    TfrMemoView& memo() { return dynamic_cast<TfrMemoView&>(*report_.FindView("FM1")); }

    // A page footer on every page holding a memo with `text`.
    void addFooter(const std::string& text) {
        auto band = std::make_unique<TfrBandView>();
        band->Name = "Footer1";
        band->FrameTyp = kBandPageFooter;
        band->SetBounds(0, 2000, 700, 20);
        band->Flags = kBandOnFirstPage | kBandOnLastPage;
        page().addObject(std::move(band));
        auto m = std::make_unique<TfrMemoView>();
        m->Name = "PageNo";
        m->SetBounds(36, 2002, 300, 16);
        m->Memo = {text};
        page().addObject(std::move(m));
    }
    TfrView* preparedView(int index, const std::string& name) {
        report_.PreparedPages.Unpack(index);
        const auto& p = report_.PreparedPages.Item(index).Page;
        return p ? p->FindView(name) : nullptr;
    }
    std::string preparedText(int index, const std::string& name) {
        TfrView* v = preparedView(index, name);
        return v && !v->Memo.empty() ? v->Memo.front() : std::string("<none>");
    }

};

TEST_F(BuildReportTest, TwoPassesGiveTheTotalPageCount) {
    loadPortrait(300);
    addFooter("[PAGE#] of [TOTALPAGES]");
    report_.TwoPass = true;
    std::vector<int> begun;
    report_.OnBeginPage = [&](int n) { begun.push_back(n); };
    ASSERT_TRUE(report_.Prepare());
    const int count = report_.PreparedPages.Count();
    ASSERT_GE(count, 3);
    // Both passes made every page.
    EXPECT_EQ(begun.size(), 2u * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        EXPECT_EQ(preparedText(i, "PageNo"), std::to_string(i + 1) + " of " + std::to_string(count));
    EXPECT_TRUE(shownText().empty());

    // One pass: nothing counted the pages.
    report_.TwoPass = false;
    loadPortrait(300);
    addFooter("[PAGE#] of [TOTALPAGES]");
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(preparedText(0, "PageNo"), "1 of 0");
}

TEST_F(BuildReportTest, NoPagesWithoutDataWhenEmptyReportsAreNotPrinted) {
    loadPortrait(10);
    report_.PrintIfEmpty = false;
    EXPECT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 0);
    EXPECT_TRUE(shownText().empty());
}

TEST_F(BuildReportTest, ReportNamesAndFunctionsReachTheTextOfABuild) {
    loadPortrait(0);
    memo().Memo = {"[A] [B] [C] [D] [TWICE(21)]"};
    report_.Dictionary.variableList = {{"A", "2*3"}, {"B", "A+1"}, {"C", "99"}};
    report_.Variables = {{"C", Variant(std::string("list"))}, {"D", Variant(std::string("four"))}};
    // The handler comes first and leaves unknown names alone.
    report_.OnGetValue = [](const std::string& name, Variant& value) {
        if (name == "C") value = Variant(std::string("handler"));
    };
    report_.OnUserFunction = [](const std::string& name, const std::array<std::string, 3>& args, Variant& result) {
        if (name != "TWICE") return false;
        result = Variant(2 * std::stoi(args[0]));
        return true;
    };
    ASSERT_TRUE(report_.Prepare());
    // (A prepared memo line ends in its line-end mark.)
    EXPECT_EQ(preparedText(0, "FM1").rfind("6 7 handler four 42\x01", 0), 0u) << preparedText(0, "FM1");
    EXPECT_TRUE(shownText().empty());
    // The connection ends with the build.
    EXPECT_EQ(expressionEngine().report, nullptr);

    // A variable that names itself ends the build with an error, not a hang.
    report_.OnGetValue = nullptr;
    loadPortrait(0);
    memo().Memo = {"[LOOP]"};
    report_.Dictionary.variableList = {{"LOOP", "LOOP+1"}};
    EXPECT_FALSE(report_.Prepare());
    EXPECT_FALSE(shownText().empty());
}

// A script interpreter of one command per line, reaching the build the way
// any interpreter does: through the expression engine.
class ScriptCommandTest : public BuildReportTest {
protected:
    void SetUp() override {
        BuildReportTest::SetUp();
        report_.scriptInterpreter = [this](const std::vector<std::string>& script, TfrView& view) {
            BuildValues& build = *expressionEngine().build;
            for (const std::string& line : script) {
                if (line == "NEWPAGE") build.newPage();
                else if (line == "NEWCOLUMN") build.newColumn();
                else if (line == "STOPREPORT") build.stopReport();
                else if (line.rfind("SHOWBAND ", 0) == 0) build.showBand(line.substr(9));
                else if (line.rfind("CURY=", 0) == 0) build.setCursorY(std::stoi(line.substr(5)));
                else if (line == "VALUES") {
                    for (const char* name : {"CURY", "FREESPACE", "PAGEHEIGHT", "PAGEWIDTH", "FINALPASS"})
                        values.push_back(evaluateForView(view, name));
                    const TfrPage& p = page();
                    expected.insert(expected.end(), {Variant(p.CursorY), Variant(p.BottomLimit - p.CursorY),
                                                     Variant(p.BottomLimit), Variant(p.RightEdge()),
                                                     Variant(!engine().firstPass)});
                }
            }
        };
    }
    void scriptOf(const std::string& band, std::vector<std::string> lines) {
        report_.FindView(band)->scriptLines = std::move(lines);
    }
    int fpbTop(int index) {
        TfrView* v = preparedView(index, "FPB");
        return v ? v->Top : -1;
    }
    std::vector<Variant> values, expected;
};

TEST_F(ScriptCommandTest, ValuesOfTheBuild) {
    loadPortrait(3);
    report_.TwoPass = true;
    scriptOf("ReportSummary1", {"VALUES"});
    ASSERT_TRUE(report_.Prepare());
    ASSERT_EQ(values.size(), 10u);
    EXPECT_EQ(values, expected);
    EXPECT_EQ(values[4], Variant(false));
    EXPECT_EQ(values[9], Variant(true));
}

TEST_F(ScriptCommandTest, NewPageNewColumnAndTheCursor) {
    loadPortrait(3);
    scriptOf("ReportSummary1", {"NEWPAGE"});
    ASSERT_TRUE(report_.Prepare());
    ASSERT_EQ(report_.PreparedPages.Count(), 2);
    EXPECT_EQ(preparedView(0, "FPB"), nullptr);
    EXPECT_EQ(fpbTop(1), 36 + 4);

    loadPortrait(3);
    page().Columns = 2;
    page().ColumnGap = 20;
    scriptOf("ReportSummary1", {"NEWCOLUMN"});
    ASSERT_TRUE(report_.Prepare());
    ASSERT_EQ(report_.PreparedPages.Count(), 1);
    const int shift = (page().RightEdge() - page().LeftEdge() - 20) / 2 + 20;
    EXPECT_EQ(preparedView(0, "FPB")->Left, report_.FindView("FPB")->Left + shift);
    // The column starts where the column header was shown: below the text.
    const TfrView* text = preparedView(0, "FM1");
    ASSERT_NE(text, nullptr);
    const int textBottom = text->Top + text->Height;
    EXPECT_EQ(fpbTop(0), textBottom + 4);

    // The cursor set by the script holds also after the page break the
    // script asked for.
    loadPortrait(3);
    scriptOf("ReportSummary1", {"NEWPAGE", "CURY=200"});
    ASSERT_TRUE(report_.Prepare());
    ASSERT_EQ(report_.PreparedPages.Count(), 2);
    EXPECT_EQ(fpbTop(1), 200 + 4);
}

TEST_F(ScriptCommandTest, StopReportAndShowBand) {
    loadPortrait(3);
    scriptOf("ReportTitle1", {"STOPREPORT"});
    EXPECT_TRUE(report_.Prepare());
    ASSERT_EQ(report_.PreparedPages.Count(), 1);
    EXPECT_EQ(preparedView(0, "FM1"), nullptr);
    EXPECT_TRUE(report_.StopRequested);

    loadPortrait(3);
    scriptOf("ReportTitle1", {"SHOWBAND reportsummary1"});
    ASSERT_TRUE(report_.Prepare());
    report_.PreparedPages.Unpack(0);
    int summaries = 0;
    for (TfrView* v : report_.PreparedPages.Item(0).Page->objects()) summaries += v->Name == "FPB";
    EXPECT_EQ(summaries, 2);
    // Shown from the title's script, before the title itself.
    EXPECT_EQ(fpbTop(0), 36 + 4);
}

// Hooks standing in for the progress window.
class ProgressTest : public BuildReportTest {
protected:
    void SetUp() override {
        BuildReportTest::SetUp();
        report_.ShowProgress = true;
        reportWindows().runWithProgress = [this](TfrReport& r, const std::string& caption,
                                                 const std::function<void()>& work) {
            EXPECT_EQ(&r, &report_);
            captions.push_back(caption);
            work();
            return !r.StopRequested;
        };
        reportWindows().setProgressText = [this](const std::string& text) {
            labels.push_back(text);
            if (text == cancelAt) report_.StopRequested = true;
        };
    }
    std::vector<std::string> captions, labels;
    std::string cancelAt = "-";
};

TEST_F(ProgressTest, LabelsCountThePages) {
    loadPortrait(300);
    report_.Title = "doc.prn";
    ASSERT_TRUE(report_.Prepare());
    const int count = report_.PreparedPages.Count();
    ASSERT_EQ(captions, std::vector<std::string>{"Подготовка отчета - doc.prn"});
    ASSERT_FALSE(labels.empty());
    const std::string prefix = message(kMsgFinalPass) + "  ";
    EXPECT_EQ(labels.front(), prefix + "1");
    EXPECT_EQ(labels.back(), prefix + std::to_string(count));
    int last = 0;
    for (const std::string& l : labels) {
        ASSERT_EQ(l.rfind(prefix, 0), 0u) << l;
        const int n = std::stoi(l.substr(prefix.size()));
        EXPECT_GE(n, last);
        last = n;
    }

    report_.Title.clear();
    captions.clear();
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(captions, std::vector<std::string>{"Подготовка отчета"});
}

TEST_F(ProgressTest, TheFinalPassOfTwoShowsTheFirstPassCount) {
    loadPortrait(300);
    report_.TwoPass = true;
    ASSERT_TRUE(report_.Prepare());
    const std::string count = std::to_string(report_.PreparedPages.Count());
    const std::string first = message(kMsgFirstPass) + "  ";
    const std::string final = message(kMsgFinalPass) + "  ";
    EXPECT_EQ(labels.front(), first + "1");
    EXPECT_EQ(labels.back(), final + count + " из " + count);
    EXPECT_NE(std::find(labels.begin(), labels.end(), final + "1 из " + count), labels.end());
}

TEST_F(ProgressTest, CancelEndsTheBuildKeepingItsPages) {
    loadPortrait(300);
    cancelAt = message(kMsgFinalPass) + "  2";
    EXPECT_FALSE(report_.Prepare());
    EXPECT_GE(report_.PreparedPages.Count(), 2);
    EXPECT_LE(report_.PreparedPages.Count(), 3);
    EXPECT_TRUE(shownText().empty());
}

TEST_F(ProgressTest, NoWindowWithAProgressHandlerOrWithoutShowProgress) {
    loadPortrait(300);
    std::vector<int> numbers;
    report_.OnProgress = [&](int n) { numbers.push_back(n); };
    ASSERT_TRUE(report_.Prepare());
    EXPECT_TRUE(captions.empty());
    EXPECT_TRUE(labels.empty());
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.front(), 1);
    EXPECT_EQ(numbers.back(), report_.PreparedPages.Count());

    report_.OnProgress = nullptr;
    report_.ShowProgress = false;
    ASSERT_TRUE(report_.Prepare());
    EXPECT_TRUE(captions.empty());
    EXPECT_TRUE(labels.empty());
}

TEST_F(ProgressTest, AHandlerErrorLeavesTheWindowAndReachesTheCaller) {
    loadPortrait(5);
    report_.OnBeginBand = [](TfrBand& band) {
        if (band.Name == "ReportTitle1") throw Error("logo missing");
    };
    EXPECT_THROW(report_.Prepare(), Error);
    EXPECT_EQ(captions.size(), 1u);
    EXPECT_TRUE(messages_.messages().empty());
    EXPECT_EQ(memo().Top, 24);
}

// Records 1..count; remembers how it was used.
class CountingSource : public BandDataSource {
public:
    explicit CountingSource(int count) : count_(count) {}
    void Init() override { ++inits; }
    void First() override { record = 1; }
    void Next() override { ++record; }
    bool Eof() const override { return record > count_; }
    void Close() override { ++closes; }
    int record = 0, inits = 0, closes = 0;

private:
    int count_;
};

TEST_F(BuildReportTest, AMultipleReportIsBuiltOncePerRecord) {
    CountingSource records(3);
    loadPortrait(3);
    report_.Dataset = &records;
    std::vector<int> seen;
    report_.OnBeginBand = [&](TfrBand& band) {
        if (band.Name == "ReportTitle1") seen.push_back(records.record);
    };
    // A simple report does not touch its Dataset.
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 1);
    EXPECT_EQ(records.inits, 0);

    report_.reportType = ReportType::rtMultiple;
    seen.clear();
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 3);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    for (int i = 0; i < 3; ++i) EXPECT_NE(preparedView(i, "FM1"), nullptr) << i;
    EXPECT_EQ(records.inits, 1);
    EXPECT_EQ(records.closes, 1);

    // A stop ends the records too.
    seen.clear();
    report_.OnBeginBand = [&](TfrBand& band) {
        if (band.Name == "ReportTitle1" && records.record == 2) report_.StopRequested = true;
    };
    ASSERT_TRUE(report_.Prepare());
    EXPECT_EQ(report_.PreparedPages.Count(), 2);
    EXPECT_EQ(records.closes, 2);
}

}  // namespace
}  // namespace quor::test
