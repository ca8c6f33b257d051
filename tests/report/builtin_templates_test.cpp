// The two built-in templates: every value of the tables, and round trips.

#include <gtest/gtest.h>

#include "builtin_expectations.h"
#include "engine/band_view.h"
#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "platform/error.h"
#include "report/builtin_templates.h"
#include "report_fixture.h"

namespace quor::test {
namespace {

class BuiltinTemplateTest : public ReportTest,
                            public ::testing::WithParamInterface<const ExpectedTemplate*> {};

void expectCommonFields(const TfrView& v) {
    EXPECT_EQ(v.objectVersionHigh, 2);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.0f);
    EXPECT_EQ(v.FrameColor, 0u);
    EXPECT_EQ(v.FrameStyle, 0);
    EXPECT_EQ(v.FillColor, 0x1FFFFFFFu);
    EXPECT_TRUE(v.Visible);
    EXPECT_EQ(v.Restrictions, 0);
    EXPECT_EQ(v.tagText, "");
    EXPECT_TRUE(v.Memo.empty());
    EXPECT_TRUE(v.scriptLines.empty());
    EXPECT_EQ(v.GapX, 2);
    EXPECT_EQ(v.GapY, 1);
    EXPECT_EQ(v.BandAlign, 0);
    EXPECT_EQ(v.formatString, "");
}

void expectObject(const TfrView& v, const ExpectedObject& e) {
    SCOPED_TRACE(e.name);
    EXPECT_EQ(v.Name, e.name);
    EXPECT_EQ(v.Left, e.left);
    EXPECT_EQ(v.Top, e.top);
    EXPECT_EQ(v.Width, e.width);
    EXPECT_EQ(v.Height, e.height);
    EXPECT_EQ(v.Flags, e.flags);
    expectCommonFields(v);
    switch (e.cls) {
    case ObjClass::Band: {
        auto* band = dynamic_cast<const TfrBandView*>(&v);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->objectKind, 2);
        EXPECT_EQ(band->FrameTyp, e.bandKind);
        EXPECT_EQ(band->objectVersionLow, 1);
        EXPECT_EQ(band->formatCode, 0);
        EXPECT_EQ(band->ChildBand, "");
        EXPECT_EQ(band->Master, "");
        EXPECT_EQ(band->Columns, 1);
        EXPECT_EQ(band->ColumnWidth, 200);
        EXPECT_EQ(band->ColumnGap, 20);
        EXPECT_EQ(band->NewColumnAfter, 1);
        break;
    }
    case ObjClass::Memo: {
        auto* memo = dynamic_cast<const TfrMemoView*>(&v);
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->objectKind, 0);
        EXPECT_EQ(memo->FrameTyp, 0);
        EXPECT_EQ(memo->objectVersionLow, 0);
        EXPECT_EQ(memo->formatCode, 558);
        EXPECT_EQ(memo->Font.name, "Arial");
        EXPECT_EQ(memo->Font.pointSize, 10);
        EXPECT_EQ(memo->Font.style, 0u);
        EXPECT_EQ(memo->Font.color, 0u);
        EXPECT_EQ(memo->Font.charset, 204);
        EXPECT_EQ(memo->Alignment, 0u);
        EXPECT_EQ(memo->highlightStyle, 2);
        EXPECT_EQ(memo->highlightColor, 0u);
        EXPECT_EQ(memo->highlightFill, 0x00FFFFFFu);
        EXPECT_EQ(memo->highlightCondition, "");
        EXPECT_EQ(memo->LineSpacing, 2);
        EXPECT_EQ(memo->CharSpacing, 0);
        break;
    }
    case ObjClass::Picture: {
        auto* pict = dynamic_cast<const TfrPictureView*>(&v);
        ASSERT_NE(pict, nullptr);
        EXPECT_EQ(pict->objectKind, 1);
        EXPECT_EQ(pict->FrameTyp, 0);
        EXPECT_EQ(pict->objectVersionLow, 0);
        EXPECT_EQ(pict->formatCode, 558);
        EXPECT_TRUE(pict->picture.isEmpty());
        EXPECT_EQ(pict->BlobType, 0);
        break;
    }
    }
}

TEST_P(BuiltinTemplateTest, HoldsEveryValueOfTheTables) {
    const ExpectedTemplate& t = *GetParam();
    const std::string bytes = openBuiltinTemplate(t.type, "QUOR");
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[0], 24);
    load(bytes);
    EXPECT_TRUE(messages_.messages().empty());

    EXPECT_TRUE(report_.UseDefaultPrinter);
    EXPECT_FALSE(report_.TwoPass);
    EXPECT_EQ(report_.PrinterName, "Виртуальный принтер");
    EXPECT_TRUE(report_.Dictionary.isEmpty());

    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    const TfrPage& page = report_.TemplatePages[0];
    EXPECT_EQ(page.PaperSize, 9);
    EXPECT_EQ(page.PaperWidth, t.paperWidth);
    EXPECT_EQ(page.PaperHeight, t.paperHeight);
    EXPECT_EQ(page.Orientation, t.orientation);
    EXPECT_EQ(page.Margins, (PageMargins{0, 0, 0, 0}));
    EXPECT_EQ(page.Bin, 0xFFFF);
    EXPECT_FALSE(page.PrintToPrevPage);
    EXPECT_TRUE(page.UseMargins);
    EXPECT_EQ(page.Columns, 0);
    EXPECT_EQ(page.ColumnGap, 0);
    EXPECT_EQ(page.PageType, 0);
    EXPECT_EQ(page.Name, "");
    EXPECT_TRUE(page.Script.empty());
    EXPECT_EQ(page.FormBorderStyle, 3);
    EXPECT_EQ(page.FormCaption, "Form");
    EXPECT_EQ(page.FormColor, 0x8000000Fu);
    EXPECT_EQ(page.FormLeft, 220);
    EXPECT_EQ(page.FormTop, 120);
    EXPECT_EQ(page.FormWidth, 380);
    EXPECT_EQ(page.FormHeight, 300);
    EXPECT_EQ(page.FormPosition, 4);

    ASSERT_EQ(page.objectCount(), t.objects.size());
    for (std::size_t i = 0; i < t.objects.size(); ++i) expectObject(*page.object(i), t.objects[i]);
}

TEST_P(BuiltinTemplateTest, SavingAndLoadingGivesTheSameReport) {
    load(openBuiltinTemplate(GetParam()->type, "QUOR"));
    const std::string saved = save(report_);
    TfrReport copy;
    load(copy, saved);
    EXPECT_TRUE(messages_.messages().empty());
    EXPECT_EQ(save(copy), saved);
    ASSERT_EQ(copy.TemplatePages.Count(), 1u);
    const TfrPage& page = copy.TemplatePages[0];
    ASSERT_EQ(page.objectCount(), GetParam()->objects.size());
    for (std::size_t i = 0; i < page.objectCount(); ++i) {
        expectObject(*page.object(i), GetParam()->objects[i]);
        EXPECT_NE(page.object(i)->ID, report_.TemplatePages[0].object(i)->ID);
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, BuiltinTemplateTest, ::testing::Values(&kPortrait, &kLandscape),
                         [](const auto& info) { return info.param->type; });

TEST_F(ReportTest, PortraitTemplateFindsItsObjectsByName) {
    load(openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName));
    ASSERT_EQ(report_.TemplatePages.Count(), 1u);
    EXPECT_EQ(report_.TemplatePages[0].objectCount(), 8u);
    TfrView* fm1 = report_.FindView("fm1");
    ASSERT_NE(fm1, nullptr);
    EXPECT_EQ(fm1->Name, "FM1");
    EXPECT_NE(dynamic_cast<TfrMemoView*>(fm1), nullptr);
    EXPECT_NE(dynamic_cast<TfrPictureView*>(report_.FindView("FPBP")), nullptr);
    EXPECT_EQ(report_.FindView("FM2"), nullptr);
    EXPECT_EQ(report_.FindView(""), nullptr);
}

TEST_F(ReportTest, UnknownBuiltinTemplateRaises) {
    EXPECT_THROW(openBuiltinTemplate("DOKUMX", "QUOR"), Error);
}

TEST_F(ReportTest, ChangesBeforeSavingSurviveTheRoundTrip) {
    load(openBuiltinTemplate(kLandscapeTemplateType, kBuiltinTemplateName));
    auto* fm1 = dynamic_cast<TfrMemoView*>(report_.FindView("FM1"));
    ASSERT_NE(fm1, nullptr);
    fm1->Memo = {"line one", "", "\x0C" "after a form feed"};
    fm1->Font.charset = 255;
    fm1->Left = 36;
    report_.TemplatePages[0].Margins.top = 36;
    TfrReport copy;
    load(copy, save(report_));
    auto* again = dynamic_cast<TfrMemoView*>(copy.FindView("FM1"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Memo, fm1->Memo);
    EXPECT_EQ(again->Font.charset, 255);
    EXPECT_EQ(again->Left, 36);
    EXPECT_EQ(copy.TemplatePages[0].Margins.top, 36);
}

}  // namespace
}  // namespace quor::test
