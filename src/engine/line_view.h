#pragma once

// TfrLineView draws a single horizontal or vertical rule with its frame pen.

#include "engine/view.h"

namespace quor {

class TfrLineView : public TfrStretcheable {
public:
    TfrLineView();

    std::string className() const override { return "TfrLineView"; }

    void RegisterProperties() override;
    // Lies down (Height 0, top line) when it is wider than high, else stands
    // up (Width 0, left line); the change stays with the view.
    void Draw(Canvas& canvas) override;
    Rect ClipRegion(bool extended) const override;

    int CalcHeight() override { return Height; }
    int SmallestHeight() override { return 1; }
    int LeftoverHeight() override { return 0; }

    bool isHorizontal() const { return Height < Width; }
};

}  // namespace quor
