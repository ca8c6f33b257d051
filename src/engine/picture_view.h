#pragma once

// TfrPictureView shows one graphic (bitmap, metafile, icon or JPEG image)
// in a rectangle of a report page: stretched, kept in proportion, centred
// or at its natural size.

#include <cstdint>

#include "engine/picture_target.h"
#include "engine/view.h"
#include "platform/picture.h"

namespace quor {

// BlobType values ("btBMP;btJPG;btICO;btWMF").
enum BlobTypeCode : std::uint8_t {
    kBlobBitmap = 0,
    kBlobJpeg = 1,
    kBlobIcon = 2,
    kBlobMetafile = 3,
};

class TfrPictureView : public TfrView {
public:
    TfrPictureView();

    std::string className() const override { return "TfrPictureView"; }

    void SetProperty(std::string_view name, const Variant& value) override;
    Variant GetProperty(std::string_view name) override;
    // Adds "LOADFROMFILE" (file name given as an expression).
    Variant CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                       const Variant& arg3) override;
    void RegisterProperties() override;

    void Draw(Canvas& canvas) override;
    void LoadFromStream(StreamReader& in) override;
    void SaveToStream(StreamWriter& out) override;

    Picture picture;
    std::uint8_t BlobType = kBlobBitmap;

private:
    void drawGraphic(const Graphic& graphic, const Rect& target);
};

}  // namespace quor
