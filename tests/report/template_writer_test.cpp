// Writing templates, the data dictionary record and the page geometry.

#include <gtest/gtest.h>

#include "engine/band_view.h"
#include "engine/subreport_view.h"
#include "platform/error.h"
#include "report/builtin_templates.h"
#include "report/data_dictionary.h"
#include "report/template_io.h"
#include "report_fixture.h"
#include "template_bytes.h"

namespace quor::test {
namespace {

class TemplateWriterTest : public ReportTest {
protected:
    // A report with two pages, bands with every band-view field set, a
    // sub-report and dictionary entries.
    void buildReport() {
        report_.TwoPass = true;
        report_.UseDefaultPrinter = false;
        TfrPage& first = report_.TemplatePages.Add();
        first.Margins = {1, 2, 3, 4};
        first.Columns = 2;
        first.ColumnGap = 5;
        first.Name = "Main";
        first.Script = {"begin", "end"};
        first.FormCaption = "Window";
        TfrPage& second = report_.TemplatePages.Add();
        second.ChangePaper(9, 0, 0, 0xFFFF, 1);
        second.PageType = kDialogPage;

        auto title = std::make_unique<TfrBandView>();
        title->Name = "Data1";
        title->FrameTyp = kBandMasterData;
        title->SetBounds(0, 20, 758, 18);
        title->ChildBand = "Child1";
        title->Columns = 3;
        title->ColumnWidth = 100;
        title->ColumnGap = 4;
        title->NewColumnAfter = 2;
        title->Master = "Master1";
        title->formatString = "Source1";
        title->Memo = {"a", "b"};
        title->FrameWidth = 1.5f;
        first.addObject(std::move(title));
        auto sub = std::make_unique<TfrSubReportView>();
        sub->Name = "SubReport1";
        sub->SubPage = 1;
        first.addObject(std::move(sub));
        auto child = std::make_unique<TfrBandView>();
        child->Name = "Child1";
        child->FrameTyp = kBandChild;
        second.addObject(std::move(child));

        report_.Dictionary.variableList = {{" Category", ""}, {"Var", "1 + 2"}};
        report_.Dictionary.aliasList = {{"Alias", "Field"}};
        report_.Dictionary.bandSourceList = {{"Data1", "Source1"}};
    }
};

TEST_F(TemplateWriterTest, SavedTemplateLoadsBackTheSame) {
    buildReport();
    const std::string bytes = save(report_);
    EXPECT_EQ(bytes[0], 24);

    TfrReport copy;
    load(copy, bytes);
    EXPECT_TRUE(messages_.messages().empty());
    // Saving what was read gives the same bytes: every field came back.
    EXPECT_EQ(save(copy), bytes);

    ASSERT_EQ(copy.TemplatePages.Count(), 2u);
    const TfrPage& first = copy.TemplatePages[0];
    EXPECT_EQ(first.Margins, (PageMargins{1, 2, 3, 4}));
    EXPECT_EQ(first.Script, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(first.Name, "Main");
    EXPECT_EQ(first.FormCaption, "Window");
    EXPECT_EQ(copy.TemplatePages[1].PageType, kDialogPage);
    EXPECT_EQ(copy.TemplatePages[1].Orientation, 1);
    EXPECT_TRUE(copy.TwoPass);
    EXPECT_FALSE(copy.UseDefaultPrinter);

    auto* data = dynamic_cast<TfrBandView*>(copy.FindView("DATA1"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->objectVersionHigh, 2);
    EXPECT_EQ(data->objectVersionLow, 1);
    EXPECT_EQ(data->ChildBand, "Child1");
    EXPECT_EQ(data->Columns, 3);
    EXPECT_EQ(data->ColumnWidth, 100);
    EXPECT_EQ(data->ColumnGap, 4);
    EXPECT_EQ(data->NewColumnAfter, 2);
    EXPECT_EQ(data->Master, "Master1");
    EXPECT_EQ(data->formatString, "Source1");
    EXPECT_FLOAT_EQ(data->FrameWidth, 1.5f);
    auto* sub = dynamic_cast<TfrSubReportView*>(copy.FindView("SubReport1"));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->SubPage, 1);
    ASSERT_NE(copy.FindView("Child1"), nullptr);
    EXPECT_EQ(copy.TemplatePages[1].FindView("Child1"), copy.FindView("child1"));
    EXPECT_EQ(copy.Dictionary, report_.Dictionary);
}

TEST_F(TemplateWriterTest, VirtualPrinterIsWrittenAsCodeOne) {
    const std::string bytes = save(report_);
    // version, two flags, then the name as a counted string.
    ASSERT_GE(bytes.size(), 9u);
    EXPECT_EQ(bytes.substr(5, 4), std::string("\x01\x00\x01\x00", 4));
}

TEST_F(TemplateWriterTest, ADocumentOfMoreThan65535LinesSurvivesTheRoundTrip) {
    // Prepare keeps the template this way while it builds.
    load(openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName));
    std::vector<std::string> text;
    for (int i = 0; i < 70000; ++i) text.push_back(std::to_string(i));
    report_.FindView("FM1")->Memo = text;
    TfrReport copy;
    load(copy, save(report_));
    ASSERT_NE(copy.FindView("FM1"), nullptr);
    EXPECT_EQ(copy.FindView("FM1")->Memo, text);
    EXPECT_TRUE(shownText().empty());
}

TEST(DataDictionaryTest, MarkersAndNameNormalisation) {
    for (int marker : {-1, -2}) {
        TemplateBytes b;
        b.u16(marker).i32(3);
        b.text16("Plain").text16("1").text16(" Category").text16("").text16("Other").text16("x");
        b.i32(1).text16("A").text16("B").i32(0);
        StreamReader in(b.str());
        TfrDataDictionary d;
        d.LoadFromStream(in);
        EXPECT_EQ(in.position(), b.size());
        ASSERT_EQ(d.variableList.size(), 3u);
        EXPECT_EQ(d.variableList[0].name, " Plain");
        EXPECT_EQ(d.variableList[0].value, "1");
        EXPECT_EQ(d.variableList[1].name, "Category");
        EXPECT_EQ(d.variableList[2].name, " Other");
        EXPECT_EQ(d.aliasList, (DictionaryList{{"A", "B"}}));
        EXPECT_TRUE(d.bandSourceList.empty());
    }
}

TEST(DataDictionaryTest, NamesAlreadyMarkedStayAsTheyAre) {
    TemplateBytes b;
    b.u16(0xFFFE).i32(2).text16(" Cat").text16("").text16("Var").text16("v").i32(0).i32(0);
    StreamReader in(b.str());
    TfrDataDictionary d;
    d.LoadFromStream(in);
    EXPECT_EQ(d.variableList, (DictionaryList{{" Cat", ""}, {"Var", "v"}}));
}

TEST(DataDictionaryTest, OlderLayoutAndHugeCounts) {
    TemplateBytes older;
    older.u16(5).raw("whatever");
    StreamReader in(older.str());
    TfrDataDictionary d;
    EXPECT_THROW(d.LoadFromStream(in), FormatError);

    TemplateBytes huge;
    huge.u16(0xFFFE).i32(0x7FFFFFFF).text16("only").text16("one");
    StreamReader in2(huge.str());
    d.LoadFromStream(in2);
    EXPECT_EQ(d.variableList.size(), 1u);
}

TEST(StreamLinesTest, EmptyLineListTakesThreeBytes) {
    const std::string bytes("\x00\x00\x00\x42", 4);
    StreamReader in(bytes);
    EXPECT_TRUE(in.vlines(24).empty());
    EXPECT_EQ(in.position(), 3u);
    EXPECT_EQ(in.u8(), 0x42);
}

class PageGeometryTest : public ReportTest {};

TEST_F(PageGeometryTest, MarginsFollowThePrintableArea) {
    TfrPage& page = report_.TemplatePages.Add();
    EXPECT_EQ(page.PaperSize, 9);
    EXPECT_EQ(page.PaperWidth, 2100);
    EXPECT_EQ(page.PaperHeight, 2970);
    EXPECT_EQ(page.Bin, 0xFFFF);
    EXPECT_EQ(page.prnInfo.pageWidth, 758);
    EXPECT_EQ(page.prnInfo.pageHeight, 1071);
    EXPECT_EQ(page.LeftEdge(), 18);
    EXPECT_EQ(page.TopEdge(), 18);
    EXPECT_EQ(page.RightEdge(), 740);
    EXPECT_EQ(page.BottomEdge(), 1053);

    page.Margins = {30, 40, 50, 60};
    EXPECT_EQ(page.LeftEdge(), 30);
    EXPECT_EQ(page.TopEdge(), 40);
    EXPECT_EQ(page.RightEdge(), 708);
    EXPECT_EQ(page.BottomEdge(), 1011);

    page.UseMargins = false;
    EXPECT_EQ(page.LeftEdge(), 0);
    EXPECT_EQ(page.TopEdge(), 0);
    EXPECT_EQ(page.RightEdge(), 758);
    EXPECT_EQ(page.BottomEdge(), 1071);
}

TEST_F(PageGeometryTest, PaperComesFromTheDevice) {
    TfrPage& page = report_.TemplatePages.Add();
    page.ChangePaper(9, 0, 0, 0x1FFFF, 1);
    EXPECT_EQ(page.PaperWidth, 2970);
    EXPECT_EQ(page.PaperHeight, 2100);
    EXPECT_EQ(page.Orientation, 1);
    EXPECT_EQ(page.Bin, 0xFFFF);
    EXPECT_EQ(page.prnInfo.pageWidth, 1071);
    page.ChangePaper(11, 0, 0, 7, 0);  // A5
    EXPECT_EQ(page.PaperSize, 11);
    EXPECT_EQ(page.PaperWidth, 1480);
    EXPECT_EQ(page.Bin, 7);
}

}  // namespace
}  // namespace quor::test
