#include "platform/measure_canvas.h"

#include <QImage>

#include "platform/numbers.h"
#include "platform/qpainter_canvas.h"

namespace quor {
namespace {

struct MeasureSurface {
    QImage image;
    QPainterCanvas canvas;

    static QImage make() {
        // Drawing on it during measuring (fit tests of a memo) is allowed
        // and cheap: the image is tiny and nobody looks at it.
        QImage img(16, 16, QImage::Format_ARGB32_Premultiplied);
        const int dpm = roundInt(96 / 0.0254);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        img.fill(Qt::white);
        return img;
    }
    MeasureSurface() : image(make()), canvas(&image) {}
};

}  // namespace

Canvas& measureCanvas() {
    // Never destroyed: fonts must not be released after the application.
    static MeasureSurface* surface = new MeasureSurface;
    return surface->canvas;
}

}  // namespace quor
