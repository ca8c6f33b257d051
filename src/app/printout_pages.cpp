#include "app/printout_pages.h"

#include <algorithm>

#include "engine/memo_layout.h"
#include "engine/memo_view.h"
#include "report/report.h"

namespace quor {
namespace {

constexpr int kSmallestFitSize = 4;

bool lineStepIsValid(const TfrMemoView& memo) {
    return static_cast<long long>(memo.LineSpacing) - designFontHeight(memo.Font.pointSize) > 0;
}

// The heights the band engine gives FM1's text when it cuts the title band
// at whole lines: on the first page from the memo's place in the band, on
// every later page from the top margin (the built-in templates have no
// page header, page footer or column footer). Lines are counted with the
// memo's own line step.
class TextArea {
public:
    TextArea(const TfrReport& report, TfrMemoView& memo) : memo_(memo) {
        const TfrPage& page = report.TemplatePages[0];
        const TfrView* band = report.FindView("ReportTitle1");
        next_ = page.BottomEdge() - page.TopEdge() - 2;
        first_ = next_ - (band ? memo.Top - band->Top : 0) + 1;
    }

    int firstPageLines() { return linesIn(first_); }
    int nextPageLines() { return linesIn(next_); }

    // Sets the line spacing for the widest step that still puts `count`
    // lines on every page; false, with the spacing unchanged, when even a
    // step of one pixel does not.
    bool spaceLines(int count) {
        const int spacing = memo_.LineSpacing;
        const int glyph = -designFontHeight(memo_.Font.pointSize);
        for (int step = (std::min(first_, next_) - memo_.GapY) / count; step >= 1; --step) {
            memo_.LineSpacing = step - glyph;
            if (firstPageLines() >= count && nextPageLines() >= count) return true;
        }
        memo_.LineSpacing = spacing;
        return false;
    }

private:
    // The memo's fit test for a piece of this height: a line fits while its
    // step ends no lower than the piece's bottom, the first starting at the
    // gap. A piece not higher than the least height for one line shows none.
    int linesIn(int height) {
        // SmallestHeight also sets the memo's line step.
        return memo_.SmallestHeight() < height ? (height - memo_.GapY) / memo_.lineStep : 0;
    }

    TfrMemoView& memo_;
    int first_ = 0;
    int next_ = 0;
};

// Lowers the font a point at a time until the widest line, measured as the
// memo measures it, ends within the printable area.
void fitFontToWidth(const TfrReport& report, TfrMemoView& memo,
                    const std::vector<std::string>& lines) {
    const int right = report.TemplatePages[0].RightEdge();
    while (memo.Font.pointSize > kSmallestFitSize &&
           static_cast<long long>(memo.Left) + memo.CalcWidth(lines) > right)
        --memo.Font.pointSize;
}

}  // namespace

std::vector<std::string> fillPages(PrintoutText text, int firstCapacity, int nextCapacity,
                                   int perPage) {
    std::vector<std::string> out;
    out.reserve(text.lines.size());
    int page = 0;
    int used = 0;
    auto capacity = [&] { return std::max(page == 0 ? firstCapacity : nextCapacity, 0); };
    auto endPage = [&] {
        out.insert(out.end(), static_cast<std::size_t>(std::max(capacity() - used, 0)),
                   std::string());
        ++page;
        used = 0;
    };
    auto starts = text.pageStarts.begin();
    for (std::size_t i = 0; i < text.lines.size(); ++i) {
        for (; starts != text.pageStarts.end() && *starts == i; ++starts) endPage();
        const int length = perPage > 0 ? std::min(perPage, capacity()) : capacity();
        if (used >= length) endPage();
        out.push_back(std::move(text.lines[i]));
        ++used;
    }
    // Empty pages at the end: each is filled, the last holds one blank line.
    if (starts != text.pageStarts.end()) {
        for (; starts != text.pageStarts.end(); ++starts) endPage();
        out.emplace_back();
    }
    return out;
}

void layOutPrintout(TfrReport& report, TfrMemoView& FM1, PrintoutText text,
                    const DosPrinterSettings& settings) {
    if (settings.fitWidth) fitFontToWidth(report, FM1, text.lines);
    const bool paged = settings.formFeed || settings.linesPerPage > 0;
    if (!paged || !lineStepIsValid(FM1)) {
        // An impossible spacing is left for the build to report.
        FM1.Memo = std::move(text.lines);
        return;
    }
    TextArea area(report, FM1);
    const int perPage = settings.linesPerPage > 0 && area.spaceLines(settings.linesPerPage)
                            ? settings.linesPerPage
                            : 0;
    FM1.Memo = fillPages(std::move(text), area.firstPageLines(), area.nextPageLines(), perPage);
}

}  // namespace quor
