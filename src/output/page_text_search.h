#pragma once

// Looking for a piece of text on one prepared page as it is drawn: the page
// is drawn into a recording of its own size and the recorded text pieces
// are compared, in drawing order, in the 8-bit code page of each piece's
// font. A text that runs over two pieces (two lines) is not found.

#include <QString>

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/geometry.h"

namespace quor {

class TfrEMFPages;

// The text sought, as bytes of every code page a piece may be drawn in.
class SearchText {
public:
    // `text` is taken as it stands; when case does not matter it should be
    // in capitals already, and the pieces are put in capitals to compare.
    SearchText(const QString& text, bool caseSensitive);

    // Whether a piece drawn with a font of this character set holds the
    // text. An empty text, or one the code page cannot write, is never
    // found.
    bool foundIn(std::string_view bytes, int charset) const;

private:
    // The text in a code page, made when a piece of that page is first met.
    const std::optional<std::string>& bytesIn(CodePage page) const;

    QString text_;
    bool caseSensitive_;
    mutable std::map<CodePage, std::optional<std::string>> bytes_;
};

struct PageTextHit {
    int record = 0;  // 0-based place of the piece among everything drawn
    Rect bounds;     // the piece's drawn cell, in pixels of the page
};

// Draws the page `index` (its visible flag set) into a recording of its
// size at `dpi`, where the preview shows its content at 100%, and returns
// the first piece from the record `fromRecord` on that holds the text. A
// page that cannot be drawn holds nothing. The page keeps its rebuilt
// objects; the caller releases them.
std::optional<PageTextHit> findTextOnPage(TfrEMFPages& pages, int index, const SearchText& text,
                                          int fromRecord, int dpi);

}  // namespace quor
