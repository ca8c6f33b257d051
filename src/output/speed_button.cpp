#include "output/speed_button.h"

#include <qdrawutil.h>

#include <QEvent>
#include <QPainter>
#include <QStyleOption>

namespace quor {
namespace {

constexpr int kPictureSize = 16;
constexpr int kPictureTextGap = 2;

}  // namespace

TfrSpeedButton::TfrSpeedButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    setIconSize(QSize(kPictureSize, kPictureSize));
}

void TfrSpeedButton::setFlat(bool flat) {
    flat_ = flat;
    update();
}

void TfrSpeedButton::setMargin(int margin) {
    margin_ = margin;
    update();
}

QSize TfrSpeedButton::sizeHint() const { return QSize(24, 24); }

bool TfrSpeedButton::event(QEvent* event) {
    // The frame follows the mouse.
    switch (event->type()) {
        case QEvent::HoverEnter:
        case QEvent::HoverLeave:
        case QEvent::EnabledChange:
            update();
            break;
        default:
            break;
    }
    return QAbstractButton::event(event);
}

void TfrSpeedButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const QRect r = rect();
    p.fillRect(r, pal.button());

    const bool hot = isEnabled() && underMouse();
    const bool sunken = isDown() && hot;
    if (!flat_)
        qDrawWinButton(&p, r, pal, sunken);
    else if (hot)
        qDrawShadePanel(&p, r, pal, sunken, 1);

    // Picture and text, moved one pixel right and down while pressed.
    const QPixmap picture =
        icon().isNull() ? QPixmap()
                        : icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QString caption = text();
    const QFontMetrics fm(font());
    const int pictureWidth = picture.isNull() ? 0 : iconSize().width();
    const int textWidth = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);
    const int gap = pictureWidth && textWidth ? kPictureTextGap : 0;
    const int contentWidth = pictureWidth + gap + textWidth;
    int x = margin_ >= 0 ? margin_ : (r.width() - contentWidth) / 2;
    const int shift = sunken ? 1 : 0;
    if (!picture.isNull()) {
        const int y = (r.height() - iconSize().height()) / 2;
        p.drawPixmap(x + shift, y + shift, picture);
        x += pictureWidth + gap;
    }
    if (!caption.isEmpty()) {
        p.setPen(isEnabled() ? pal.color(QPalette::ButtonText)
                             : pal.color(QPalette::Disabled, QPalette::ButtonText));
        const QRect textRect(x + shift, shift, r.width() - x, r.height());
        p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, caption);
    }
}

TfrTBButton::TfrTBButton(QWidget* parent) : TfrSpeedButton(parent) {
    setFlat(true);
    setFixedSize(24, 24);
}

TfrTBSeparator::TfrTBSeparator(QWidget* parent) : QWidget(parent) { setFixedSize(8, 24); }

void TfrTBSeparator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().button());
}

}  // namespace quor
