#include "platform/codepage.h"

#include <QString>

#include <array>
#include <cerrno>
#include <iconv.h>
#include <unordered_map>
#include <vector>

namespace quor {
namespace {

// What a DOS screen shows for the bytes 0x01-0x1F; 0x00 stays as it is.
constexpr std::array<char16_t, 32> kLowGlyphs = {
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  // . ☺ ☻ ♥ ♦ ♣ ♠ •
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  // ◘ ○ ◙ ♂ ♀ ♪ ♫ ☼
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  // ► ◄ ↕ ‼ ¶ § ▬ ↨
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  // ↑ ↓ → ← ∟ ↔ ▲ ▼
};
constexpr char16_t kHouseGlyph = 0x2302;  // ⌂ for 0x7F

// Every code page: its iconv name and the character set that selects it.
struct PageInfo {
    CodePage page;
    const char* name;
    int dosNumber;  // 0 for the Windows pages
    int charset;    // 0 where several character sets or none select it
};

constexpr std::array<PageInfo, 16> kPages = {{
    {CodePage::Cp866, "CP866", 866, 255},
    {CodePage::Cp1251, "CP1251", 0, 0},
    {CodePage::Cp1252, "CP1252", 0, 0},
    // Our own character sets for the other DOS pages, in the range 240-252
    // that no font system gives a meaning.
    {CodePage::Cp437, "CP437", 437, 240},
    {CodePage::Cp737, "CP737", 737, 241},
    {CodePage::Cp775, "CP775", 775, 242},
    {CodePage::Cp850, "CP850", 850, 243},
    {CodePage::Cp852, "CP852", 852, 244},
    {CodePage::Cp855, "CP855", 855, 245},
    {CodePage::Cp857, "CP857", 857, 246},
    {CodePage::Cp860, "CP860", 860, 247},
    {CodePage::Cp861, "CP861", 861, 248},
    {CodePage::Cp862, "CP862", 862, 249},
    {CodePage::Cp863, "CP863", 863, 250},
    {CodePage::Cp865, "CP865", 865, 251},
    {CodePage::Cp869, "CP869", 869, 252},
}};

constexpr bool inEnumOrder() {
    for (std::size_t i = 0; i < kPages.size(); ++i)
        if (static_cast<std::size_t>(kPages[i].page) != i) return false;
    return true;
}
static_assert(inEnumOrder(), "kPages lists the code pages in the order of CodePage");

const PageInfo& info(CodePage page) { return kPages[static_cast<std::size_t>(page)]; }

struct Table {
    std::array<char16_t, 256> toUnicode{};
    std::unordered_map<char16_t, unsigned char> fromUnicode;
};

char16_t decodeOne(iconv_t cd, unsigned char byte) {
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        sizeof out - outLeft != 2)
        return byte;  // a byte the page lacks keeps its value
    return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                 (static_cast<unsigned char>(out[1]) << 8));
}

Table buildTable(CodePage page) {
    Table t;
    iconv_t cd = iconv_open("UTF-16LE", codePageName(page));
    for (int b = 0; b < 256; ++b) {
        char16_t c;
        if (b < 0x20) c = kLowGlyphs[b];
        else if (b == 0x7F) c = kHouseGlyph;
        else if (cd == reinterpret_cast<iconv_t>(-1)) c = static_cast<char16_t>(b);
        else c = decodeOne(cd, static_cast<unsigned char>(b));
        t.toUnicode[b] = c;
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    // Reverse map: a real character of the page wins over a screen glyph
    // (CP1251 has its own bullet and section sign), else the first byte.
    for (int b = 0x7F; b >= 0; b = (b == 0x7F ? 0x1F : b - 1))
        t.fromUnicode[t.toUnicode[b]] = static_cast<unsigned char>(b);
    for (int b = 255; b >= 0x20; --b)
        if (b != 0x7F) t.fromUnicode[t.toUnicode[b]] = static_cast<unsigned char>(b);
    // Plain control characters typed by a user still mean their bytes.
    for (int b = 0; b < 0x20; ++b) t.fromUnicode.emplace(static_cast<char16_t>(b), b);
    t.fromUnicode.emplace(char16_t{0x7F}, 0x7F);
    return t;
}

const Table& table(CodePage page) {
    // Built once, all pages together (a few thousand iconv calls); static
    // initialisation is thread-safe.
    static const std::vector<Table> all = [] {
        std::vector<Table> tables;
        tables.reserve(kPages.size());
        for (const PageInfo& p : kPages) tables.push_back(buildTable(p.page));
        return tables;
    }();
    return all[static_cast<std::size_t>(page)];
}

}  // namespace

CodePage codePageForCharset(int charset) {
    if (charset == 204 || charset == 1) return CodePage::Cp1251;
    for (const PageInfo& p : kPages)
        if (p.charset != 0 && p.charset == charset) return p.page;
    return CodePage::Cp1252;
}

int charsetForDosCodePage(int number) {
    for (const PageInfo& p : kPages)
        if (p.dosNumber != 0 && p.dosNumber == number) return p.charset;
    return 0;
}

const char* codePageName(CodePage page) { return info(page).name; }

char16_t dosScreenGlyph(unsigned char byte) {
    if (byte == 0x7F) return kHouseGlyph;
    return byte < 0x20 ? kLowGlyphs[byte] : char16_t{0};
}

std::u16string bytesToUnicode(std::string_view bytes, CodePage page) {
    const auto& t = table(page).toUnicode;
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = t[static_cast<unsigned char>(bytes[i])];
    return out;
}

std::u16string bytesToUnicode(std::string_view bytes, int charset) {
    return bytesToUnicode(bytes, codePageForCharset(charset));
}

QString bytesToQString(std::string_view bytes, int charset) {
    const auto& t = table(codePageForCharset(charset)).toUnicode;
    QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (size_t i = 0; i < bytes.size(); ++i) d[i] = QChar(t[static_cast<unsigned char>(bytes[i])]);
    return out;
}

std::string bytesToUtf8(std::string_view bytes, int charset) {
    return bytesToQString(bytes, charset).toStdString();
}

std::string unicodeToBytes(std::u16string_view text, CodePage page) {
    const auto& m = table(page).fromUnicode;
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        auto it = m.find(c);
        out.push_back(it == m.end() ? '?' : static_cast<char>(it->second));
    }
    return out;
}

std::string qstringToBytes(const QString& text, int charset) {
    return unicodeToBytes(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                              static_cast<size_t>(text.size())),
                          codePageForCharset(charset));
}

}  // namespace quor
