#pragma once

// The preview's page area: paints the visible pages on grey (nothing else
// is ever erased), hands presses to the report's object clicks, drags the
// view by hand, scrolls by the wheel and opens the zoom menu on a right
// press.

#include <QWidget>
#include <optional>
#include <set>

#include "platform/geometry.h"

namespace quor {

class TfrPreviewForm;
class QPainterCanvas;

class TfrPBox : public QWidget {
public:
    TfrPBox(TfrPreviewForm& form, QWidget* parent);

    bool dragging = false;
    int lastX = 0;
    int lastY = 0;
    // The page under the last press (1-based), 0 for none.
    int clickedPage = 0;

    // Marks a found text in exclusive-or over the painted pages: for k = 0
    // .. height, a line from (left, top + k) to (right, top + k). Every
    // paint draws it (the window system repaints the area when a dialog
    // over it closes) until the view moves: a scroll carries the pixels
    // already marked along, and the next repaint there shows none.
    void setMark(const Rect& mark) { mark_ = mark; }
    void clearMark() { mark_.reset(); }
    const std::optional<Rect>& mark() const { return mark_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void paintPages(QPainter& painter, const QRect& clip);
    void drawPage(QPainterCanvas& canvas, int index, const Rect& r);
    void showMouseOverCursor(QPoint position);
    void drawMark(QPainterCanvas& canvas, const Rect& mark);

    TfrPreviewForm& form_;
    int wheelRemainder_ = 0;
    // Pages whose objects could not be read: drawn blank, reported once.
    std::set<int> brokenPages_;
    std::optional<Rect> mark_;
};

}  // namespace quor
