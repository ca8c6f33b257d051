#pragma once

// Code pages of document and template text. Text stays bytes everywhere in
// the system; it becomes Unicode only where it meets Qt (drawing, message
// boxes, file names), by the character set of the font it is shown with.
//
// The byte values 0x01-0x1F and 0x7F are never control codes here: they
// become the glyphs a DOS screen shows for them (smileys, card suits, arrows,
// the house), so that a tab or form feed is measured and drawn as one
// character of the font and nothing expands or swallows it.

#include <string>
#include <string_view>

class QString;

namespace quor {

enum class CodePage {
    Cp866, Cp1251, Cp1252,
    // The other DOS code pages a printout may be written in.
    Cp437, Cp737, Cp775, Cp850, Cp852, Cp855, Cp857, Cp860, Cp861, Cp862, Cp863, Cp865, Cp869,
};

// 255 (OEM) -> CP866; 204 (Russian) and 1 (default) -> CP1251; the
// character sets of ours for the other DOS code pages (charsetForDosCodePage)
// -> those pages; 0 (ANSI) and everything else -> CP1252.
CodePage codePageForCharset(int charset);

// The font character set that shows text of DOS code page `number` (437,
// 850, ...): 255 for 866, a value of ours (240-252, which no font system
// uses) for the others, so that the code page travels with the font into
// prepared pages. 0 for a number that is no DOS code page we know.
int charsetForDosCodePage(int number);

// The iconv name of a code page ("CP866", ...).
const char* codePageName(CodePage page);

// One UTF-16 unit per byte; bytes the code page lacks keep their value
// (0x98 of CP1251 becomes U+0098).
std::u16string bytesToUnicode(std::string_view bytes, CodePage page);
std::u16string bytesToUnicode(std::string_view bytes, int charset);
QString bytesToQString(std::string_view bytes, int charset);
std::string bytesToUtf8(std::string_view bytes, int charset);

// Back to bytes of the code page; a character the page cannot show becomes
// '?'. The DOS screen glyphs go back to their control bytes.
std::string unicodeToBytes(std::u16string_view text, CodePage page);
std::string qstringToBytes(const QString& text, int charset);

// The DOS screen glyph shown for a byte below 0x20 or 0x7F (0 for others).
char16_t dosScreenGlyph(unsigned char byte);

}  // namespace quor
