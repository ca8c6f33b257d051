#pragma once

// The text object FM1 of a loaded built-in template fitted to a printout
// as a DOS printer paged it: the font lowered until the longest line fits
// ("FitWidth"), the line spacing that puts N lines on a page
// ("LinesPerPage"), and blank lines that fill a page wherever a form feed
// or the page length ends it before the band engine would. The engine
// then cuts the memo at whole lines as always, so every page of the
// printout begins a page of the report.

#include <string>
#include <vector>

#include "app/dos_printer.h"

namespace quor {

class TfrMemoView;
class TfrReport;

// Sets FM1's font size and line spacing as the settings ask and its Memo
// to the printout's lines; without "FitWidth", "FormFeed" and
// "LinesPerPage" the lines go in unchanged.
void layOutPrintout(TfrReport& report, TfrMemoView& FM1, PrintoutText text,
                    const DosPrinterSettings& settings);

// The lines with blank lines added so that each page of the printout fills
// a page of the report: the first page holds `firstCapacity` lines, every
// later one `nextCapacity`; a page ends at a form feed or, with `perPage`
// > 0, after that many lines.
std::vector<std::string> fillPages(PrintoutText text, int firstCapacity, int nextCapacity,
                                   int perPage);

}  // namespace quor
