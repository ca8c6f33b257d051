#include "engine/expr/text_case.h"

#include <array>

namespace quor {
namespace {

using Table = std::array<unsigned char, 256>;

Table identity() {
    Table t{};
    for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    return t;
}

// Pairs (upper, lower) of each code page besides ASCII.
struct Tables {
    Table upper, lower;
    void pair(int up, int low) {
        upper[static_cast<std::size_t>(low)] = static_cast<unsigned char>(up);
        lower[static_cast<std::size_t>(up)] = static_cast<unsigned char>(low);
    }
    void range(int up, int low, int count) {
        for (int k = 0; k < count; ++k) pair(up + k, low + k);
    }
    Tables() : upper(identity()), lower(identity()) { range('A', 'a', 26); }
};

Tables cp866() {
    Tables t;
    t.range(0x80, 0xA0, 16);  // А-П / а-п
    t.range(0x90, 0xE0, 16);  // Р-Я / р-я
    for (int c = 0xF0; c <= 0xF6; c += 2) t.pair(c, c + 1);  // Ё Є Ї Ў
    return t;
}

Tables cp1251() {
    Tables t;
    t.range(0xC0, 0xE0, 32);  // А-Я / а-я
    t.pair(0xA8, 0xB8);       // Ё
    t.pair(0x80, 0x90);       // Ђ
    t.pair(0x81, 0x83);       // Ѓ
    t.pair(0x8A, 0x9A);
    t.pair(0x8C, 0x9C);
    t.pair(0x8D, 0x9D);
    t.pair(0x8E, 0x9E);
    t.pair(0x8F, 0x9F);
    t.pair(0xA1, 0xA2);  // Ў
    t.pair(0xA3, 0xBC);  // Ј
    t.pair(0xA5, 0xB4);  // Ґ
    t.pair(0xAA, 0xBA);  // Є
    t.pair(0xAF, 0xBF);  // Ї
    t.pair(0xB2, 0xB3);  // І
    t.pair(0xBD, 0xBE);  // Ѕ
    return t;
}

Tables cp1252() {
    Tables t;
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) t.pair(c, c + 0x20);
    t.pair(0x8A, 0x9A);
    t.pair(0x8C, 0x9C);
    t.pair(0x8E, 0x9E);
    t.pair(0x9F, 0xFF);
    return t;
}

const Tables& tablesFor(int charset) {
    static const Tables oem = cp866(), russian = cp1251(), western = cp1252();
    if (charset == 255) return oem;
    if (charset == 204 || charset == 1) return russian;
    return western;
}

std::string mapText(std::string_view text, const Table& table) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
    return out;
}

}  // namespace

std::string upperCaseText(std::string_view text, int charset) { return mapText(text, tablesFor(charset).upper); }
std::string lowerCaseText(std::string_view text, int charset) { return mapText(text, tablesFor(charset).lower); }

}  // namespace quor
