// The program binary run unattended: a DOS print file into a PDF (checked
// with the poppler tools), prepared pages saved and read back, logos on the
// pages, and every failure as a message on standard error with exit 1 and
// no output file.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <string>

#include "engine/picture_view.h"
#include "engine/stream.h"
#include "device/printer_device.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "program_files.h"
#include "report/report.h"
#include "support/qt_printers.h"

namespace quor::test {
namespace {

class UnattendedTest : public ProgramFilesTest {};

TEST_F(UnattendedTest, EmptySettingsPrintA4PortraitWith67LinesPerPageInTheDosCodePage) {
    const ProgramRun run = print(numberedLines(150), "");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(pdfInfoField(pdf(), "Pages"), "3");
    EXPECT_TRUE(pdfInfoField(pdf(), "Page size").startsWith("595 x 842"))
        << pdfInfoField(pdf(), "Page size").toStdString();
    EXPECT_EQ(pdfInfoField(pdf(), "Title"), path("doc.prn"));
    const std::vector<QStringList> pages = pdfPageLines(pdf());
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 67);
    EXPECT_EQ(pages[1].size(), 67);
    EXPECT_EQ(pages[2].size(), 16);
    EXPECT_EQ(pages[0][0].trimmed(), "║ Строка 1001 │ Привет ═══ ║");
    EXPECT_EQ(pages[1][0].trimmed(), "║ Строка 1068 │ Привет ═══ ║");
    EXPECT_EQ(pages[2].back().trimmed(), "║ Строка 1150 │ Привет ═══ ║");
    EXPECT_EQ(files(), QStringList({"doc.prn", "out.pdf", "settings.ini"}));
}

TEST_F(UnattendedTest, OrientationChoosesTheTemplate) {
    for (const auto& [value, size] : {std::pair{"1", "842 x 595"}, std::pair{"2", "595 x 842"}}) {
        const ProgramRun run = print("text\r\n", std::string("Orientation=") + value + "\r\n");
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(pdfInfoField(pdf(), "Page size").startsWith(size)) << value;
    }
}

TEST_F(UnattendedTest, PreviewHasNoEffectAndEmptyOrCutDocumentsStillPrint) {
    // "Preview" in any spelling prints here; an empty document gives its page.
    for (const char* preview : {"true", "TRUE", "True"}) {
        QFile::remove(pdf());
        const ProgramRun run = print("", std::string("Preview=") + preview + "\r\n");
        EXPECT_EQ(run.exitCode, 0) << preview << run.err.toStdString();
        EXPECT_EQ(pdfInfoField(pdf(), "Pages"), "1") << preview;
    }
    // A byte 0 ends the text.
    const ProgramRun run = print(std::string("before\r\nkept\0after\r\nlost\r\n", 25), "");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::vector<QStringList> pages = pdfPageLines(pdf());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], QStringList({"before", "kept"}));
}

// Left, Top, Width, Height.
using Box = std::array<int, 4>;
Box box(const TfrView* v) { return {v->Left, v->Top, v->Width, v->Height}; }

TEST_F(UnattendedTest, NumbersTakeEitherDecimalMarkAndSavedPagesMatchThePdf) {
    for (const char* left : {"12,7", "12.7"}) {
        const ProgramRun run = print(numberedLines(3), std::string("TextLeft=") + left + "\r\nTextTop=50\r\n",
                                     {"--save-prepared", path("pages.frp")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        PreparedFile pages(path("pages.frp"));
        ASSERT_EQ(pages.count(), 1);
        TfrView* fm1 = pages.view(0, "FM1");
        ASSERT_NE(fm1, nullptr);
        EXPECT_EQ(fm1->Left, 12) << left;
        EXPECT_EQ(fm1->Top, 54) << left;
    }
    // Alone, the option builds and saves without printing.
    QFile::remove(pdf());
    const ProgramRun run = runProgram({"--save-prepared", path("alone.frp"), path("doc.prn"), path("settings.ini")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PreparedFile(path("alone.frp")).count(), 1);
    EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(UnattendedTest, LogosArePlacedAsTheSettingsSay) {
    const std::string logo = "Picture1=" + (kSamples + "logo.bmp").toStdString() + "\r\n";
    const std::string stamp = "Picture2=" + (kSamples + "stamp.jpg").toStdString() + "\r\n";
    struct Case {
        std::string settings;
        std::vector<int> images;  // per page of three
    };
    const Case cases[] = {
        {"", {0, 0, 0}},
        {"Picture1Show=1\r\n" + logo, {1, 0, 0}},
        {"Picture1Show=2\r\n" + logo, {1, 1, 1}},
        {"Picture2Show=1\r\n" + stamp, {0, 0, 1}},
        {"Picture2Show=2\r\n" + stamp, {1, 1, 1}},
        {"Picture1Show=2\r\nPicture2Show=2\r\n" + logo + stamp, {2, 2, 2}},
        {"Picture1Show=3\r\nPicture2Show=3\r\n" + logo + stamp, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        QFile::remove(pdf());
        const ProgramRun run = print(numberedLines(150), c.settings);
        ASSERT_EQ(run.exitCode, 0) << c.settings << run.err.toStdString();
        EXPECT_EQ(pdfImagesPerPage(pdf(), 3), c.images) << c.settings;
    }

    // Geometry on the prepared pages: logo 1 in the title band's first row,
    // logo 2 on every page from the page's top.
    const ProgramRun run = print(numberedLines(150),
                                 "Picture1Show=1\r\nPicture2Show=2\r\nPic1Left=100,9\r\nPic1X=200\r\nPic1Y=30\r\n"
                                 "Pic2Left=500\r\nPic2Top=900\r\nPic2X=150\r\nPic2Y=60\r\n" +
                                     logo + stamp,
                                 {"--save-prepared", path("pages.frp")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    PreparedFile pages(path("pages.frp"));
    ASSERT_EQ(pages.count(), 3);
    TfrView* fpt = pages.view(0, "FPT");
    ASSERT_NE(fpt, nullptr);
    EXPECT_EQ(box(fpt), (Box{100, pages.view(0, "FM1")->Top, 200, 30}));
    for (int i = 0; i < 3; ++i) {
        TfrView* fpbp = pages.view(i, "FPBP");
        ASSERT_NE(fpbp, nullptr) << i;
        EXPECT_EQ(box(fpbp), (Box{500, 900, 150, 60})) << i;
    }
    EXPECT_EQ(pages.view(1, "FPT"), nullptr);
    EXPECT_EQ(pages.view(2, "FPB"), nullptr);

    // The other way round: logo 1 on every page, logo 2 once after the text.
    const ProgramRun swapped = print(numberedLines(150),
                                     "Picture1Show=2\r\nPicture2Show=1\r\nPic1Left=30\r\nPic1Top=5\r\n"
                                     "Pic2Left=400\r\nPic2X=100\r\nPic2Y=80\r\n" +
                                         logo + stamp,
                                     {"--save-prepared", path("swapped.frp")});
    ASSERT_EQ(swapped.exitCode, 0) << swapped.err.toStdString();
    PreparedFile other(path("swapped.frp"));
    ASSERT_EQ(other.count(), 3);
    for (int i = 0; i < 3; ++i) {
        TfrView* fptp = other.view(i, "FPTP");
        ASSERT_NE(fptp, nullptr) << i;
        EXPECT_EQ(box(fptp), (Box{30, 5, 360, 54})) << i;
    }
    TfrView* fpb = other.view(2, "FPB");
    ASSERT_NE(fpb, nullptr);
    const TfrView* text = other.view(2, "FM1");
    EXPECT_EQ(box(fpb), (Box{400, fpb->Top, 100, 80}));
    EXPECT_GE(fpb->Top, text->Top + text->Height);
}

TEST_F(UnattendedTest, FailuresGoToStandardErrorAndLeaveNoOutput) {
    struct Case {
        std::string document;
        std::string settings;
        QString expected;  // on standard error
    };
    const QString missing = path("missing.bmp");
    const Case cases[] = {
        {"one\r\n[NoSuchThing] two\r\n", "",
         "Ошибка\n" + QString::fromStdString(message(kMsgBuildError)) + "\none\n[NoSuchThing] two\n"},
        {"text\r\n", "Picture1Show=1\r\nPicture1=" + missing.toStdString() + "\r\n",
         "Quor Print\nCannot open file " + missing + "\n"},
        {"text\r\n", "Picture2Show=2\r\n", "Quor Print\nUnknown picture file extension (.)\n"},
        {"text\r\n", "TextX=two\r\n", "Quor Print\n'two' is not a valid floating point value\n"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = print(c.document, c.settings);
        EXPECT_EQ(run.exitCode, 1) << c.settings;
        EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
        EXPECT_EQ(files(), QStringList({"doc.prn", "settings.ini"})) << c.settings;
    }
    // A missing document.
    const ProgramRun run = runProgram({"--pdf", pdf(), path("nothing.prn"), settings("")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Cannot open file " + path("nothing.prn"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(UnattendedTest, BuildErrorNamesTheDocumentLinesInUnicode) {
    const ProgramRun run = print(cp866(u"Итого: [СУММА") + "\r\n", "");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("Ошибка\n")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("\nИтого: [СУММА\n")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains('\r'));
    EXPECT_FALSE(QFile::exists(pdf()));
}

TEST_F(UnattendedTest, CommandLineMistakesExitWithTwo) {
    const QString doc = write("doc.prn", "x\r\n");
    for (const QStringList& args : {QStringList{"--pdf"}, QStringList{"--pdf", pdf()}, QStringList{"--bogus", doc},
                                    QStringList{"--pdf", pdf(), "--printer", "PDF", doc},
                                    QStringList{"--pdf", pdf(), doc, "a.ini", "b.ini"}}) {
        const ProgramRun run = runProgram(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("--help")) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf()));
    const ProgramRun help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--save-prepared FILE"));
    const ProgramRun version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quorprn " QUOR_VERSION "\n");
}

TEST_F(UnattendedTest, AnUnwritableTargetFailsWithoutALeftover) {
    const ProgramRun run = runProgram({"--pdf", path("no/such/folder/out.pdf"), write("doc.prn", "x\r\n")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Cannot create the file")) << run.err.toStdString();
    EXPECT_EQ(files(), QStringList({"doc.prn"}));
}

}  // namespace
}  // namespace quor::test
