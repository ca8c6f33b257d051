// Lines measured and drawn from a font's byte table must come out exactly as
// the shaped text did: the same widths, the same pixels on an image and the
// same glyphs at the same places in a PDF. Fonts or lines the table cannot
// serve (ligatures, bytes only a fallback font has, right-to-left order)
// take the shaping way.

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <string>

#include "platform/codepage.h"
#include "platform/font_measurer.h"
#include "platform/numbers.h"
#include "platform/qpainter_canvas.h"
#include "support/pdf_glyphs.h"

using namespace quor;

namespace {

QImage image96(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    const int dpm = roundInt(96 / 0.0254);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    return img;
}

FontSpec fontOf(const char* name, int height, int charset = kOemCharset, unsigned style = 0) {
    FontSpec f;
    f.name = name;
    f.height = height;
    f.charset = charset;
    f.style = style;
    return f;
}

// Printable bytes of every kind (Latin, Cyrillic, box drawing, DOS glyphs
// for control bytes), with spaces, from a fixed seed.
std::string randomLine(std::mt19937& rng, size_t length) {
    std::uniform_int_distribution<int> byte(1, 255);
    std::string s;
    for (size_t i = 0; i < length; ++i) {
        const int b = byte(rng);
        s += static_cast<char>(b == 10 || b == 13 || b % 7 == 0 ? ' ' : b);
    }
    return s;
}

bool haveFamily(const QString& family) { return QFontDatabase::families().contains(family); }

}  // namespace

TEST(FontTable, TableWidthsAreTheShapedWidths) {
    QImage img = image96(8, 8);
    struct Case {
        const char* font;
        int charset;
        int height;
        int extra;
    };
    const Case cases[] = {
        {"Courier New", kOemCharset, -13, 0},     {"Courier New", kOemCharset, -83, 0},
        {"Courier New", kRussianCharset, -13, 3}, {"Arial", kOemCharset, -13, 0},
        {"Arial", kRussianCharset, -17, 1},       {"Arial", kAnsiCharset, -83, 2},
        {"Times New Roman", kOemCharset, -13, 0}, {"Times New Roman", kRussianCharset, -16, -1},
    };
    std::mt19937 rng(19);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.font) + " charset " + std::to_string(c.charset) + " height " +
                     std::to_string(c.height) + " extra " + std::to_string(c.extra));
        FontMeasurer m(&img, 96);
        m.setFont(fontOf(c.font, c.height, c.charset));
        ASSERT_TRUE(m.table().simple());
        int fromTable = 0;
        for (int i = 0; i < 200; ++i) {
            const std::string line = randomLine(rng, static_cast<size_t>(i % 97));
            fromTable += m.table().covers(line);
            const double shaped = m.advance(m.toQString(line));
            ASSERT_EQ(m.advance(line), shaped) << i;
            ASSERT_EQ(m.textWidth(line, c.extra), roundInt(shaped + c.extra * static_cast<double>(line.size())));
        }
        EXPECT_GT(fromTable, 50);
    }
}

TEST(FontTable, LigaturesAndMissingCharactersGoTheShapingWay) {
    QImage img = image96(8, 8);
    struct Case {
        const char* font;
        int charset;
        std::string text;
        bool simple;
    };
    const Case cases[] = {
        // "ff" and "fi" become one glyph: the whole font is shaped.
        {"DejaVu Sans", kAnsiCharset, "office affairs", false},
        // CP1251 has no 0x98: it stays U+0098, a control the shaper handles.
        {"Arial", kRussianCharset, "a\x98z", true},
        // The soft hyphen vanishes when shaped.
        {"Arial", kAnsiCharset, "co\xADop", true},
        // NUL is not a glyph.
        {"Courier New", kOemCharset, std::string("a\0b", 3), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.font);
        FontMeasurer m(&img, 96);
        m.setFont(fontOf(c.font, -13, c.charset));
        EXPECT_EQ(m.table().simple(), c.simple);
        EXPECT_FALSE(m.table().covers(c.text));
        EXPECT_EQ(m.advance(c.text), m.advance(m.toQString(c.text)));
    }
}

namespace {

// One line drawn on a canvas: the font, spacing and justification set, then
// textOut with the options.
struct DrawCase {
    const char* name;
    FontSpec font;
    int extra = 0;
    int justify = 0;
    unsigned options = 0;
    std::string text;
};

std::vector<DrawCase> drawCases() {
    const std::string cp866 = unicodeToBytes(u"║ Счёт N 17 │ Бумага А4, 500 л. │ 2088.24 ║ ☺♪▲", CodePage::Cp866);
    const std::string cp1251 = unicodeToBytes(u"Покупатель: АО \"Речной порт\", г. Череповец", CodePage::Cp1251);
    auto turned = fontOf("Courier New", -13);
    turned.escapement = 900;
    std::vector<DrawCase> cases = {
        {"mono", fontOf("Courier New", -13), 0, 0, 0, cp866},
        {"spacing", fontOf("Courier New", -13), 2, 0, 0, cp866},
        {"justified", fontOf("Arial", -13, kRussianCharset), 0, 23, 0, cp1251},
        {"justified narrower", fontOf("Times New Roman", -16, kRussianCharset), 1, -9, 0, cp1251},
        {"bold", fontOf("Courier New", -13, kOemCharset, kFontBold), 0, 0, 0, cp866},
        {"italic", fontOf("Arial", -13, kRussianCharset, kFontItalic), 0, 0, 0, cp1251},
        {"underline", fontOf("Courier New", -13, kOemCharset, kFontUnderline), 0, 0, 0, cp866},
        {"strike-out", fontOf("Arial", -13, kRussianCharset, kFontStrikeOut), 0, 11, 0, cp1251},
        {"turned", turned, 1, 0, 0, cp866},
        {"right to left", fontOf("Arial", -13, kRussianCharset), 0, 0, kTextRtlReading, cp1251},
        {"printer size", fontOf("Courier New", -83), 0, 0, 0, cp866},
        {"opaque and clipped", fontOf("Courier New", -13), 0, 0, kTextOpaque | kTextClipped, cp866},
    };
    // A face without a bold or italic style of its own is emboldened and
    // slanted by the font engine.
    if (haveFamily("DejaVu Math TeX Gyre")) {
        cases.push_back({"synthesized bold italic",
                         fontOf("DejaVu Math TeX Gyre", -13, kAnsiCharset, kFontBold | kFontItalic), 0, 0, 0,
                         "Synthesized 0123 (bold) & italic"});
    }
    return cases;
}

void drawCase(QPainterCanvas& canvas, const DrawCase& c, bool fromTables) {
    canvas.drawTextFromTables(fromTables);
    canvas.setFont(c.font);
    canvas.setTextCharacterExtra(c.extra);
    canvas.setBackgroundMode((c.options & kTextOpaque) ? BackgroundMode::Opaque : BackgroundMode::Transparent);
    canvas.setBackgroundColor(makeColor(255, 255, 0));
    int spaces = 0;
    for (char ch : c.text) spaces += ch == ' ';
    canvas.setTextJustification(c.justify, spaces);
    const Rect clip{30, 20, 300, 560};
    canvas.textOut(40, c.font.escapement ? 520 : 40, c.text, &clip, c.options);
}

}  // namespace

TEST(FontTable, GlyphRunsDrawTheShapedPixels) {
    for (const DrawCase& c : drawCases()) {
        SCOPED_TRACE(c.name);
        QImage shaped = image96(640, 600), table = image96(640, 600);
        {
            QPainterCanvas canvas(&shaped);
            drawCase(canvas, c, false);
        }
        {
            QPainterCanvas canvas(&table);
            drawCase(canvas, c, true);
        }
        EXPECT_NE(shaped, image96(640, 600));
        EXPECT_EQ(table, shaped);
    }
}

TEST(FontTable, GlyphRunsPutTheShapedGlyphsIntoAPdf) {
    QTemporaryDir dir;
    const auto print = [&](const QString& name, const DrawCase& c, bool fromTables) {
        const QString path = dir.filePath(name);
        QPdfWriter writer(path);
        writer.setResolution(600);
        {
            QPainterCanvas canvas(&writer, true);
            drawCase(canvas, c, fromTables);
        }
        return test::pdfTextBlocks(path);
    };
    for (DrawCase c : drawCases()) {
        SCOPED_TRACE(c.name);
        c.font.height *= 6;  // about the same size at 600 dpi
        const auto table = print("table.pdf", c, true);
        ASSERT_FALSE(table.empty());
        if (c.extra != 0) {
            // Qt spreads letter spacing by the printer's scale when it
            // shapes; the table places each glyph where it was measured.
            QPdfWriter writer(dir.filePath("measure.pdf"));
            writer.setResolution(600);
            FontMeasurer m(&writer, 600);
            m.setFont(c.font);
            const std::string first = c.justify ? c.text.substr(0, c.text.find(' ')) : c.text;
            const double step = (m.advance(first.substr(0, first.size() - 1)) +
                                 c.extra * static_cast<double>(first.size() - 1)) * 72.0 / 600;
            const auto& line = table.front();
            EXPECT_NEAR(std::hypot(line.x[first.size() - 1] - line.x[0], line.y[first.size() - 1] - line.y[0]), step,
                        0.01);
            continue;
        }
        const auto shaped = print("shaped.pdf", c, false);
        ASSERT_EQ(table.size(), shaped.size());
        for (size_t b = 0; b < shaped.size(); ++b) {
            EXPECT_EQ(table[b].glyphs, shaped[b].glyphs);
            ASSERT_EQ(table[b].x.size(), shaped[b].x.size());
            for (size_t i = 0; i < shaped[b].x.size(); ++i) {
                EXPECT_NEAR(table[b].x[i], shaped[b].x[i], 0.01);
                EXPECT_NEAR(table[b].y[i], shaped[b].y[i], 0.01);
            }
        }
    }
}
