#include "output/preview_box.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "engine/engine_state.h"
#include "output/preview_form.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/qpainter_canvas.h"
#include "report/report.h"

namespace quor {
namespace {

// Pages that start further below the view's top are not drawn.
constexpr int kDrawDepth = 2000;
const Color kAreaGrey = makeColor(128, 128, 128);
constexpr int kWheelNotch = 120;

Rect moved(const Rect& r, int dx, int dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

TfrPBox::TfrPBox(TfrPreviewForm& form, QWidget* parent) : QWidget(parent), form_(form) {
    // Every pixel is painted by paintEvent: no background erasing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TfrPBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    form_.layoutPages();
}

void TfrPBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!form_.hasPages()) {
        painter.fillRect(rect(), palette().button());
        return;
    }
    if (!form_.paintEnabled) return;
    paintPages(painter, event->rect());
}

void TfrPBox::paintPages(QPainter& painter, const QRect& clip) {
    TfrEMFPages& pages = form_.pages();
    engine().currentReport = form_.report();
    QPainterCanvas canvas(painter);
    canvas.intersectClipRect(fromQRect(clip));

    canvas.save();
    for (int i = 0; i < pages.Count(); ++i) {
        PreparedPage& page = pages.Item(i);
        const Rect r = moved(page.screenRect, form_.viewOffsetX, form_.viewOffsetY);
        page.Visible = r.top <= kDrawDepth && r.bottom >= 0 && canvas.rectVisible(r);
        if (page.Visible)
            canvas.excludeClipRect(Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
    }
    canvas.setBrush(BrushSpec{kAreaGrey});
    canvas.fillRect(Rect{0, 0, width(), height()});
    canvas.restore();

    canvas.setPen(PenSpec{0, 1, PenStyle::Solid});
    canvas.setBrush(BrushSpec{0xFFFFFF});
    for (int i = 0; i < pages.Count(); ++i) {
        const PreparedPage& page = pages.Item(i);
        if (!page.Visible) continue;
        const Rect r = moved(page.screenRect, form_.viewOffsetX, form_.viewOffsetY);
        canvas.rectangle(r);
        canvas.polyline({{r.left + 1, r.bottom}, {r.right, r.bottom}, {r.right, r.top + 1}});
    }
    for (int i = 0; i < pages.Count(); ++i) {
        const Rect r = moved(pages.Item(i).screenRect, form_.viewOffsetX, form_.viewOffsetY);
        drawPage(canvas, i, r);
    }
    if (mark_) drawMark(canvas, *mark_);
}

void TfrPBox::drawMark(QPainterCanvas& canvas, const Rect& mark) {
    canvas.setPen(PenSpec{0xFFFFFF, 1, PenStyle::Solid, PenMode::Xor});
    for (int y = mark.top; y <= mark.bottom; ++y) canvas.line(mark.left, y, mark.right, y);
    canvas.setPen(PenSpec{0, 1, PenStyle::Solid, PenMode::Copy});
}

void TfrPBox::drawPage(QPainterCanvas& canvas, int index, const Rect& r) {
    TfrEMFPages& pages = form_.pages();
    PreparedPage& page = pages.Item(index);
    if (!page.Visible || brokenPages_.count(index)) {
        // Off screen: the page's live objects go.
        page.Page.reset();
        return;
    }
    try {
        CanvasStateGuard guard(canvas);
        pages.Draw(index, canvas, form_.contentRect(index, r));
    } catch (const std::exception& e) {
        // A damaged page is shown blank; its error is reported once, after
        // the paint.
        brokenPages_.insert(index);
        page.Page.reset();
        const std::string text = e.what();
        QTimer::singleShot(0, this, [text] { showException(Error(text)); });
    }
}

void TfrPBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        form_.ProcMenu->popup(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton || !form_.hasPages()) return;
    const QPoint at = event->position().toPoint();
    const Point unscrolled{at.x() - form_.viewOffsetX, at.y() - form_.viewOffsetY};
    clickedPage = form_.pageAt(unscrolled);
    int cursor = Qt::ArrowCursor;
    if (clickedPage > 0 && form_.offerToReport(clickedPage, unscrolled, cursor, true)) return;
    dragging = true;
    lastX = at.x();
    lastY = at.y();
    if (clickedPage > 0) {
        form_.currentPage = clickedPage;
        form_.updatePageLabel();
    }
}

void TfrPBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!dragging) {
        showMouseOverCursor(at);
        return;
    }
    // The content follows the mouse.
    form_.HScrollBar->setValue(form_.HScrollBar->value() + lastX - at.x());
    form_.VScrollBar->setValue(form_.VScrollBar->value() + lastY - at.y());
    lastX = at.x();
    lastY = at.y();
}

void TfrPBox::showMouseOverCursor(QPoint position) {
    TfrReport* report = form_.report();
    if (!report || !report->OnMouseOverObject || !form_.hasPages()) return;
    const Point unscrolled{position.x() - form_.viewOffsetX, position.y() - form_.viewOffsetY};
    const int page = form_.pageAt(unscrolled);
    int cursor = Qt::ArrowCursor;
    const bool taken = page > 0 && form_.offerToReport(page, unscrolled, cursor, false);
    if (taken && cursor >= 0 && cursor <= Qt::LastCursor)
        setCursor(static_cast<Qt::CursorShape>(cursor));
    else
        unsetCursor();
}

void TfrPBox::mouseReleaseEvent(QMouseEvent*) { dragging = false; }

// The second press of a double click arrives here instead of a press.
void TfrPBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging = false;
    if (clickedPage > 0 && clickedPage <= form_.pageCount()) {
        form_.currentPage = clickedPage;
        form_.updatePageLabel();
    }
}

void TfrPBox::wheelEvent(QWheelEvent* event) {
    // One notch is one small step; finer wheels add up to notches.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches == 0) return;
    QScrollBar* bar = form_.VScrollBar;
    bar->setValue(bar->value() - notches * bar->singleStep() * form_.wheelFactor);
    event->accept();
}

}  // namespace quor
