#pragma once

// A printout as the DOS printer it was made for would have printed it: the
// opt-in settings "FormFeed", "EndMark", "PrinterCodes", "CodePage",
// "FitWidth" and "LinesPerPage". All of them off, the document's bytes and
// lines are exactly those the print job takes without them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

class TFormStorage;

struct DosPrinterSettings {
    bool formFeed = false;      // a form feed ends the page
    bool endMark = false;       // ^Z ends the document
    bool printerCodes = false;  // printer control sequences are taken out
    int charset = 255;          // the font's character set for the code page
    bool fitWidth = false;      // the font shrinks until the longest line fits
    int linesPerPage = 0;       // 0, or the lines that fill a page
};

// The keys of the settings file; a value out of range gives the default.
DosPrinterSettings readDosPrinterSettings(const TFormStorage& settings);

// The bytes the printer printed: without printer codes and without ^Z and
// what follows it, as the settings say; `raw` unchanged when both are off.
// Codes go before ^Z is looked for, so a parameter byte 26 ends nothing.
std::string printedBytes(std::string_view raw, const DosPrinterSettings& settings);

// A printout cut into lines, and where form feeds begin pages.
struct PrintoutText {
    std::vector<std::string> lines;
    // The index of the first line of every page a form feed begins, in
    // order; an index repeats for an empty page, and equals lines.size()
    // for empty pages at the end.
    std::vector<std::size_t> pageStarts;
};

// Lines as the print job always cuts them. With `formFeeds`, a form feed
// also ends its line (when the line holds anything) and begins a page; a
// form feed before any text, and one followed by nothing but line ends at
// the end, begin no page.
PrintoutText splitPrintout(std::string_view bytes, bool formFeeds);

}  // namespace quor
