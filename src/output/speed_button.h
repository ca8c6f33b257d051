#pragma once

// Tool-bar buttons of the engine's windows. A flat button shows only its
// face until the mouse is over it (a raised frame), sinks while pressed with
// the mouse over it, and greys its picture when disabled; a plain button
// always wears its raised frame. The click fires on release over the button.

#include <QAbstractButton>
#include <QIcon>

namespace quor {

class TfrSpeedButton : public QAbstractButton {
public:
    explicit TfrSpeedButton(QWidget* parent = nullptr);

    void setFlat(bool flat);
    bool isFlat() const { return flat_; }
    // Space between the left edge and the picture; -1 centres picture and
    // text together.
    void setMargin(int margin);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool flat_ = false;
    int margin_ = -1;
};

// A flat button of a tool strip.
class TfrTBButton : public TfrSpeedButton {
public:
    explicit TfrTBButton(QWidget* parent = nullptr);
};

// An 8-pixel gap between groups of tool buttons, in the button-face colour.
class TfrTBSeparator : public QWidget {
public:
    explicit TfrTBSeparator(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quor
