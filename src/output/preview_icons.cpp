#include "output/preview_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace quor::preview_icons {
namespace {

constexpr int kSize = 16;

const QColor kOutline(40, 40, 40);
const QColor kPaper(255, 255, 255);
const QColor kGlass(170, 210, 240);
const QColor kFolder(230, 190, 80);
const QColor kDisk(60, 90, 170);
const QColor kRed(190, 40, 40);
const QColor kGreen(40, 130, 60);

QIcon drawn(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kOutline, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void magnifier(QPainter& p, QPointF centre, qreal radius) {
    p.setPen(QPen(kOutline, 2.2, Qt::SolidLine, Qt::RoundCap));
    const qreal d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(radius + 4.5, radius + 4.5));
    p.setPen(QPen(kOutline, 1.4));
    p.setBrush(kGlass);
    p.drawEllipse(centre, radius, radius);
}

}  // namespace

QIcon zoom() {
    return drawn([](QPainter& p) {
        magnifier(p, {6.5, 6.5}, 4.5);
        p.setPen(QPen(kOutline, 1.2));
        p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
        p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
    });
}

QIcon open() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(kFolder.darker(120));
        p.drawRect(QRectF(1.5, 3.5, 11, 10));
        p.drawRect(QRectF(1.5, 2.5, 5, 1.5));
        QPainterPath front;
        front.moveTo(1.5, 13.5);
        front.lineTo(4.5, 6.5);
        front.lineTo(15.0, 6.5);
        front.lineTo(12.5, 13.5);
        front.closeSubpath();
        p.setBrush(kFolder);
        p.drawPath(front);
    });
}

QIcon save() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(kOutline, 1));
        p.setBrush(kDisk);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

QIcon print() {
    return drawn([](QPainter& p) {
        sheet(p, QRectF(4.5, 1.5, 7, 5));
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(160, 160, 160));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
        sheet(p, QRectF(4.5, 10.5, 7, 4));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawEllipse(QPointF(12.5, 8.5), 0.9, 0.9);
    });
}

QIcon pageSetup() {
    return drawn([](QPainter& p) {
        sheet(p, QRectF(2.5, 1.5, 9, 13));
        p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 3.5, 5, 9));
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(QColor(200, 200, 200));
        p.drawEllipse(QPointF(12, 12), 3, 3);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(12, 12), 1, 1);
    });
}

QIcon find() {
    return drawn([](QPainter& p) {
        sheet(p, QRectF(1.5, 1.5, 9, 12));
        p.setPen(QPen(QColor(120, 120, 120), 1));
        for (int y = 4; y <= 10; y += 2) p.drawLine(QPointF(3.5, y + 0.5), QPointF(8.5, y + 0.5));
        magnifier(p, {9.5, 8.5}, 3.2);
    });
}

QIcon help() {
    return drawn([](QPainter& p) {
        p.setPen(QPen(kDisk.darker(130), 1));
        p.setBrush(kDisk);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        QFont f;
        f.setPixelSize(11);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(1.5, 1.5, 13, 13), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon exit() {
    return drawn([](QPainter& p) {
        // An open door with an arrow leaving through it.
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(7.5, 1.5, 7, 13));
        p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(1.5, 8), QPointF(10, 8));
        p.drawLine(QPointF(1.5, 8), QPointF(4.5, 5));
        p.drawLine(QPointF(1.5, 8), QPointF(4.5, 11));
    });
}

namespace {

QIcon triangle(bool up) {
    return drawn([up](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kOutline);
        QPolygonF t;
        if (up)
            t << QPointF(4, 10) << QPointF(12, 10) << QPointF(8, 5);
        else
            t << QPointF(4, 6) << QPointF(12, 6) << QPointF(8, 11);
        p.drawPolygon(t);
        p.setPen(QPen(kOutline, 1.2));
        const qreal y = up ? 3.5 : 12.5;
        p.drawLine(QPointF(4, y), QPointF(12, y));
    });
}

}  // namespace

QIcon pageUp() { return triangle(true); }
QIcon pageDown() { return triangle(false); }

}  // namespace quor::preview_icons
