// The flat tool button's looks: face only at rest, a raised frame under the
// mouse, sunken with the picture moved while pressed, a grey picture when
// disabled; and the click on release.

#include "output/speed_button.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace quor {
namespace {

QIcon redSquare() {
    QPixmap p(16, 16);
    p.fill(Qt::red);
    return QIcon(p);
}

QImage look(TfrSpeedButton& b) { return b.grab().toImage().convertToFormat(QImage::Format_RGB32); }

TEST(SpeedButtonTest, FrameFollowsHoverAndPress) {
    TfrTBButton button;
    button.setIcon(redSquare());
    const QRgb face = button.palette().button().color().rgb();
    const QRgb light = button.palette().light().color().rgb();
    const QRgb dark = button.palette().dark().color().rgb();

    QImage rest = look(button);
    EXPECT_EQ(rest.pixel(0, 0), face);
    EXPECT_EQ(rest.pixel(23, 23), face);
    EXPECT_EQ(rest.pixel(4, 4), qRgb(255, 0, 0));  // picture centred at 4..19
    EXPECT_EQ(rest.pixel(3, 3), face);

    button.setAttribute(Qt::WA_UnderMouse);
    QImage hot = look(button);
    EXPECT_EQ(hot.pixel(0, 5), light);
    EXPECT_EQ(hot.pixel(23, 5), dark);

    button.setDown(true);
    QImage pressed = look(button);
    EXPECT_EQ(pressed.pixel(0, 5), dark);
    EXPECT_EQ(pressed.pixel(23, 5), light);
    EXPECT_EQ(pressed.pixel(4, 4), face);  // the picture moved one pixel
    EXPECT_EQ(pressed.pixel(5, 5), qRgb(255, 0, 0));
    button.setDown(false);

    button.setEnabled(false);
    QImage disabled = look(button);
    const QRgb grey = disabled.pixel(10, 10);
    EXPECT_EQ(qRed(grey), qGreen(grey));
    EXPECT_EQ(disabled.pixel(0, 5), face);  // no frame while disabled
}

TEST(SpeedButtonTest, PlainButtonAlwaysHasItsFrameAndClicksOnRelease) {
    TfrSpeedButton plain;
    plain.resize(16, 16);
    const QImage image = look(plain);
    EXPECT_NE(image.pixel(15, 15), plain.palette().button().color().rgb());
    int clicks = 0;
    QObject::connect(&plain, &QAbstractButton::clicked, [&] { ++clicks; });
    plain.click();
    EXPECT_EQ(clicks, 1);

    TfrTBSeparator gap;
    EXPECT_EQ(gap.width(), 8);
}

}  // namespace
}  // namespace quor
