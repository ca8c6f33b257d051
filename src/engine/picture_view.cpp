#include "engine/picture_view.h"

#include <climits>
#include <filesystem>

#include "engine/engine_state.h"
#include "engine/expr/expression_engine.h"
#include "engine/property_values.h"
#include "engine/stream.h"
#include "platform/error.h"

namespace quor {
namespace {

const std::vector<std::string> kBlobTypeNames = {"btBMP", "btJPG", "btICO", "btWMF"};

// RestoreGeometry always follows ApplyScale, also when drawing fails.
class ScaleGuard {
public:
    explicit ScaleGuard(TfrView& view) : view_(view) { view_.ApplyScale(); }
    ~ScaleGuard() { view_.RestoreGeometry(); }
    ScaleGuard(const ScaleGuard&) = delete;
    ScaleGuard& operator=(const ScaleGuard&) = delete;

private:
    TfrView& view_;
};

void setFlag(std::uint16_t& flags, std::uint16_t bit, bool on) {
    flags = static_cast<std::uint16_t>(on ? (flags | bit) : (flags & ~bit));
}

bool isStoredGraphicKind(std::uint8_t kind) { return kind >= 1 && kind <= 4; }

// Scripts and expressions name the BlobType values "btBMP" ... "btWMF".
void registerBlobTypeConstants() {
    for (std::size_t i = 0; i < kBlobTypeNames.size(); ++i)
        expressionEngine().setGlobalConstant(kBlobTypeNames[i], Variant(static_cast<int>(i)));
}

}  // namespace

TfrPictureView::TfrPictureView() {
    objectKind = kKindPicture;
    baseName = "Picture";
    Flags = kPictureStretched | kPictureKeepAspect;
    registerBlobTypeConstants();
}

void TfrPictureView::RegisterProperties() {
    TfrView::RegisterProperties();
    addProperty("Stretched", PropertyType::Boolean);
    addProperty("Center", PropertyType::Boolean);
    addProperty("KeepAspect", PropertyType::Boolean);
    addProperty("DataField", PropertyType::String);
    addProperty("BlobType", PropertyType::Enumeration, false, kBlobTypeNames, {0, 1, 2, 3});
}

void TfrPictureView::SetProperty(std::string_view name, const Variant& value) {
    if (sameName(name, "Center")) setFlag(Flags, kPictureCenter, props::toBool(value));
    else if (sameName(name, "KeepAspect")) setFlag(Flags, kPictureKeepAspect, props::toBool(value));
    else if (sameName(name, "BlobType")) BlobType = static_cast<std::uint8_t>(props::toEnum(value, kBlobTypeNames));
    else TfrView::SetProperty(name, value);
}

Variant TfrPictureView::GetProperty(std::string_view name) {
    if (sameName(name, "Center")) return Variant((Flags & kPictureCenter) != 0);
    if (sameName(name, "KeepAspect")) return Variant((Flags & kPictureKeepAspect) != 0);
    if (sameName(name, "BlobType")) return Variant(static_cast<int>(BlobType));
    return TfrView::GetProperty(name);
}

Variant TfrPictureView::CallMethod(std::string_view name, const Variant& arg1, const Variant& arg2,
                                   const Variant& arg3) {
    if (sameName(name, "LOADFROMFILE")) {
        const std::string file = props::variantToText(props::evaluateArgument(*this, arg1));
        std::error_code error;
        // A name that leads nowhere empties the picture instead of failing.
        if (!file.empty() && std::filesystem::is_regular_file(file, error))
            picture.loadFromFile(file);
        else
            picture.clear();
        return {};
    }
    return TfrView::CallMethod(name, arg1, arg2, arg3);
}

void TfrPictureView::Draw(Canvas& c) {
    AttachCanvas(c);
    ScaleGuard scaled(*this);
    DrawBackground();
    const Graphic* graphic = picture.graphic();
    if (graphic && !engine().firstPass) {
        const Size size = graphic->size();
        if (size.width > 0 && size.height > 0)
            drawGraphic(*graphic, pictureTarget(frameRect, Size{Width, Height}, size, drawScaleX, drawScaleY, Flags));
    }
    // An empty picture shows only its background and frame; the editing
    // placeholder belongs to design tools.
    DrawFrame();
}

void TfrPictureView::drawGraphic(const Graphic& graphic, const Rect& target) {
    if (drawForPrinter && graphic.isRaster()) {
        // Printers get plain 24-bit pixels, stretched by dropping or
        // repeating rows and columns.
        const RasterImage pixels = graphic.toRaster24();
        canvas->drawImage(target, pixels, false);
        return;
    }
    graphic.draw(*canvas, target, !drawForPrinter);
}

void TfrPictureView::LoadFromStream(StreamReader& in) {
    TfrView::LoadFromStream(in);
    picture.clear();
    const std::uint8_t kind = in.u8();
    if (objectVersionHigh * 10 + objectVersionLow > 10) BlobType = in.u8();
    const std::int32_t end = in.i32();
    const std::size_t start = in.position();
    // An end position behind the data would send the reader backwards.
    if (end < 0 || static_cast<std::size_t>(end) < start)
        throw FormatError("Damaged picture data in " + Name);
    if (isStoredGraphicKind(kind)) {
        std::string bytes = in.bytes(static_cast<std::size_t>(end) - start);
        try {
            picture.loadFromBytes(static_cast<GraphicKind>(kind), std::move(bytes), Name);
        } catch (const Error&) {
            // A graphic that cannot be decoded leaves the picture empty; the
            // records after it are still read from the right place.
            picture.clear();
        }
    }
    in.seek(static_cast<std::size_t>(end));
}

void TfrPictureView::SaveToStream(StreamWriter& out) {
    TfrView::SaveToStream(out);
    const Graphic* graphic = picture.graphic();
    out.u8(graphic ? static_cast<std::uint8_t>(graphic->kind()) : 0);
    // The loader expects BlobType after the layout version bytes, which only
    // version-24 streams carry (always above 1.0 there).
    if (out.version() >= 24) out.u8(BlobType);
    const std::size_t endAt = out.placeholderI32();
    if (graphic) out.bytes(graphic->bytes());
    if (out.position() > static_cast<std::size_t>(INT32_MAX))
        throw FormatError("Picture " + Name + " is too large to be stored");
    out.patchI32(endAt, static_cast<std::int32_t>(out.position()));
}

}  // namespace quor
