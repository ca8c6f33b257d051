#pragma once

// A canvas for tests that remembers what was drawn on it.

#include <string>
#include <vector>

#include "platform/canvas.h"

namespace quor::test {

class RecordingCanvas : public Canvas {
public:
    struct ImageCall {
        Rect dest;
        RasterImage image;
        bool smooth = false;
    };
    struct LineCall {
        Point from, to;
        PenSpec pen;
    };

    std::vector<ImageCall> images;
    std::vector<LineCall> lines;
    std::vector<Rect> fills;
    std::vector<std::string> texts;
    bool printer = false;

    int dpiX() const override { return 96; }
    int dpiY() const override { return 96; }
    bool isPrinter() const override { return printer; }

    void setFont(const FontSpec& f) override { font_ = f; }
    const FontSpec& font() const override { return font_; }
    FontMetrics fontMetrics() override { return {}; }
    int textWidth(std::string_view bytes) override { return static_cast<int>(bytes.size()) * 8; }
    Size textExtent(std::string_view bytes) override { return {textWidth(bytes), 16}; }
    void setTextCharacterExtra(int pixels) override { extra_ = pixels; }
    int textCharacterExtra() const override { return extra_; }
    void setTextJustification(int, int) override {}
    void textOut(int, int, std::string_view bytes, const Rect*, unsigned) override {
        texts.emplace_back(bytes);
    }
    void setTextColor(Color) override {}

    void setPen(const PenSpec& p) override { pen_ = p; }
    const PenSpec& pen() const override { return pen_; }
    void setBrush(const BrushSpec& b) override { brush_ = b; }
    const BrushSpec& brush() const override { return brush_; }
    void setBackgroundMode(BackgroundMode) override {}
    void setBackgroundColor(Color) override {}
    void fillRect(const Rect& r) override { fills.push_back(r); }
    void rectangle(const Rect& r) override { fills.push_back(r); }
    void line(int x1, int y1, int x2, int y2) override { lines.push_back({{x1, y1}, {x2, y2}, pen_}); }
    void polyline(const std::vector<Point>&) override {}
    void polygon(const std::vector<Point>&, bool) override {}
    void ellipse(const Rect&) override {}

    void save() override {}
    void restore() override {}
    void intersectClipRect(const Rect&) override {}
    void excludeClipRect(const Rect&) override {}
    Rect clipBox() const override { return {0, 0, 100000, 100000}; }
    bool rectVisible(const Rect&) const override { return true; }

    void drawImage(const Rect& dest, const RasterImage& image, bool smooth) override {
        images.push_back({dest, image, smooth});
    }

private:
    FontSpec font_;
    PenSpec pen_;
    BrushSpec brush_;
    int extra_ = 0;
};

}  // namespace quor::test
