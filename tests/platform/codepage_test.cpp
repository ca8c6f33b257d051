#include <gtest/gtest.h>

#include <QString>

#include "platform/codepage.h"

using namespace quor;

TEST(CodePage, CharsetsChooseTheirPages) {
    EXPECT_EQ(codePageForCharset(255), CodePage::Cp866);
    EXPECT_EQ(codePageForCharset(204), CodePage::Cp1251);
    EXPECT_EQ(codePageForCharset(1), CodePage::Cp1251);
    EXPECT_EQ(codePageForCharset(0), CodePage::Cp1252);
    EXPECT_EQ(codePageForCharset(186), CodePage::Cp1252);
}

TEST(CodePage, Cp866BytesArriveAsCyrillicAndBoxDrawing) {
    std::u16string u = bytesToUnicode("\x80\xA0\xE0\xF0\xC4\xDB\xB3\xFC", 255);
    EXPECT_EQ(u, u"\u0410\u0430\u0440\u0401\u2500\u2588\u2502\u2116");
    EXPECT_EQ(bytesToQString("\x8F\xE0\xA8\xA2\xA5\xE2", 255), QString::fromUtf8("Привет"));
}

TEST(CodePage, Cp1251AndCp1252) {
    EXPECT_EQ(bytesToUnicode("\xCF\xF0\xE8\xE2\xE5\xF2", 204), u"Привет");
    EXPECT_EQ(bytesToUnicode("\x80", 204), u"\u0402");
    // A byte the page lacks keeps its value instead of being lost.
    EXPECT_EQ(bytesToUnicode("\x98", 204), std::u16string(1, char16_t{0x98}));
    EXPECT_EQ(bytesToUnicode("\x80\xE9", 0), u"\u20AC\u00E9");
}

TEST(CodePage, ControlBytesBecomeDosScreenGlyphsInEveryPage) {
    for (int charset : {255, 204, 0}) {
        std::u16string u = bytesToUnicode(std::string("\x01\x09\x0A\x0C\x0D\x1B\x1F\x7F", 8), charset);
        EXPECT_EQ(u, u"\u263A\u25CB\u25D9\u2640\u266A\u2190\u25BC\u2302") << charset;
    }
    EXPECT_EQ(dosScreenGlyph(0x14), u'\u00B6');
    EXPECT_EQ(dosScreenGlyph(0x41), 0);
    EXPECT_EQ(bytesToUnicode(std::string(1, '\0'), 255), std::u16string(1, u'\0'));
}

TEST(CodePage, EveryCp866ByteGoesBackToItself) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(unicodeToBytes(bytesToUnicode(all, CodePage::Cp866), CodePage::Cp866), all);
    // CP1251 has a bullet of its own (0x95), which takes precedence over
    // the screen glyph of 0x07 on the way back.
    std::string text = all.substr(0x20);
    EXPECT_EQ(unicodeToBytes(bytesToUnicode(text, CodePage::Cp1251), CodePage::Cp1251), text);
    EXPECT_EQ(unicodeToBytes(bytesToUnicode("\x07", CodePage::Cp1251), CodePage::Cp1251), "\x95");
}

TEST(CodePage, BackToBytes) {
    EXPECT_EQ(qstringToBytes(QString::fromUtf8("Привет"), 255), "\x8F\xE0\xA8\xA2\xA5\xE2");
    // Typed control characters still mean their bytes; what a page lacks is '?'.
    EXPECT_EQ(unicodeToBytes(u"\t\u4E2D", CodePage::Cp866), "\t?");
    EXPECT_EQ(bytesToUtf8("\xCF", 204), "П");
}

TEST(CodePage, DosPagesTravelAsCharsetsOfOurOwn) {
    // Number, a byte, the character the page shows for it.
    struct Case {
        int number;
        unsigned char byte;
        char16_t shown;
    };
    const Case cases[] = {
        {437, 0x84, u'\u00E4'}, {437, 0x9C, u'\u00A3'}, {850, 0x9D, u'\u00D8'},
        {852, 0xA5, u'\u0105'}, {855, 0x80, u'\u0452'}, {857, 0x8D, u'\u0131'},
        {860, 0x84, u'\u00E3'}, {861, 0x8B, u'\u00D0'}, {862, 0x80, u'\u05D0'},
        {863, 0x84, u'\u00C2'}, {865, 0x9B, u'\u00F8'}, {869, 0xD6, u'\u03B1'},
        {737, 0x80, u'\u0391'}, {775, 0x80, u'\u0106'}, {866, 0x80, u'\u0410'},
    };
    for (const Case& c : cases) {
        const int charset = charsetForDosCodePage(c.number);
        ASSERT_NE(charset, 0) << c.number;
        const std::string byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(bytesToUnicode(byte, charset), std::u16string(1, c.shown)) << c.number;
        // Screen glyphs for control bytes in every page, and the way back.
        EXPECT_EQ(bytesToUnicode("\x0C", charset), u"\u2640") << c.number;
        EXPECT_EQ(unicodeToBytes(bytesToUnicode(byte, charset), codePageForCharset(charset)), byte)
            << c.number;
    }
    EXPECT_EQ(charsetForDosCodePage(866), 255);
    for (int unknown : {0, 1251, 864, -437})
        EXPECT_EQ(charsetForDosCodePage(unknown), 0) << unknown;
}
