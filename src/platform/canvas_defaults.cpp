#include <cmath>

// Default implementations of the Canvas operations that can be built from
// the others.

#include "platform/canvas.h"
#include "platform/codepage.h"

namespace quor {

namespace {

// Enough segments for a smooth curve at print resolution without exploding
// on huge control polygons.
int bezierSteps(Point p0, Point p1, Point p2, Point p3) {
    double len = std::hypot(double(p1.x) - p0.x, double(p1.y) - p0.y) +
                 std::hypot(double(p2.x) - p1.x, double(p2.y) - p1.y) +
                 std::hypot(double(p3.x) - p2.x, double(p3.y) - p2.y);
    int n = static_cast<int>(len / 4.0) + 1;
    return n < 2 ? 2 : (n > 64 ? 64 : n);
}

}  // namespace

void flattenPath(const CanvasPath& path, std::vector<std::vector<Point>>& polylines,
                 std::vector<bool>& closed) {
    polylines.clear();
    closed.clear();
    std::size_t pi = 0;
    auto start = [&](Point p) {
        polylines.push_back({p});
        closed.push_back(false);
    };
    for (CanvasPath::Op op : path.ops) {
        switch (op) {
        case CanvasPath::Op::Move:
            if (pi >= path.points.size()) return;
            start(path.points[pi++]);
            break;
        case CanvasPath::Op::Line:
            if (pi >= path.points.size()) return;
            if (polylines.empty()) start(path.points[pi]);
            else polylines.back().push_back(path.points[pi]);
            ++pi;
            break;
        case CanvasPath::Op::Bezier: {
            if (pi + 3 > path.points.size()) return;
            if (polylines.empty()) start(path.points[pi]);
            Point p0 = polylines.back().back();
            Point p1 = path.points[pi], p2 = path.points[pi + 1], p3 = path.points[pi + 2];
            pi += 3;
            int n = bezierSteps(p0, p1, p2, p3);
            for (int i = 1; i <= n; ++i) {
                double t = double(i) / n, u = 1 - t;
                double x = u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x +
                           t * t * t * p3.x;
                double y = u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y +
                           t * t * t * p3.y;
                polylines.back().push_back(
                    Point{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))});
            }
            break;
        }
        case CanvasPath::Op::Close:
            if (!polylines.empty()) {
                closed.back() = true;
                // Drawing after a close starts a new figure at the same point.
                Point first = polylines.back().front();
                start(first);
            }
            break;
        }
    }
    // Drop the single-point figures a close or a lone move leaves behind.
    for (std::size_t i = polylines.size(); i-- > 0;) {
        if (polylines[i].size() < 2) {
            polylines.erase(polylines.begin() + static_cast<std::ptrdiff_t>(i));
            closed.erase(closed.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void Canvas::drawPath(const CanvasPath& path, bool fill, bool stroke, bool winding) {
    std::vector<std::vector<Point>> lines;
    std::vector<bool> closed;
    flattenPath(path, lines, closed);
    PenSpec savedPen = pen();
    BrushSpec savedBrush = brush();
    if (fill) {
        PenSpec none = savedPen;
        none.style = PenStyle::Null;
        setPen(none);
        for (const auto& l : lines) polygon(l, winding);
        setPen(savedPen);
    }
    if (stroke) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::vector<Point> l = lines[i];
            if (closed[i]) l.push_back(l.front());
            polyline(l);
        }
    }
    setBrush(savedBrush);
}

int Canvas::textWidthW(std::u16string_view text) {
    return textWidth(unicodeToBytes(text, codePageForCharset(font().charset)));
}

void Canvas::textOutW(int x, int y, std::u16string_view text, const Rect* clip, unsigned options) {
    textOut(x, y, unicodeToBytes(text, codePageForCharset(font().charset)), clip, options);
}

}  // namespace quor
