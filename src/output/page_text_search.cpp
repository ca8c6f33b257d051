#include "output/page_text_search.h"

#include <exception>
#include <variant>

#include "engine/prepared_pages.h"
#include "output/preview_layout.h"
#include "platform/codepage.h"
#include "platform/recording_canvas.h"

namespace quor {

SearchText::SearchText(const QString& text, bool caseSensitive)
    : text_(text), caseSensitive_(caseSensitive) {}

const std::optional<std::string>& SearchText::bytesIn(CodePage page) const {
    const auto known = bytes_.find(page);
    if (known != bytes_.end()) return known->second;
    std::optional<std::string> bytes;
    if (!text_.isEmpty()) {
        const std::u16string_view units(reinterpret_cast<const char16_t*>(text_.utf16()),
                                        static_cast<std::size_t>(text_.size()));
        bytes = unicodeToBytesExactly(units, page);
        if (bytes && !caseSensitive_) *bytes = upperCaseBytes(*bytes, page);
    }
    return bytes_.emplace(page, std::move(bytes)).first->second;
}

bool SearchText::foundIn(std::string_view bytes, int charset) const {
    const CodePage page = codePageForCharset(charset);
    const std::optional<std::string>& sought = bytesIn(page);
    if (!sought || sought->size() > bytes.size()) return false;
    if (caseSensitive_) return bytes.find(*sought) != std::string_view::npos;
    return upperCaseBytes(bytes, page).find(*sought) != std::string::npos;
}

std::optional<PageTextHit> findTextOnPage(TfrEMFPages& pages, int index, const SearchText& text,
                                          int fromRecord, int dpi) {
    PreparedPage& page = pages.Item(index);
    const Rect whole{0, 0, page.prnInfo.pageWidth, page.prnInfo.pageHeight};
    RecordingCanvas recording(dpi, false, whole);
    page.Visible = true;
    try {
        pages.Draw(index, recording, pageContentRect(page, whole, 1.0));
    } catch (const std::exception&) {
        // A damaged page shows blank, and so holds no text; the page area
        // reports it when the page is shown.
        return std::nullopt;
    }
    const auto& records = recording.unmeasuredOps();
    for (std::size_t i = fromRecord > 0 ? std::size_t(fromRecord) : 0; i < records.size(); ++i) {
        const auto* piece = std::get_if<RecordedText>(&records[i]);
        if (piece && text.foundIn(piece->bytes, piece->font.charset))
            return PageTextHit{static_cast<int>(i), recording.textBounds(i)};
    }
    return std::nullopt;
}

}  // namespace quor
