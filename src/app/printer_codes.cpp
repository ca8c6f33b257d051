#include "app/printer_codes.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quor {
namespace {

constexpr unsigned char kEsc = 0x1B;

// How the parameters after ESC and its command byte are laid out.
enum class Shape : std::uint8_t {
    fixed,       // `count` parameter bytes
    untilNul,    // values ended by a byte 0, at most `count` of them
    channel,     // a channel byte, then values ended by a byte 0 (at most `count`)
    pageLength,  // n, or 0 n (the length in inches)
    columns,     // nL nH, then (nL + 256 nH) × `count` data bytes
    bitImage,    // m nL nH, then nL + 256 nH columns of m's dot height
    raster,      // c v h m nL nH, then m rows of raster data (c = 1: run-length coded)
    extended,    // ESC/P2: c nL nH, then nL + 256 nH bytes; PCL when c is a digit, "s" or "f"
    download,    // 0 n m, then characters n..m; PCL when a lower-case letter follows
    percent,     // n; PCL's "ESC %-12345X" when "-" follows
    pcl,         // PCL: group, values and parameter letters up to an upper-case one
};

struct Command {
    unsigned char code;
    Shape shape;
    std::uint8_t count;
};

// The commands after ESC, by family.
// clang-format off
constexpr Command kCommands[] = {
    // Printer reset, paper and mechanism: initialise, cut-sheet feeder,
    // print direction and speed, paper-out detector, immediate print, skip
    // over perforation, forward and reverse feed, page length, colour.
    {'@', Shape::fixed, 0}, {0x19, Shape::fixed, 1}, {'<', Shape::fixed, 0}, {'U', Shape::fixed, 1},
    {'s', Shape::fixed, 1}, {'8', Shape::fixed, 0}, {'9', Shape::fixed, 0}, {'i', Shape::fixed, 1},
    {'N', Shape::fixed, 1}, {'O', Shape::fixed, 0}, {'J', Shape::fixed, 1}, {'j', Shape::fixed, 1},
    {'C', Shape::pageLength, 0}, {'r', Shape::fixed, 1},
    // Line spacing: 1/8, 7/72 and 1/6 inch, n/180 (n/216), n/60 (n/72), n/360.
    {'0', Shape::fixed, 0}, {'1', Shape::fixed, 0}, {'2', Shape::fixed, 0}, {'3', Shape::fixed, 1},
    {'A', Shape::fixed, 1}, {'+', Shape::fixed, 1},
    // Print mode and character style: bold, double strike, italic, pitch
    // (10, 12, 15 cpi, proportional, pitch and point), condensed and double
    // width (ESC SI, ESC SO), underline, double width and height, letter
    // quality, typeface, style, super- and subscript, master select,
    // spacing between characters, enlarged print.
    {'E', Shape::fixed, 0}, {'F', Shape::fixed, 0}, {'G', Shape::fixed, 0}, {'H', Shape::fixed, 0},
    {'4', Shape::fixed, 0}, {'5', Shape::fixed, 0}, {'P', Shape::fixed, 0}, {'M', Shape::fixed, 0},
    {'g', Shape::fixed, 0}, {'p', Shape::fixed, 1}, {'X', Shape::fixed, 3}, {0x0F, Shape::fixed, 0},
    {0x0E, Shape::fixed, 0}, {'-', Shape::fixed, 1}, {'W', Shape::fixed, 1}, {'w', Shape::fixed, 1},
    {'x', Shape::fixed, 1}, {'k', Shape::fixed, 1}, {'q', Shape::fixed, 1}, {'S', Shape::fixed, 1},
    {'T', Shape::fixed, 0}, {'!', Shape::fixed, 1}, {' ', Shape::fixed, 1}, {'h', Shape::fixed, 1},
    // Character tables and sets: table, international set, user-defined
    // set, upper control codes, most significant bit, copy ROM to RAM,
    // user-defined characters, bit-image mode reassignment.
    {'t', Shape::fixed, 1}, {'R', Shape::fixed, 1}, {'%', Shape::percent, 0}, {'6', Shape::fixed, 0},
    {'7', Shape::fixed, 0}, {'I', Shape::fixed, 1}, {'m', Shape::fixed, 1}, {'#', Shape::fixed, 0},
    {'=', Shape::fixed, 0}, {'>', Shape::fixed, 0}, {':', Shape::fixed, 3}, {'&', Shape::download, 0},
    {'?', Shape::fixed, 2},
    // Horizontal position, margins and tabs: absolute and relative
    // position, left and right margin, justification, motion index, tab
    // increments and skips, horizontal (up to 32) and vertical (up to 16)
    // tab stops, vertical tabs of a channel, channel choice.
    {'$', Shape::fixed, 2}, {'\\', Shape::fixed, 2}, {'l', Shape::fixed, 1}, {'Q', Shape::fixed, 1},
    {'a', Shape::fixed, 1}, {'c', Shape::fixed, 2}, {'e', Shape::fixed, 2}, {'f', Shape::fixed, 2},
    {'D', Shape::untilNul, 32}, {'B', Shape::untilNul, 16}, {'b', Shape::channel, 16}, {'/', Shape::fixed, 1},
    // Graphics: bit images of every density (one byte per column for 8-dot
    // modes, three for 24-dot, six for 48-dot), the 8-dot images K, L, Y
    // and Z, 9-pin images (two bytes per column) and ESC/P2 raster images.
    {'*', Shape::bitImage, 0}, {'K', Shape::columns, 1}, {'L', Shape::columns, 1}, {'Y', Shape::columns, 1},
    {'Z', Shape::columns, 1}, {'^', Shape::bitImage, 0}, {'.', Shape::raster, 0},
    // ESC/P2 extended commands (page format, units, graphics mode, ...),
    // which also start PCL's font selection.
    {'(', Shape::extended, 0},
    // PCL only: secondary font selection.
    {')', Shape::pcl, 0},
};
// clang-format on

constexpr std::array<const Command*, 256> commandTable() {
    std::array<const Command*, 256> table{};
    for (const Command& c : kCommands) table[c.code] = &c;
    return table;
}
constexpr std::array<const Command*, 256> kByCode = commandTable();

// Single bytes that only switch a printer's mode: BEL, SO and SI (double
// width, condensed), DC1 and DC3 (printer select and deselect), DC2 and
// DC4 (cancel condensed, cancel double width).
constexpr bool isModeByte(unsigned char b) {
    return b == 0x07 || b == 0x0E || b == 0x0F || b == 0x11 || b == 0x12 || b == 0x13 || b == 0x14;
}

constexpr bool isLower(int c) { return c >= 0x60 && c <= 0x7E; }
constexpr bool isUpper(int c) { return c >= 0x40 && c <= 0x5E; }
constexpr bool isDigit(int c) { return c >= '0' && c <= '9'; }

// A view of the bytes in which every position past the end reads as -1 and
// every end position is limited to the end.
class Bytes {
public:
    explicit Bytes(std::string_view b) : b_(b) {}
    int at(std::size_t i) const { return i < b_.size() ? static_cast<unsigned char>(b_[i]) : -1; }
    // nL + 256 nH at i; 0 past the end (the end is then reached anyway).
    std::size_t word(std::size_t i) const {
        return static_cast<std::size_t>(std::max(at(i), 0)) +
               256u * static_cast<std::size_t>(std::max(at(i + 1), 0));
    }
    std::size_t end(std::size_t i) const { return std::min(i, b_.size()); }
    std::size_t size() const { return b_.size(); }

private:
    std::string_view b_;
};

// Dot rows per column of an ESC * mode, in bytes; ESC ^ (9 pins) uses two.
std::size_t bytesPerColumn(unsigned char command, int mode) {
    if (command == '^') return 2;
    if (mode >= 32 && mode <= 40) return 3;
    if (mode >= 64 && mode <= 73) return 6;
    return 1;
}

// A PCL sequence from p (just after ESC and its first character): an
// optional group letter, then value fields each ended by a parameter
// letter; a lower-case letter goes on, an upper-case one ends it. "W"
// (and "X" of ESC & p) carries as many data bytes as its value says.
std::size_t pclEnd(const Bytes& b, std::size_t p, unsigned char first) {
    const int group = b.at(p);
    if (isLower(group)) ++p;
    for (;;) {
        std::size_t value = 0;
        while (b.at(p) == '+' || b.at(p) == '-') ++p;
        for (; isDigit(b.at(p)); ++p)
            value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(b.at(p) - '0'),
                                          b.size());
        if (b.at(p) == '.')
            for (++p; isDigit(b.at(p));) ++p;
        const int letter = b.at(p);
        if (letter < 0) return b.size();
        if (!isLower(letter) && !isUpper(letter)) return p;  // not PCL after all: the rest is text
        ++p;
        const bool data =
            letter == 'W' || letter == 'w' || (first == '&' && group == 'p' && letter == 'X');
        if (data) p = b.end(p + value);
        if (isUpper(letter)) return p;
    }
}

// Run-length coded raster rows: a counter below 128 is followed by
// counter + 1 bytes as they are, a larger one by one byte repeated
// 257 - counter times. Ends when `dataBytes` bytes are produced.
std::size_t runLengthEnd(const Bytes& b, std::size_t p, std::size_t dataBytes) {
    std::size_t produced = 0;
    while (produced < dataBytes) {
        const int counter = b.at(p);
        if (counter < 0) return b.size();
        if (counter < 128) {
            p += 1 + static_cast<std::size_t>(counter) + 1;
            produced += static_cast<std::size_t>(counter) + 1;
        } else {
            p += 2;
            produced += 257 - static_cast<std::size_t>(counter);
        }
    }
    return b.end(p);
}

std::size_t rasterEnd(const Bytes& b, std::size_t p) {
    const int mode = b.at(p);
    const std::size_t rows = static_cast<std::size_t>(std::max(b.at(p + 3), 0));
    const std::size_t dataBytes = rows * ((b.word(p + 4) + 7) / 8);
    const std::size_t data = p + 6;
    if (mode == 0) return b.end(data + dataBytes);
    if (mode == 1) return runLengthEnd(b, data, dataBytes);
    // TIFF mode (2) sends its rows as commands of their own; only the
    // header is known here.
    return b.end(data);
}

// ESC & 0 n m: for every character n..m three attribute bytes (left
// space, width in columns, right space), then three bytes per column (the
// 24-dot form of ESC/P2).
std::size_t downloadEnd(const Bytes& b, std::size_t p) {
    const int first = b.at(p + 1);
    const int last = b.at(p + 2);
    p += 3;
    for (int c = first; c <= last && p < b.size(); ++c)
        p += 3 + 3 * static_cast<std::size_t>(std::max(b.at(p + 1), 0));
    return b.end(p);
}

// Values up to a byte 0 (included), at most `count` values.
std::size_t nulEnd(const Bytes& b, std::size_t p, std::size_t count) {
    for (std::size_t k = 0; k < count && b.at(p) > 0; ++k) ++p;
    return b.end(b.at(p) == 0 ? p + 1 : p);
}

// The end of ESC `command` whose parameters start at p.
std::size_t escapeEnd(const Bytes& b, std::size_t p, unsigned char command) {
    const Command* c = kByCode[command];
    if (!c) return b.end(p);  // an unknown command: ESC and its letter
    switch (c->shape) {
        case Shape::fixed:
            return b.end(p + c->count);
        case Shape::untilNul:
            return nulEnd(b, p, c->count);
        case Shape::channel:
            return nulEnd(b, b.end(p + 1), c->count);
        case Shape::pageLength:
            return b.end(p + (b.at(p) == 0 ? 2 : 1));
        case Shape::columns:
            return b.end(p + 2 + b.word(p) * c->count);
        case Shape::bitImage:
            if (command == '*' && isLower(b.at(p))) return pclEnd(b, p, command);
            return b.end(p + 3 + b.word(p + 1) * bytesPerColumn(command, b.at(p)));
        case Shape::raster:
            return rasterEnd(b, p);
        case Shape::extended: {
            const int next = b.at(p);
            if (isDigit(next) || next == '+' || next == 's' || next == 'f')
                return pclEnd(b, p, command);
            return b.end(p + 3 + b.word(p + 1));
        }
        case Shape::download:
            return isLower(b.at(p)) ? pclEnd(b, p, command) : downloadEnd(b, p);
        case Shape::percent:
            return b.at(p) == '-' ? pclEnd(b, p, command) : b.end(p + 1);
        case Shape::pcl:
            return pclEnd(b, p, command);
    }
    return b.end(p);
}

}  // namespace

std::size_t printerCodeLength(std::string_view bytes, std::size_t at) {
    if (at >= bytes.size()) return 0;
    const auto first = static_cast<unsigned char>(bytes[at]);
    if (isModeByte(first)) return 1;
    if (first != kEsc) return 0;
    const Bytes b(bytes);
    if (at + 1 >= bytes.size()) return 1;
    return escapeEnd(b, at + 2, static_cast<unsigned char>(bytes[at + 1])) - at;
}

}  // namespace quor
