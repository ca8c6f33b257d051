#pragma once

// A surface with fixed-pitch glyphs for checking memo layout and placement
// arithmetic exactly: every byte is `cell` pixels wide plus the character
// spacing, lines are as high as the font's pixel height.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/numbers.h"

namespace quor::testing {

struct TextCall {
    int x = 0;
    int y = 0;
    std::string text;
    Rect clip;
    unsigned options = 0;
    FontSpec font;
    int justifyExtra = 0;
    int justifySpaces = 0;
    int charExtra = 0;
};

class FakeCanvas : public Canvas {
public:
    explicit FakeCanvas(int cell = 7, int dpi = 96, bool printer = false)
        : cell_(cell), dpi_(dpi), printer_(printer) {}

    int dpiX() const override { return dpi_; }
    int dpiY() const override { return dpi_; }
    bool isPrinter() const override { return printer_; }

    void setFont(const FontSpec& f) override { font_ = f; }
    const FontSpec& font() const override { return font_; }
    FontMetrics fontMetrics() override {
        const int h = clampToInt(std::abs(std::int64_t{font_.height}));
        const int ascent = static_cast<int>(std::int64_t{h} * 3 / 4);
        return FontMetrics{h, ascent, h - ascent, 0, cell_};
    }
    int textWidth(std::string_view bytes) override {
        ++widthCalls;
        return clampToInt(static_cast<std::int64_t>(bytes.size()) * (std::int64_t{cell_} + extra_));
    }
    // Saturated like a real surface: damaged spacing and heights are fuzzed through it.
    Size textExtent(std::string_view bytes) override {
        std::int64_t widest = 0, lines = 1, current = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            char c = bytes[i];
            if (c == '\r' || c == '\n') {
                if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
                ++lines;
                current = 0;
                continue;
            }
            current += std::int64_t{cell_} + extra_;
            if (current > widest) widest = current;
        }
        return Size{clampToInt(widest), clampToInt(lines * std::abs(std::int64_t{font_.height}))};
    }
    void setTextCharacterExtra(int pixels) override { extra_ = pixels; }
    int textCharacterExtra() const override { return extra_; }
    void setTextJustification(int extraPixels, int spaceCount) override {
        justifyExtra_ = extraPixels;
        justifySpaces_ = spaceCount;
    }
    void textOut(int x, int y, std::string_view bytes, const Rect* clip, unsigned options) override {
        calls.push_back(TextCall{x, y, std::string(bytes), clip ? *clip : Rect{}, options, font_,
                                 justifyExtra_, justifySpaces_, extra_});
    }
    void setTextColor(Color) override {}
    void setPen(const PenSpec& p) override { pen_ = p; }
    const PenSpec& pen() const override { return pen_; }
    void setBrush(const BrushSpec& b) override { brush_ = b; }
    const BrushSpec& brush() const override { return brush_; }
    void setBackgroundMode(BackgroundMode) override {}
    void setBackgroundColor(Color) override {}
    void fillRect(const Rect&) override {}
    void rectangle(const Rect&) override {}
    void line(int x1, int y1, int x2, int y2) override { lines.push_back({x1, y1, x2, y2}); }
    void polyline(const std::vector<Point>&) override {}
    void polygon(const std::vector<Point>&, bool) override {}
    void ellipse(const Rect&) override {}
    void save() override {}
    void restore() override {}
    void intersectClipRect(const Rect&) override {}
    void excludeClipRect(const Rect&) override {}
    Rect clipBox() const override { return Rect{0, 0, 100000, 100000}; }
    bool rectVisible(const Rect&) const override { return true; }
    void drawImage(const Rect&, const RasterImage&, bool) override {}

    std::vector<TextCall> calls;
    std::vector<Rect> lines;  // x1, y1, x2, y2
    int widthCalls = 0;
    int justifyExtra() const { return justifyExtra_; }

private:
    int cell_;
    int dpi_;
    bool printer_;
    FontSpec font_;
    PenSpec pen_;
    BrushSpec brush_;
    int extra_ = 0;
    int justifyExtra_ = 0;
    int justifySpaces_ = 0;
};

}  // namespace quor::testing
