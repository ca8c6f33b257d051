#include "app/dos_printer.h"

#include <algorithm>

#include "app/document_text.h"
#include "app/form_storage.h"
#include "app/printer_codes.h"
#include "platform/codepage.h"

namespace quor {
namespace {

constexpr char kFormFeed = '\x0C';
constexpr char kEndMark = '\x1A';

bool readSwitch(const TFormStorage& settings, const char* key) {
    return settings.ReadInteger(key, 0) == 1;
}

bool onlyEmptyLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (!line.empty()) return false;
    return true;
}

}  // namespace

DosPrinterSettings readDosPrinterSettings(const TFormStorage& settings) {
    DosPrinterSettings s;
    s.formFeed = readSwitch(settings, "FormFeed");
    s.endMark = readSwitch(settings, "EndMark");
    s.printerCodes = readSwitch(settings, "PrinterCodes");
    s.fitWidth = readSwitch(settings, "FitWidth");
    const int charset = charsetForDosCodePage(settings.ReadInteger("CodePage", 866));
    if (charset != 0) s.charset = charset;
    s.linesPerPage = std::max(settings.ReadInteger("LinesPerPage", 0), 0);
    return s;
}

std::string printedBytes(std::string_view raw, const DosPrinterSettings& settings) {
    if (!settings.printerCodes && !settings.endMark) return std::string(raw);
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t code = settings.printerCodes ? printerCodeLength(raw, i) : 0;
        if (code > 0) {
            i += code;
            continue;
        }
        if (settings.endMark && raw[i] == kEndMark) break;
        out += raw[i++];
    }
    return out;
}

PrintoutText splitPrintout(std::string_view bytes, bool formFeeds) {
    if (!formFeeds) return {splitDocumentLines(bytes), {}};
    bytes = bytes.substr(0, bytes.find('\0'));
    // The lines between form feeds, each run cut as the job cuts a document.
    std::vector<std::vector<std::string>> runs;
    for (std::size_t start = 0;;) {
        const std::size_t feed = bytes.find(kFormFeed, start);
        runs.push_back(splitDocumentLines(
            bytes.substr(start, feed == std::string_view::npos ? feed : feed - start)));
        if (feed == std::string_view::npos) break;
        start = feed + 1;
    }
    // The last form feed only ends the last page; a first one before any
    // text finds the paper at the top of a page already.
    if (runs.size() > 1 && onlyEmptyLines(runs.back())) runs.pop_back();
    std::size_t first = runs.size() > 1 && runs.front().empty() ? 1 : 0;

    PrintoutText text;
    for (std::size_t r = first; r < runs.size(); ++r) {
        if (r > first) text.pageStarts.push_back(text.lines.size());
        for (std::string& line : runs[r]) text.lines.push_back(std::move(line));
    }
    return text;
}

}  // namespace quor
