// The samples printed into a PDF put every glyph where the program always
// put it: tests/data/glyphs/ keeps the glyphs of each sample's PDF (codes as
// a hash per text block, origins in points), made with the shaping text
// path, and the PDF printed now must match within 0.01 pt.
// A reference is written with tests/helpers/pdf_glyphs (pdf_glyphs FILE.pdf).

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "program_run.h"
#include "support/pdf_glyphs.h"

namespace quor::test {
namespace {

const QString kSamples = QStringLiteral(QUOR_SOURCE_DIR "/samples/");
const QString kReferences = QStringLiteral(QUOR_SOURCE_DIR "/tests/data/glyphs/");

TEST(GlyphReference, SamplesPrintTheirGlyphsWhereTheyWere) {
    struct Case {
        const char* document;
        const char* settings;
        const char* reference;
    };
    const Case cases[] = {
        {"invoice.prn", "default.ini", "invoice.txt"},
        {"ledger132.prn", "landscape.ini", "ledger132-landscape.txt"},
        {"ledger132.prn", "default.ini", "ledger132.txt"},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reference);
        QFile file(kReferences + c.reference);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const std::vector<PdfTextBlock> want = readTextBlocks(file.readAll().toStdString());
        const QString pdf = dir.filePath("out.pdf");
        const ProgramRun run = runProgram({"--pdf", pdf, kSamples + c.document, kSamples + c.settings});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const std::vector<PdfTextBlock> got = pdfTextBlocks(pdf);
        ASSERT_FALSE(want.empty());
        ASSERT_EQ(got.size(), want.size());
        for (size_t b = 0; b < want.size(); ++b) {
            SCOPED_TRACE("block " + std::to_string(b));
            EXPECT_EQ(got[b].page, want[b].page);
            EXPECT_NEAR(got[b].fontSize, want[b].fontSize, 1e-3);
            EXPECT_EQ(got[b].glyphHash, want[b].glyphHash);
            ASSERT_EQ(got[b].x.size(), want[b].x.size());
            for (size_t i = 0; i < want[b].x.size(); ++i) {
                ASSERT_NEAR(got[b].x[i], want[b].x[i], 0.01) << i;
                ASSERT_NEAR(got[b].y[i], want[b].y[i], 0.01) << i;
            }
        }
    }
}

}  // namespace
}  // namespace quor::test
