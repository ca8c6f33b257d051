// The DOS printer settings through the program binary: the prepared pages
// of the samples unchanged with every key at 0, pages begun by form feeds,
// the end mark, printer codes, code pages in the PDF and in saved pages,
// a 132-column ledger fitted to A4 portrait, and N lines a page.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRegularExpression>

#include "app/dos_printer.h"
#include "engine/memo_view.h"
#include "program_files.h"

namespace quor::test {
namespace {

const std::string kAllKeysOff =
    "FormFeed=0\r\nEndMark=0\r\nPrinterCodes=0\r\nCodePage=0\r\nFitWidth=0\r\nLinesPerPage=0\r\n";

std::string sample(const char* name) {
    QFile f(kSamples + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// "Line 0001" ... with CR LF, a form feed before every line in `feedsBefore`
// (1-based; a number repeated gives two form feeds).
std::string lines(int count, const std::vector<int>& feedsBefore = {}) {
    std::string text;
    for (int i = 1; i <= count + 1; ++i) {
        for (int f : feedsBefore)
            if (f == i) text += '\x0c';
        if (i <= count) text += "Line " + std::to_string(10000 + i).substr(1) + "\r\n";
    }
    return text;
}

QString lineName(int i) { return QString("Line %1").arg(i, 4, 10, QChar('0')); }

class DosPrinterProgramTest : public ProgramFilesTest {
protected:
    // The document's pages in the PDF, as pdftotext lays them out.
    std::vector<QStringList> pages(const std::string& document, const std::string& settingsBody) {
        QFile::remove(pdf());
        const ProgramRun run = print(document, settingsBody);
        EXPECT_EQ(run.exitCode, 0) << settingsBody << run.err.toStdString();
        return pdfPageLines(pdf());
    }
    // The prepared-report file of the document with these settings.
    QByteArray prepared(const std::string& document, const std::string& settingsBody,
                        const QString& name) {
        const ProgramRun run = print(document, settingsBody, {"--save-prepared", path(name)});
        EXPECT_EQ(run.exitCode, 0) << settingsBody << run.err.toStdString();
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The number of lines on each page.
    static std::vector<qsizetype> sizes(const std::vector<QStringList>& pages) {
        std::vector<qsizetype> out;
        for (const QStringList& p : pages) out.push_back(p.size());
        return out;
    }
};

TEST_F(DosPrinterProgramTest, EveryKeyAtZeroGivesTheSamePreparedPages) {
    for (const char* name :
         {"invoice.prn", "epson_ledger.prn", "cp437_inventory.prn", "ledger132.prn"}) {
        const std::string document = sample(name);
        const QByteArray absent = prepared(document, "", "absent.frp");
        ASSERT_FALSE(absent.isEmpty()) << name;
        EXPECT_EQ(prepared(document, kAllKeysOff, "zero.frp"), absent) << name;
    }
}

TEST_F(DosPrinterProgramTest, FormFeedsBeginPagesAsOnThePrinter) {
    // Every 60 lines, two in a row before line 121, one at the very end.
    const std::string document = lines(150, {61, 121, 121, 151});
    const std::vector<QStringList> fed = pages(document, "FormFeed=1\r\n");
    ASSERT_EQ(sizes(fed), (std::vector<qsizetype>{60, 60, 0, 30}));
    EXPECT_EQ(fed[0].front().trimmed(), lineName(1));
    EXPECT_EQ(fed[1].front().trimmed(), lineName(61));
    EXPECT_EQ(fed[3].front().trimmed(), lineName(121));
    EXPECT_EQ(fed[3].back().trimmed(), lineName(150));
    // Off: the form feeds are characters of their lines, the pages full.
    const std::vector<QStringList> plain = pages(document, "");
    ASSERT_EQ(sizes(plain), (std::vector<qsizetype>{67, 67, 17}));
    EXPECT_EQ(plain[0][60].trimmed(), QString::fromUtf8("♀") + lineName(61));
}

TEST_F(DosPrinterProgramTest, EndMarkDropsTheTrailingCtrlZ) {
    const std::string invoice = sample("invoice.prn");
    const std::vector<QStringList> kept = pages(invoice, "");
    const std::vector<QStringList> dropped = pages(invoice, "EndMark=1\r\n");
    ASSERT_FALSE(kept.empty());
    ASSERT_EQ(dropped.size(), kept.size());
    EXPECT_EQ(kept.back().back().trimmed(), QString::fromUtf8("→"));
    QStringList expected = kept.back();
    expected.removeLast();
    EXPECT_EQ(dropped.back(), expected);
}

TEST_F(DosPrinterProgramTest, PrinterCodesLeaveExactlyTheText) {
    const std::string graphics = std::string("\x1b*\x27\x04\x00", 5) +
                                 std::string("\r\n\0\x0c\x1a\x1b\xff\x10\x0d\x0a\x00\x00", 12);
    const std::string document = std::string(
                                     "\x1b@\x1bx\x01\x1b"
                                     "EBold title\x1b"
                                     "F\r\n") +
                                 "\x0f"
                                 "Condensed line\x12\r\n" +
                                 "\x1b"
                                 "3\x1aSpaced line\x1b"
                                 "2\r\n" +
                                 "Picture:" + graphics + " done\r\n" +
                                 std::string("\x1b-\x01Underlined\x1b-\x00\r\n", 18) +
                                 "\x1b(s0p16.67h8.5v0s0b3TPCL font\x1b"
                                 "E\r\n\x1a"
                                 "after the end\r\n";
    // A line spacing of 26/216 inch is no end mark.
    const std::vector<QStringList> text = pages(document, "PrinterCodes=1\r\nEndMark=1\r\n");
    ASSERT_EQ(text.size(), 1u);
    QStringList trimmed;
    for (const QString& line : text[0]) trimmed << line.trimmed();
    EXPECT_EQ(trimmed, QStringList({"Bold title", "Condensed line", "Spaced line", "Picture: done",
                                    "Underlined", "PCL font"}));

    // The Epson ledger with its codes, form feeds and end mark: three pages
    // of the program's 58 lines, each from its heading, no code drawn.
    const std::vector<QStringList> ledger = pages(
        sample("epson_ledger.prn"), "PrinterCodes=1\r\nFormFeed=1\r\nEndMark=1\r\nFitWidth=1\r\n");
    ASSERT_EQ(ledger.size(), 3u);
    for (std::size_t i = 0; i < ledger.size(); ++i) {
        EXPECT_TRUE(ledger[i].front().contains(QString::fromUtf8("Лист %1").arg(i + 1)))
            << ledger[i].front().toStdString();
        for (const QString& line : ledger[i])
            EXPECT_FALSE(line.contains(QString::fromUtf8("←")) ||
                         line.contains(QString::fromUtf8("☼")) ||
                         line.contains(QString::fromUtf8("→")))
                << line.toStdString();
    }
}

TEST_F(DosPrinterProgramTest, CodePagesShowTheirCharactersInThePdfAndInSavedPages) {
    struct Case {
        std::string key;
        int charset;
        const char* shown;
    };
    const Case cases[] = {
        {"", 255, "ДЬ╡╨"},
        {"CodePage=437\r\n", 240, "ä£╡╨"},
        {"CodePage=850\r\n", 243, "ä£Áð"},
        {"CodePage=1234\r\n", 255, "ДЬ╡╨"},
    };
    for (const Case& c : cases) {
        prepared("\x84\x9c\xb5\xd0\r\n", c.key, "pages.frp");
        const std::vector<QStringList> text = pdfPageLines(pdf());
        ASSERT_EQ(text.size(), 1u) << c.key;
        EXPECT_EQ(text[0].join('|').trimmed(), QString::fromUtf8(c.shown)) << c.key;
        // Opened again, the saved pages show the same characters.
        const ProgramRun reopened = runProgram({"--open-prepared", path("pages.frp"), "--pdf", path("again.pdf")});
        EXPECT_EQ(reopened.exitCode, 0) << reopened.err.toStdString();
        EXPECT_EQ(pdfPageLines(path("again.pdf")), text) << c.key;
        PreparedFile saved(path("pages.frp"));
        ASSERT_EQ(saved.count(), 1) << c.key;
        const auto* fm1 = dynamic_cast<const TfrMemoView*>(saved.view(0, "FM1"));
        ASSERT_NE(fm1, nullptr);
        EXPECT_EQ(fm1->Font.charset, c.charset) << c.key;
        ASSERT_FALSE(fm1->Memo.empty());
        EXPECT_EQ(bytesToUtf8(fm1->Memo[0].substr(0, 4), fm1->Font.charset), c.shown) << c.key;
    }
}

TEST_F(DosPrinterProgramTest, FitWidthPrintsA132ColumnLedgerWholeOnA4Portrait) {
    // Every printed line, without the blanks the PDF text tools space at will.
    auto squeezed = [](const std::vector<QStringList>& pages) {
        QStringList all;
        for (const QStringList& page : pages) all << page;
        return all.replaceInStrings(" ", "").filter(QRegularExpression("."));
    };
    const std::string ledger = sample("ledger132.prn");
    QStringList expected;
    for (const std::string& line : splitPrintout(ledger, false).lines)
        expected << QString::fromStdString(bytesToUtf8(line, 255));
    expected = squeezed({expected});
    EXPECT_NE(squeezed(pages(ledger, "")), expected);
    EXPECT_EQ(squeezed(pages(ledger, "FitWidth=1\r\n")), expected);

    // Lowered a point at a time to fit, never raised, never below 4 points.
    struct Case {
        std::string document;
        std::string settings;
        int pointSize;
    };
    const Case cases[] = {
        {ledger, "", 6},
        {"short\r\n", "", 10},
        {"short\r\n", "FontSize=14\r\n", 14},
        {"short\r\n", "FontSize=3\r\n", 3},
        {"a\r\n" + std::string(400, 'w') + "\r\n", "", 4},
    };
    for (const Case& c : cases) {
        prepared(c.document, "FitWidth=1\r\n" + c.settings, "fitted.frp");
        PreparedFile saved(path("fitted.frp"));
        ASSERT_GE(saved.count(), 1) << c.settings;
        const auto* fm1 = dynamic_cast<const TfrMemoView*>(saved.view(0, "FM1"));
        ASSERT_NE(fm1, nullptr);
        EXPECT_EQ(fm1->Font.pointSize, c.pointSize) << c.settings << c.document.size();
    }
}

TEST_F(DosPrinterProgramTest, LinesPerPageFillsEveryPageWithExactlyThatMany) {
    struct Case {
        std::string settings;
        std::vector<qsizetype> sizes;
    };
    const Case cases[] = {
        {"LinesPerPage=66\r\n", {66, 66, 66, 2}},
        {"LinesPerPage=72\r\nTextTop=0\r\n", {72, 72, 56}},
        {"LinesPerPage=60\r\nFontSize=12\r\n", {60, 60, 60, 20}},
        // Form feeds every 66 lines land where the page ends anyway.
        {"LinesPerPage=66\r\nFormFeed=1\r\n", {66, 66, 66, 2}},
        // More lines than the page can hold at all: the default spacing.
        {"LinesPerPage=5000\r\n", {67, 67, 66}},
    };
    for (const Case& c : cases) {
        const std::vector<QStringList> got = pages(lines(200, {67, 133, 199}), c.settings);
        EXPECT_EQ(sizes(got), c.sizes) << c.settings;
    }
}

}  // namespace
}  // namespace quor::test
