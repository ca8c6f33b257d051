#pragma once

// The preview's text search: Ctrl+F asks for a text and brings the first
// page that holds it into view with the text marked; F3 goes on from there,
// or from the top of the page the user has moved to. Pages are searched as
// they are drawn (see page_text_search.h). Every preview window has one.

#include <QString>

#include "output/preview_form.h"
#include "platform/geometry.h"

namespace quor {

class PreviewTextSearch : public PreviewSearch {
public:
    // The search dialog, then searchNext (FindBtnClick).
    void find(TfrPreviewForm& form) override;
    // F3: goes on when a text has been given.
    void findNext(TfrPreviewForm& form) override;
    // Walks the pages from foundPage; on a hit shows and marks it. Nothing
    // happens (no message, the view stays) when no page holds the text.
    void searchNext(TfrPreviewForm& form);

    QString searchText;  // in capitals when case does not matter
    bool caseSensitive = false;
    int foundPage = 0;    // 0-based page the next search starts at
    int foundRecord = 0;  // on foundPage, the first drawn record that may match
    Rect foundBounds;     // the last hit, in pixels of its page at 100%

private:
    // Going on: from after the last hit when its page is still the current
    // one, else from the top of the current page.
    void continueFromView(const TfrPreviewForm& form);
    void showHit(TfrPreviewForm& form);

    bool searching_ = false;
};

}  // namespace quor
