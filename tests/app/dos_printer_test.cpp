// The printer's view of a DOS printout: control sequences of ESC/P, ESC/P2
// and PCL with their real parameter lengths, form feeds as page starts, blank lines that carry the
// text to the next page, and the settings that switch it all on.

#include "app/dos_printer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <array>
#include <fstream>
#include <tuple>

#include "app/form_storage.h"
#include "app/printer_codes.h"
#include "app/printout_pages.h"

namespace quor {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

std::string withoutCodes(std::string_view bytes) {
    DosPrinterSettings s;
    s.printerCodes = true;
    return printedBytes(bytes, s);
}

TEST(PrinterCodes, SequencesEndWhereTheirParametersDo) {
    // Bytes as DOS programs sent them; what the printer printed.
    const std::pair<std::string, std::string> cases[] = {
        // ESC/P setup, style and pitch, with SI/DC2 condensed and SO/DC4.
        {"\x1b@\x1bx\x01\x0f\x1b"
         "EBold\x1b"
         "F\x12\x0eW\x14",
         "BoldW"},
        {"\x1bG\x1bH\x1b"
         "4\x1b"
         "5\x1bM\x1bP\x1bg\x1bW\x01\x1bk\x02\x1bp\x00\x1bt\x01\x1bR\x07\x07T"s,
         "T"},
        // Underline on and off, the second parameter as a byte 0.
        {"\x1b-\x01Un\x1b-\x00"
         "der"s,
         "Under"},
        // Line spacing and feeds: 1/8, 1/6, n/216 (26 is no end mark here), n/60, n/216 feed.
        {"\x1b"
         "0\x1b"
         "2\x1b"
         "3\x1a\x1b"
         "A\x0c\x1bJ\x18L",
         "L"},
        // Page length in lines and in inches, margins, position, justification.
        {"\x1b"
         "C\x42\x1b"
         "C\x00\x0b\x1bl\x05\x1bQ\x50\x1b$\x10\x00\x1b\\\x0a\x00\x1b"
         "a\x01P"s,
         "P"},
        // Tab stops up to their byte 0; vertical tabs of channel 0.
        {"\x1b"
         "D\x08\x10\x18\x00\x1b"
         "B\x05\x00\x1b"
         "b\x00\x03\x00Tab"s,
         "Tab"},
        // 8-dot images: 3 columns of data holding line ends, form feeds and zeros.
        {"a\x1bK\x03\x00\x0d\x0a\x0c"
         "b\x1bL\x02\x00\x00\x1a"
         "c"s,
         "abc"},
        // ESC * in 24-dot mode 39: 2 columns of 3 bytes; 8-dot mode 1: 2 bytes.
        {"a\x1b*\x27\x02\x00\x01\x02\x03\x04\x05\x06"
         "b\x1b*\x01\x02\x00\xff\x00"
         "c"s,
         "abc"},
        // 9-pin images: 2 bytes a column.
        {"a\x1b^\x00\x02\x00\x01\x02\x03\x04"
         "b"s,
         "ab"},
        // ESC/P2 raster: 2 rows of 16 dots plain, then run-length coded.
        {"a\x1b.\x00\x0a\x0a\x02\x10\x00\x01\x02\x03\x04"
         "b\x1b.\x01\x0a\x0a\x01\x10\x00\xff\x0c"
         "c"s,
         "abc"},
        // ESC/P2 extended commands: graphics mode, unit, page format.
        {"\x1b(G\x01\x00\x01\x1b(U\x01\x00\x0a\x1b(c\x04\x00\x01\x02\x03\x04X"s, "X"},
        // User-defined characters: one character of 2 columns.
        {"\x1b&\x00"
         "AA\x00\x02\x00\x01\x02\x03\x04\x05\x06"
         "D"s,
         "D"},
        // PCL: reset, page length, orientation, font, symbol set, raster with data.
        {"\x1b"
         "E\x1b&l66P\x1b&l0o1E\x1b(s0p16.67h8.5v0s0b3T\x1b(10UP",
         "P"},
        {"\x1b*t300R\x1b*r1A\x1b*b3W\x00\x0d\x0a"
         "C\x1b*rB\x1b%-12345XL"s,
         "CL"},
        // An unknown command takes its letter along.
        {"\x1b~X", "X"},
        // Text controls stay: tab, line ends, form feed, ^Z.
        {"a\tb\r\n\x0c\x1a", "a\tb\r\n\x0c\x1a"},
        // Truncated at the end: dropped, never read past.
        {"AB\x1b", "AB"},
        {"AB\x1b*\x27\x05\x00\x01\x02"s, "AB"},
        {"AB\x1b(G\x01", "AB"},
        {"AB\x1b&l6", "AB"},
        {"AB\x1b.\x01\x0a\x0a\x04\x20\x00\x05\x01"s, "AB"},
        {"AB\x1b"
         "D\x08\x10",
         "AB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(withoutCodes(bytes), text) << testing::PrintToString(bytes);
    // A length never reaches past the end, wherever a sequence starts.
    const std::string tail = "\x1b*\x27\xff\xff\x01";
    for (std::size_t i = 0; i < tail.size(); ++i)
        EXPECT_LE(printerCodeLength(tail, i), tail.size() - i) << i;
}

TEST(DosPrinter, FormFeedsBeginPages) {
    struct Case {
        std::string bytes;
        Lines lines;
        std::vector<std::size_t> starts;
    };
    const Case cases[] = {
        {"a\r\nb\r\n\x0c"
         "c\r\n",
         {"a", "b", "c"},
         {2}},
        {"a\x0c"
         "b",
         {"a", "b"},
         {1}},
        {"\x0c"
         "a",
         {"a"},
         {}},
        {"a\r\n\x0c", {"a"}, {}},
        {"a\r\n\x0c\r\n", {"a"}, {}},
        {"a\x0c\x0c"
         "b",
         {"a", "b"},
         {1, 1}},
        {"a\x0c\x0c", {"a"}, {1}},
        {"\x0c\x0c"
         "a",
         {"a"},
         {0}},
        {"a\x0c\r\nb", {"a", "", "b"}, {1}},
        {"a\0\x0c"
         "b"s,
         {"a"},
         {}},
        {"\x0c", {}, {}},
    };
    for (const Case& c : cases) {
        const PrintoutText text = splitPrintout(c.bytes, true);
        EXPECT_EQ(text.lines, c.lines) << testing::PrintToString(c.bytes);
        EXPECT_EQ(text.pageStarts, c.starts) << testing::PrintToString(c.bytes);
    }
    const PrintoutText plain = splitPrintout(
        "a\x0c"
        "b\r\nc",
        false);
    EXPECT_EQ(plain.lines, (Lines{"a\x0c"
                                  "b",
                                  "c"}));
    EXPECT_TRUE(plain.pageStarts.empty());
}

TEST(DosPrinter, BlankLinesFillEachPageOfThePrintout) {
    struct Case {
        Lines lines;
        std::vector<std::size_t> starts;
        int first, next, perPage;
        Lines filled;
    };
    const Case cases[] = {
        {{"1", "2", "3"}, {}, 2, 2, 0, {"1", "2", "3"}},
        {{"1", "2", "3"}, {2}, 3, 3, 0, {"1", "2", "", "3"}},
        {{"1", "2", "3"}, {2}, 2, 2, 0, {"1", "2", "3"}},
        {{"a", "b"}, {1, 1}, 2, 2, 0, {"a", "", "", "", "b"}},
        {{"a"}, {1}, 2, 3, 0, {"a", "", ""}},
        {{"1", "2", "3", "4", "5"}, {}, 3, 4, 2, {"1", "2", "", "3", "4", "", "", "5"}},
        {{"a", "b"}, {1}, 0, 2, 0, {"a", "", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fillPages({c.lines, c.starts}, c.first, c.next, c.perPage), c.filled)
            << testing::PrintToString(c.lines) << c.first << c.next << c.perPage;
}

TEST(DosPrinter, SettingsOutOfRangeGiveTheDefault) {
    QTemporaryDir dir;
    TFormStorage fs("TfQuorPrint");
    fs.setIniSection("Quor Print");
    fs.setIniFileName(dir.filePath("q.ini").toStdString());
    // Settings; every switch on, the character set, the lines a page.
    const std::tuple<std::string, bool, int, int> cases[] = {
        {"", false, 255, 0},
        {"FormFeed=1\nEndMark=1\nPrinterCodes=1\nFitWidth=1\nCodePage=437\nLinesPerPage=66", true,
         240, 66},
        {"FormFeed=2\nEndMark=x\nPrinterCodes=-1\nFitWidth=\nCodePage=1251\nLinesPerPage=-5", false,
         255, 0},
        {"CodePage=0\nLinesPerPage=0x48", false, 255, 72},
        {"CodePage=850", false, 243, 0},
    };
    for (const auto& [body, on, charset, linesPerPage] : cases) {
        std::ofstream(fs.IniFileName(), std::ios::trunc) << "[Quor Print]\n" << body << "\n";
        const DosPrinterSettings s = readDosPrinterSettings(fs);
        EXPECT_EQ((std::array{s.formFeed, s.endMark, s.printerCodes, s.fitWidth}),
                  (std::array{on, on, on, on}))
            << body;
        EXPECT_EQ(s.charset, charset) << body;
        EXPECT_EQ(s.linesPerPage, linesPerPage) << body;
    }
}

}  // namespace
}  // namespace quor
