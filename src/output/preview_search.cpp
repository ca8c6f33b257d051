#include "output/preview_search.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

#include "engine/engine_state.h"
#include "output/page_text_search.h"
#include "output/preview_box.h"
#include "output/preview_search_form.h"
#include "platform/numbers.h"
#include "report/report.h"

namespace quor {
namespace {

// How long the walk over the pages may hold the window before it repaints
// and the like (input waits until the search ends).
constexpr qint64 kEventIntervalMs = 100;

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Lets the window repaint; input stays queued, so nothing the user does
// can change the pages under the walk.
void processPendingEvents() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

// The horizontal scroll position for a found text `left` pixels from the
// left edge of its page, `width` wide, on a page area `areaWidth` wide.
int horizontalPosition(int pageLeft, int left, int width, int areaWidth) {
    const int pageEdgeIn = pageLeft - kPageGap;
    // Where the page lies, as with the page's left edge 10 pixels in.
    if (pageLeft + left <= areaWidth - width) return pageEdgeIn;
    // Pages side by side, or a page wider than the view: the page's left
    // edge 10 pixels in still shows all of the text ...
    if (left + kPageGap + width <= areaWidth) return pageEdgeIn;
    // ... else the text's right end at the view's right edge, as the text's
    // bottom at the view's bottom, ...
    if (width <= areaWidth) return pageLeft + left + width - areaWidth;
    // ... and a text wider than the view shows its start 10 pixels in.
    return pageLeft + left - kPageGap;
}

}  // namespace

void PreviewTextSearch::find(TfrPreviewForm& form) {
    if (!form.report()) return;
    TfrPreviewSearchForm dialog(&form);
    if (dialog.exec() != QDialog::Accepted) return;
    caseSensitive = dialog.CB1->isChecked();
    searchText = dialog.Edit1->text();
    if (!caseSensitive) searchText = QLocale::system().toUpper(searchText);
    if (dialog.RB1->isChecked()) {
        foundPage = 0;
        foundRecord = 0;
    } else {
        continueFromView(form);
    }
    searchNext(form);
}

void PreviewTextSearch::findNext(TfrPreviewForm& form) {
    if (searchText.isEmpty()) return;
    continueFromView(form);
    searchNext(form);
}

void PreviewTextSearch::continueFromView(const TfrPreviewForm& form) {
    if (form.currentPage == foundPage + 1) return;
    foundPage = form.currentPage - 1;
    foundRecord = 0;
}

void PreviewTextSearch::searchNext(TfrPreviewForm& form) {
    if (!form.hasPages() || searching_) return;
    // The window may be closed while events are processed; then neither it
    // nor this search (which it owns) may be touched again.
    const QPointer<TfrPreviewForm> alive(&form);
    searching_ = true;
    const WaitCursor wait;
    form.paintEnabled = false;
    const SearchText text(searchText, caseSensitive);
    engine().currentReport = form.report();
    const int dpi = form.PBox->logicalDpiY();
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    foundPage = std::max(foundPage, 0);
    bool found = false;
    while (foundPage < form.pageCount()) {
        const std::optional<PageTextHit> hit =
            findTextOnPage(form.pages(), foundPage, text, foundRecord, dpi);
        if (hit) {
            found = true;
            foundBounds = hit->bounds;
            foundRecord = hit->record + 1;  // a further search starts after it
            break;
        }
        PreparedPage& page = form.pages().Item(foundPage);
        page.Visible = false;
        page.Page.reset();
        foundRecord = 0;
        ++foundPage;
        if (sinceEvents.elapsed() >= kEventIntervalMs) {
            processPendingEvents();
            if (!alive) return;
            if (!form.isVisible()) break;
            sinceEvents.restart();
        }
    }
    if (found) showHit(form);
    if (!alive) return;
    form.paintEnabled = true;
    searching_ = false;
}

void PreviewTextSearch::showHit(TfrPreviewForm& form) {
    const Rect page = form.pages().Item(foundPage).screenRect;
    const double s = form.scale;
    const Size area = form.pageAreaSize();
    const int th = roundClamped((double(foundBounds.bottom) - foundBounds.top) * s);
    const int tw = roundClamped((double(foundBounds.right) - foundBounds.left) * s);
    const int top = roundClamped(foundBounds.top * s);
    const int left = roundClamped(foundBounds.left * s);
    form.currentPage = foundPage + 1;
    form.updatePageLabel();

    // The page's top 10 pixels below the view's top; when the text would
    // then end below the view, its bottom at the view's bottom.
    const int y = top + kPageGap;
    form.VScrollBar->setValue(y > area.height - th
                                  ? page.top + y + th - area.height - kPageGap
                                  : page.top - kPageGap);
    form.HScrollBar->setValue(horizontalPosition(page.left, left, tw, area.width));
    // The mark goes where the text stands after the scroll bars have kept
    // their positions within range.
    const int markX = page.left + left - form.HScrollBar->value();
    const int markY = page.top + top - form.VScrollBar->value();

    const QPointer<TfrPreviewForm> alive(&form);
    processPendingEvents();
    if (!alive) return;
    form.paintEnabled = true;
    if (form.PBox->isVisible()) {
        form.PBox->setMark(Rect{markX, markY, markX + tw, markY + th});
        form.PBox->repaint();
    }
}

}  // namespace quor
