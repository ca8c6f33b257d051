#pragma once

// A Windows metafile graphic: a WMF (with or without the placeable header)
// or an EMF, kept as the bytes it was loaded from, with its frame, drawn by
// playing its records onto any Canvas.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/geometry.h"

namespace quor {

enum class MetafileFormat { Wmf, PlaceableWmf, Emf };

// One record as the enumeration lists it.
struct MetafileRecord {
    int index = 0;             // position in the file, 0 = the header
    std::uint32_t type = 0;    // EMR_* number, or the WMF function number
    Rect bounds;               // what it drew, in target pixels; empty when nothing
    bool isText = false;
    bool isWide = false;       // UTF-16 text
    std::string bytes;         // 8-bit text, in the font's character set
    int charset = 0;
    std::u16string wide;       // UTF-16 text
};

class Metafile {
public:
    // Raises FormatError when the bytes are no metafile or its header is damaged.
    static Metafile fromBytes(std::string bytes);

    const std::string& bytes() const { return bytes_; }
    MetafileFormat format() const { return format_; }
    bool isEnhanced() const { return format_ == MetafileFormat::Emf; }

    // The frame in the file's own units: 0.01 mm for EMF, logical units for
    // WMF (unitsPerInch() of them per inch when placeable).
    Rect frame() const { return frame_; }
    int unitsPerInch() const { return unitsPerInch_; }
    // Size in 0.01 mm and in pixels at `dpi` (96: the screen's).
    Size sizeMm100() const { return sizeMm100_; }
    Size sizePixels(int dpi = 96) const;

    // Draws the picture with its frame stretched onto dest, through the
    // canvas's drawMetafile (which plays the records unless the canvas
    // handles metafiles itself).
    void draw(Canvas& canvas, const Rect& dest) const;
    // Plays the records onto the canvas's drawing operations.
    void playOnto(Canvas& canvas, const Rect& dest) const;

    // The records in file order, with what each drew inside dest. The
    // canvas only measures text; nothing is drawn on it.
    std::vector<MetafileRecord> records(Canvas& measure, const Rect& dest) const;

private:
    void play(Canvas& canvas, const Rect& dest, bool measureOnly,
              std::vector<MetafileRecord>* out) const;

    std::string bytes_;
    MetafileFormat format_ = MetafileFormat::Emf;
    Rect frame_;
    int unitsPerInch_ = 2540;
    Size sizeMm100_;
};

}  // namespace quor
