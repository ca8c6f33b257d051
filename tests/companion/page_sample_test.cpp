// The dialog's page is laid out by the print job itself: the lines a page
// holds there are the lines the print job puts on a page.

#include "companion/page_sample.h"

#include "app/print_job.h"
#include "companion/settings_keys.h"
#include "engine/memo_view.h"
#include "companion_fixture.h"

namespace quor::test {
namespace {

class PageSampleTest : public CompanionTest {
protected:
    // Lines on the first page when the print job prints `lineCount` lines.
    int printJobLinesPerPage(const std::string& settings, int lineCount) {
        std::string document;
        for (int i = 0; i < lineCount; ++i) document += "line " + std::to_string(i) + "\r\n";
        TFormStorage fs("TfQuorPrint");
        fs.setIniSection(kSettingsSection);
        QuorPrintJob job(fs);
        job.output = JobOutput::none;
        EXPECT_TRUE(job.QuorDocumentPrint(write("long.prn", document), settings));
        TfrEMFPages& pages = job.report().PreparedPages;
        EXPECT_GE(pages.Count(), 2);
        pages.Unpack(0);
        return static_cast<int>(dynamic_cast<TfrMemoView&>(*pages.Item(0).Page->FindView("FM1")).Memo.size());
    }
};

TEST_F(PageSampleTest, LinesPerPageAreThePrintJobsForShortAndLongSamples) {
    const char* settings[] = {
        "", "FontSize=14\nTextX=0\n", "Orientation=1\n", "TextTop=150,9\nFontSize=8\n",
        "FontName=Liberation Serif\nFontSize=12\nTextX=5\nPicture1Show=3\n",
    };
    const std::vector<std::string> invoice = documentSample("");
    ASSERT_GT(invoice.size(), 20u);
    for (const char* s : settings) {
        const std::string ini = write("s.ini", std::string("[Quor Print]\n") + s);
        const int expected = printJobLinesPerPage(ini, 600);
        // The invoice ends on page 1; a long document runs on.
        for (const auto& lines : {invoice, std::vector<std::string>(500, "x")}) {
            PageSampler sampler(lines);
            const PageSample sample = sampler.sample(ini, 200);
            EXPECT_EQ(sample.error, "") << s;
            EXPECT_EQ(sample.linesPerPage, expected) << s << " with " << lines.size() << " lines";
            EXPECT_EQ(sample.page.width(), 200) << s;
            EXPECT_GT(sample.page.height(), 0) << s;
        }
    }
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(PageSampleTest, ErrorsBecomeTheCaptionAndNoBoxIsShown) {
    const std::pair<std::string, std::string> cases[] = {
        {"TextLeft=abc\n", "'abc' is not a valid floating point value"},
        {"Picture1Show=1\nPicture1=/nowhere/logo.bmp\n", "Cannot open file /nowhere/logo.bmp"},
    };
    for (const auto& [settings, error] : cases) {
        PageSampler sampler({"text"});
        const PageSample sample = sampler.sample(write("bad.ini", "[Quor Print]\n" + settings), 100);
        EXPECT_EQ(sample.error, error);
        EXPECT_TRUE(sample.page.isNull());
    }
    // An unknown name in brackets stops the engine's build.
    PageSampler brackets({"total [NoSuchThing]"});
    const PageSample sample = brackets.sample(write("ok.ini", "[Quor Print]\n"), 100);
    EXPECT_FALSE(sample.error.empty());
    EXPECT_TRUE(messages_.messages().empty());
}

TEST_F(PageSampleTest, SampleIsTheDocumentsBeginningWithWholeLines) {
    std::string big;
    for (int i = 0; i < 5000; ++i) big += "0123456789 line of a long document\r\n";
    const std::vector<std::string> lines = documentSample(write("big.prn", big));
    ASSERT_FALSE(lines.empty());
    EXPECT_LE(lines.size(), 400u);
    EXPECT_EQ(lines.back(), "0123456789 line of a long document");
    EXPECT_EQ(documentSample(write("short.prn", "a\r\nb")), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(documentSample(path("missing.prn")), documentSample(""));
}

}  // namespace
}  // namespace quor::test
