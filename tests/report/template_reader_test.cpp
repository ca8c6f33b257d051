// Reading template streams: versions, record kinds and damaged input.

#include <gtest/gtest.h>

#include "engine/band_view.h"
#include "engine/subreport_view.h"
#include "platform/messages.h"
#include "report/template_io.h"
#include "report_fixture.h"
#include "template_bytes.h"

namespace quor::test {
namespace {

const std::string kInvalid = "Неверный FRF формат";

BodyFields band(const std::string& name, int top, int kind, int flags = 0x30) {
    BodyFields f;
    f.name = name;
    f.top = top;
    f.width = 758;
    f.height = 18;
    f.flags = flags;
    f.frameTyp = kind;
    f.versionLow = 1;
    return f;
}

// A version-24 template with one page and two bands.
std::string twoBands() {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    writePage(b);
    writeBand(b, band("Title", 20, 0, 0x39));
    writeBand(b, band("Summary", 64, 1));
    writeEmptyDictionary(b);
    return b.str();
}

class TemplateReaderTest : public ReportTest {};

TEST_F(TemplateReaderTest, ReadsPagesBandsAndHeader) {
    load(twoBands());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    ASSERT_EQ(objectCount(), 2u);
    auto* title = dynamic_cast<TfrBandView*>(report_.FindView("title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Name, "Title");
    EXPECT_EQ(title->Top, 20);
    EXPECT_EQ(title->Flags, 0x39);
    EXPECT_EQ(title->bandKind(), kBandReportTitle);
    EXPECT_EQ(title->Columns, 1);
    EXPECT_EQ(title->ColumnWidth, 200);
    EXPECT_EQ(title->ColumnGap, 20);
    EXPECT_EQ(title->NewColumnAfter, 1);
    EXPECT_TRUE(report_.UseDefaultPrinter);
    EXPECT_FALSE(report_.TwoPass);
    EXPECT_EQ(report_.PrinterName, "Виртуальный принтер");
    EXPECT_EQ(report_.FindView("nothing"), nullptr);
    // Every object gets its own identifier, in reading order.
    EXPECT_LT(report_.TemplatePages[0].object(0)->ID, report_.TemplatePages[0].object(1)->ID);
}

TEST_F(TemplateReaderTest, EmptyStreamChangesNothing) {
    load(twoBands());
    load(std::string());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    EXPECT_EQ(objectCount(), 2u);
}

TEST_F(TemplateReaderTest, NewerVersionKeepsThePreviousTemplate) {
    load(twoBands());
    report_.Dictionary.variableList.push_back({" Cat", ""});
    std::string newer = twoBands();
    newer[0] = 25;
    load(newer);
    ASSERT_EQ(messages_.messages().size(), 1u);
    const MessageRequest& m = messages_.messages().front();
    EXPECT_EQ(m.text, kInvalid);
    EXPECT_EQ(m.caption, "Ошибка");
    EXPECT_EQ(m.icon, MessageIcon::Error);
    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    EXPECT_EQ(objectCount(), 2u);
    EXPECT_TRUE(report_.Dictionary.isEmpty());
}

TEST_F(TemplateReaderTest, DamageOutsideObjectsLeavesOneEmptyPage) {
    std::string invalidTag = twoBands();
    invalidTag.insert(invalidTag.size() - 15, 1, '\x20');  // before the dictionary

    TemplateBytes oldDictionary;
    writeHeader(oldDictionary, true, false, "\x01");
    writePage(oldDictionary);
    oldDictionary.u8(0xFE).u16(3).raw("abc");

    for (const std::string& bytes : {invalidTag, oldDictionary.str()}) {
        SCOPED_TRACE(bytes.size());
        messages_.clear();
        load(twoBands());
        load(bytes);
        EXPECT_EQ(shownText(), kInvalid);
        ASSERT_EQ(report_.TemplatePages.Count(), 1u);
        EXPECT_EQ(objectCount(), 0u);
        EXPECT_EQ(report_.FindView("Title"), nullptr);
        EXPECT_EQ(report_.TemplatePages[0].PaperSize, 9);
    }
}

TEST_F(TemplateReaderTest, DataSourceBlockEndsTheReading) {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    writePage(b);
    b.u8(0xFD).raw("anything at all");
    load(b.str());
    EXPECT_EQ(shownText(), "");
    EXPECT_EQ(report_.TemplatePages.Count(), 1u);
}

TEST_F(TemplateReaderTest, MissingClassesAreListedAfterTheWholeStream) {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    writePage(b);
    for (const char* cls : {"TfrChartView", "tfrIBXLookupControl"}) {
        b.u8(10).vtext(cls).u8(0);
        std::size_t end = b.placeholder();
        b.raw("body of an unknown class");
        b.patchEnd(end);
    }
    writeBand(b, band("Title", 20, 0));
    load(b.str());
    EXPECT_EQ(shownText(),
              "Report contains the following non-plugged components:\r"
              "TfrChartView\rTfrDBLookupControl\r"
              "You must include these components into your project.");
    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    ASSERT_EQ(objectCount(), 1u);
    EXPECT_EQ(report_.TemplatePages[0].object(0)->Name, "Title");
}

TEST_F(TemplateReaderTest, DamagedObjectRecordsCostOnlyThemselves) {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    writePage(b);
    // Kinds 5 to 9 create nothing.
    b.u8(7).u8(0);
    std::size_t end = b.placeholder();
    b.raw("ignored");
    b.patchEnd(end);
    // A page that does not exist.
    b.u8(2).u8(3);
    end = b.placeholder();
    b.raw("ignored too");
    b.patchEnd(end);
    // A body shorter than its end position says.
    b.u8(2).u8(0);
    end = b.placeholder();
    writeCommonBody(b, band("Short", 20, 0));
    b.text16("").i32(1).i32(200).i32(20).i32(1).text16("");
    b.raw(std::string(9, '\x5A'));
    b.patchEnd(end);
    writeBand(b, band("After", 64, 1));
    load(b.str());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(objectCount(), 2u);
    EXPECT_EQ(report_.TemplatePages[0].object(0)->Name, "Short");
    EXPECT_EQ(report_.TemplatePages[0].object(1)->Name, "After");
    EXPECT_EQ(report_.TemplatePages[0].object(1)->Top, 64);
}

TEST_F(TemplateReaderTest, EndPositionBehindTheRecordDoesNotLoop) {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    writePage(b);
    b.u8(2).u8(0).i32(0);  // points back to the start of the stream
    writeCommonBody(b, band("Back", 20, 0));
    b.text16("").i32(1).i32(200).i32(20).i32(1).text16("");
    writeBand(b, band("Next", 64, 1));
    load(b.str());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(objectCount(), 2u);
    EXPECT_EQ(report_.TemplatePages[0].object(1)->Name, "Next");
}

TEST_F(TemplateReaderTest, ObjectsOfEveryPageAndSubReports) {
    TemplateBytes b;
    writeHeader(b, false, true, "\x01");
    writePage(b);
    writePage(b, 9, 2970, 2100, 1);
    b.u8(3).u8(1);
    std::size_t end = b.placeholder();
    BodyFields sub;
    sub.name = "SubReport1";
    sub.left = 10;
    writeCommonBody(b, sub);
    b.i32(0);
    b.patchEnd(end);
    load(b.str());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(report_.TemplatePages.Count(), 2u);
    EXPECT_EQ(objectCount(0), 0u);
    ASSERT_EQ(objectCount(1), 1u);
    auto* view = dynamic_cast<TfrSubReportView*>(report_.TemplatePages[1].object(0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->SubPage, 0);
    EXPECT_EQ(view->Left, 10);
    EXPECT_TRUE(report_.TwoPass);
    EXPECT_FALSE(report_.UseDefaultPrinter);
    EXPECT_EQ(report_.TemplatePages[1].Orientation, 1);
    EXPECT_EQ(report_.TemplatePages[1].PaperWidth, 2970);
}

TEST_F(TemplateReaderTest, PageRecordReadings) {
    TemplateBytes b;
    writeHeader(b, true, false, "\x01");
    // Plain paper code form (no marker, so no script), with dialog fields
    // that the reader maps.
    auto page = [&](int borderStyle, int position) {
        b.u8(0xFF).i32(9).i32(2100).i32(2970);
        b.i32(11).i32(12).i32(13).i32(14).u8(0).i32(0xFFFF);
        b.flag16(true).flag16(false).i32(2).i32(7);
        b.u8(1).text16("Dialog").u8(borderStyle).text16("Caption").i32(0xFF);
        b.i32(1).i32(2).i32(3).i32(4).u8(position);
    };
    page(0, 0);
    page(1, 9);
    page(5, 4);
    load(b.str());
    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(report_.TemplatePages.Count(), 3u);
    const TfrPage& p = report_.TemplatePages[0];
    EXPECT_EQ(p.Margins, (PageMargins{11, 12, 13, 14}));
    EXPECT_TRUE(p.PrintToPrevPage);
    EXPECT_FALSE(p.UseMargins);
    EXPECT_EQ(p.Columns, 2);
    EXPECT_EQ(p.ColumnGap, 7);
    EXPECT_EQ(p.PageType, kDialogPage);
    EXPECT_EQ(p.Name, "Dialog");
    EXPECT_EQ(p.FormCaption, "Caption");
    EXPECT_EQ(p.FormColor, 0xFFu);
    EXPECT_EQ(p.FormLeft, 1);
    EXPECT_EQ(p.FormHeight, 4);
    EXPECT_EQ(p.FormBorderStyle, 3);
    EXPECT_EQ(p.FormPosition, 0);
    EXPECT_TRUE(p.Script.empty());
    EXPECT_EQ(report_.TemplatePages[1].FormBorderStyle, 2);
    EXPECT_EQ(report_.TemplatePages[1].FormPosition, 4);
    EXPECT_EQ(report_.TemplatePages[2].FormBorderStyle, 5);
}

// Streams of the older versions, as earlier programs wrote them.
class OlderVersionTest : public TemplateReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(OlderVersionTest, ReadsPagesAndViews) {
    const int version = GetParam();
    TemplateBytes b(version);
    writeHeader(b, false, false, "\x01", version > 21);
    writePage(b);
    writePage(b, 9, 2970, 2100, 1);
    BodyFields title = band("ReportTitle1", 20, 0, 0x39);
    title.memo = {"first", "", "third"};
    title.formatString = "fmt";
    for (int page : {0, 1}) {
        b.u8(2).u8(page);
        writeCommonBody(b, title);
    }
    b.u8(3).u8(0);
    writeCommonBody(b, BodyFields{});
    b.i32(1);
    writeEmptyDictionary(b);
    load(b.str());

    EXPECT_EQ(shownText(), "");
    ASSERT_EQ(report_.TemplatePages.Count(), 2u);
    const TfrPage& first = report_.TemplatePages[0];
    const TfrPage& second = report_.TemplatePages[1];
    EXPECT_EQ(first.Name, "Page1");
    EXPECT_EQ(second.Name, "Page2");
    EXPECT_EQ(first.Bin, 0xFFFF);
    EXPECT_EQ(first.FormCaption, "Form");
    EXPECT_EQ(first.FormColor, 0x8000000Fu);
    EXPECT_EQ(first.FormWidth, 380);
    EXPECT_EQ(first.FormPosition, 4);
    EXPECT_EQ(first.FormBorderStyle, 3);
    EXPECT_EQ(second.Orientation, 1);
    EXPECT_TRUE(first.UseMargins);
    EXPECT_EQ(first.Columns, 1);

    ASSERT_EQ(first.objectCount(), 2u);
    ASSERT_EQ(second.objectCount(), 1u);
    auto* view = dynamic_cast<TfrBandView*>(first.object(0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Name, version == 23 ? "ReportTitle1" : "Band1");
    EXPECT_EQ(view->Flags, 0x39);
    EXPECT_EQ(view->Top, 20);
    EXPECT_EQ(view->formatString, "fmt");
    EXPECT_EQ(view->Memo, (std::vector<std::string>{"first", "", "third"}));
    auto* sub = dynamic_cast<TfrSubReportView*>(first.object(1));
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->SubPage, 1);
    if (version < 23) {
        EXPECT_EQ(second.object(0)->Name, "Band2");
        EXPECT_EQ(sub->Name, "SubReport1");
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, OlderVersionTest, ::testing::Values(21, 22, 23));

TEST_F(TemplateReaderTest, EveryTruncationLoadsWithoutHarm) {
    const std::string whole = twoBands();
    for (std::size_t n = 1; n < whole.size(); ++n) {
        TfrReport report;
        load(report, whole.substr(0, n));
        EXPECT_LE(report.TemplatePages.Count(), 1u);
    }
}

}  // namespace
}  // namespace quor::test
