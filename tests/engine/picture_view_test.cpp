#include <QImage>
#include <filesystem>

#include "engine/expr/expression_engine.h"
#include "engine/picture_view.h"
#include "engine/stream.h"
#include "engine/view_factory.h"
#include "platform/error.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "support/picture_samples.h"
#include "view_fixtures.h"

using namespace quor;
using namespace quor::viewtest;

namespace {

class PictureView : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        engine().documentMode = true;
        engine().firstPass = false;
    }
};

// A wide graphic of 200 x 100 pixels: red left half, blue right half.
std::string wideBmp() {
    return test::makeBmp(200, 100, [](int x, int) { return x < 100 ? 0xFFFF0000u : 0xFF0000FFu; });
}

void place(TfrPictureView& v, std::uint16_t flags) {
    v.Name = "Logo";
    v.SetBounds(10, 20, 100, 100);
    v.Flags = flags;
    v.picture.loadFromBytes(GraphicKind::Bitmap, wideBmp(), "wide.bmp");
}

Rect drawnTarget(TfrPictureView& v) {
    RecordingCanvas canvas;
    v.Draw(canvas);
    const auto images = canvas.all<RecordedImage>();
    return images.size() == 1 ? images[0].dest : Rect{-1, -1, -1, -1};
}

// A graphic that is not made of pixels (as metafiles are), remembering how
// it was asked to draw.
class VectorGraphic : public Graphic {
public:
    mutable std::vector<std::pair<Rect, bool>> draws;
    std::string data = "vector";
    GraphicKind kind() const override { return GraphicKind::Metafile; }
    Size size() const override { return {40, 20}; }
    const std::string& bytes() const override { return data; }
    bool isRaster() const override { return false; }
    void draw(Canvas&, const Rect& target, bool smooth) const override { draws.push_back({target, smooth}); }
    RasterImage toRaster24() const override { return {}; }
};

class FailingCanvas : public RecordingCanvas {
public:
    void drawImage(const Rect&, const RasterImage&, bool) override { throw Error("device lost"); }
};

std::string save(TfrPictureView& v, int version = 24) {
    StreamWriter w(version);
    v.SaveToStream(w);
    return w.take();
}

void load(TfrPictureView& v, StreamReader& r, int version = 24) {
    engine().streamVersion = version;
    v.LoadFromStream(r);
}

}  // namespace

TEST_F(PictureView, InitialValuesAndFactory) {
    TfrPictureView v;
    EXPECT_EQ(v.objectKind, kKindPicture);
    EXPECT_EQ(v.baseName, "Picture");
    EXPECT_EQ(v.Flags, kPictureStretched | kPictureKeepAspect);
    EXPECT_EQ(v.BlobType, kBlobBitmap);
    EXPECT_TRUE(v.picture.isEmpty());

    auto made = ViewFactory::instance().create(kKindPicture);
    ASSERT_NE(dynamic_cast<TfrPictureView*>(made.get()), nullptr);
}

TEST_F(PictureView, TargetRectanglesOfTheFlagCombinations) {
    TfrPictureView v;
    place(v, kPictureStretched | kPictureKeepAspect);
    EXPECT_EQ(drawnTarget(v), (Rect{10, 20, 111, 70}));
    place(v, kPictureStretched | kPictureKeepAspect | kPictureCenter);
    EXPECT_EQ(drawnTarget(v), (Rect{10, 45, 111, 95}));
    place(v, kPictureStretched);
    EXPECT_EQ(drawnTarget(v), (Rect{10, 20, 111, 121}));
    place(v, kPictureStretched | kPictureCenter);
    EXPECT_EQ(drawnTarget(v), (Rect{10, 20, 111, 121}));

    // Natural size at draw scale 2: 400 x 200 from the scaled frame corner.
    place(v, 0);
    v.drawScaleX = v.drawScaleY = 2;
    v.drawOffsetX = 5;
    EXPECT_EQ(drawnTarget(v), (Rect{25, 40, 425, 240}));
    // Geometry is back in design pixels afterwards.
    EXPECT_EQ(v.Left, 10);
    EXPECT_EQ(v.Width, 100);
}

TEST_F(PictureView, WhileEditingScalesAreIgnored) {
    engine().documentMode = false;
    TfrPictureView v;
    place(v, 0);
    v.drawScaleX = v.drawScaleY = 2;
    EXPECT_EQ(drawnTarget(v), (Rect{10, 20, 210, 120}));
}

TEST_F(PictureView, ScreenSmoothsAndPrinterGetsNearestNeighbourPixels) {
    TfrPictureView v;
    v.SetBounds(0, 0, 39, 9);
    v.Flags = kPictureStretched;
    // 2 x 1 pixels: opaque red and a fully transparent one.
    v.picture.loadFromBytes(GraphicKind::Icon,
                            test::makeIcon({{2, [](int x, int) { return x == 0 ? 0xFFFF0000u : 0x000000FFu; }}}),
                            "two.ico");
    {
        RecordingCanvas screen;
        v.Draw(screen);
        ASSERT_EQ(screen.all<RecordedImage>().size(), 1u);
        EXPECT_TRUE(screen.all<RecordedImage>()[0].smooth);
    }
    QImage paper(60, 20, QImage::Format_ARGB32);
    paper.fill(0xFF00FF00u);  // green, so that white can only come from the picture
    {
        QPainterCanvas printer(&paper, true);
        v.drawForPrinter = true;
        v.Draw(printer);
    }
    // The target is 40 x 10: the left 20 columns red, the right 20 white
    // (transparency lies on white paper), with no blended column between.
    for (int x = 0; x < 40; ++x) EXPECT_EQ(paper.pixel(x, 5), x < 20 ? 0xFFFF0000u : 0xFFFFFFFFu) << x;
    EXPECT_EQ(paper.pixel(40, 5), 0xFF00FF00u);
    EXPECT_EQ(paper.pixel(5, 10), 0xFF00FF00u);
}

TEST_F(PictureView, GraphicsWithoutPixelsArePlayedOntoThePrinter) {
    TfrPictureView v;
    v.SetBounds(0, 0, 100, 100);
    auto vector = std::make_unique<VectorGraphic>();
    const VectorGraphic* g = vector.get();
    v.picture.setGraphic(std::move(vector));
    v.drawForPrinter = true;
    RecordingCanvas canvas(600, true);
    v.Draw(canvas);
    ASSERT_EQ(g->draws.size(), 1u);
    EXPECT_EQ(g->draws[0].first, (Rect{0, 0, 101, 50}));
    EXPECT_FALSE(g->draws[0].second);
    EXPECT_TRUE(canvas.all<RecordedImage>().empty());
}

TEST_F(PictureView, AFailedDrawingPutsTheGeometryBack) {
    TfrPictureView v;
    place(v, kPictureStretched);
    v.drawScaleX = v.drawScaleY = 3;
    v.drawForPrinter = true;
    FailingCanvas canvas;
    EXPECT_THROW(v.Draw(canvas), Error);
    EXPECT_EQ(v.Left, 10);
    EXPECT_EQ(v.Top, 20);
    EXPECT_EQ(v.Width, 100);
    EXPECT_FLOAT_EQ(v.FrameWidth, 1.0f);
}

TEST_F(PictureView, EmptyPictureDrawsBackgroundAndFrameOnly) {
    TfrPictureView v;
    v.SetBounds(10, 10, 50, 30);
    v.FillColor = 0x00CCDDEE;
    v.FrameTyp = kFrameLeft | kFrameTop;
    RecordingCanvas canvas;
    v.Draw(canvas);
    EXPECT_EQ(canvas.all<RecordedFill>().size(), 1u);
    EXPECT_EQ(canvas.all<RecordedLine>().size(), 2u);
    EXPECT_TRUE(canvas.all<RecordedImage>().empty());
    EXPECT_TRUE(canvas.all<RecordedText>().empty());

    // The first pass of a two-pass build draws nothing at all.
    place(v, kPictureStretched);
    engine().firstPass = true;
    RecordingCanvas firstPass;
    v.Draw(firstPass);
    EXPECT_TRUE(firstPass.ops().empty());
}

TEST_F(PictureView, NamedProperties) {
    TfrPictureView v;
    v.Flags = 0;
    v.SetProperty("center", Variant(true));
    v.SetProperty("KEEPASPECT", Variant("True"));
    v.SetProperty("Stretched", Variant(1));
    EXPECT_EQ(v.Flags, 7);
    v.SetProperty("Center", Variant(false));
    EXPECT_EQ(v.GetProperty("Center"), Variant(false));
    EXPECT_EQ(v.GetProperty("KeepAspect"), Variant(true));
    v.SetProperty("BlobType", Variant("btICO"));
    EXPECT_EQ(v.BlobType, kBlobIcon);
    v.SetProperty("blobtype", Variant(3));
    EXPECT_EQ(v.GetProperty("BlobType"), Variant(3));
    EXPECT_EQ(v.GetProperty("Left"), Variant(0));

    std::vector<std::string> names;
    for (const auto& p : v.properties()) names.push_back(p.name);
    const std::vector<std::string> tail(names.end() - 5, names.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Stretched", "Center", "KeepAspect", "DataField", "BlobType"}));
    EXPECT_EQ(v.properties().back().enumNames, (std::vector<std::string>{"btBMP", "btJPG", "btICO", "btWMF"}));
}

TEST_F(PictureView, LoadFromFileTakesAnExpressionAndEmptiesOnMissingFiles) {
    engine().evaluate = [](TfrView&, const std::string& expression) { return Variant(expression); };
    const std::string logo = std::string(QUOR_SOURCE_DIR) + "/samples/logo.bmp";
    TfrPictureView v;
    v.CallMethod("LoadFromFile", Variant(logo), {}, {});
    ASSERT_FALSE(v.picture.isEmpty());
    EXPECT_EQ(v.picture.graphic()->size(), (Size{120, 24}));

    for (const std::string& missing : {std::string("/nonexistent/logo.bmp"), std::string(),
                                       std::string(QUOR_SOURCE_DIR) + "/samples"}) {
        v.picture.loadFromFile(logo);
        EXPECT_NO_THROW(v.CallMethod("LOADFROMFILE", Variant(missing), {}, {})) << missing;
        EXPECT_TRUE(v.picture.isEmpty()) << missing;
    }
    // An existing file that is not a picture still reports why.
    EXPECT_THROW(v.CallMethod("LOADFROMFILE", Variant(std::string(QUOR_SOURCE_DIR) + "/samples/default.ini"), {}, {}),
                 FormatError);
}

TEST_F(PictureView, StreamRoundTripsAreByteExact) {
    const std::string jpeg = test::readFileBytes(std::string(QUOR_SOURCE_DIR) + "/samples/stamp.jpg");
    for (bool prepared : {false, true}) {
        TfrPictureView v;
        v.preparedMode = prepared;
        v.Name = "FPT";
        v.SetBounds(156, 24, 96, 10);
        v.Flags = kPictureStretched;
        v.BlobType = kBlobJpeg;
        v.picture.loadFromBytes(GraphicKind::Jpeg, jpeg, "stamp.jpg");
        const std::string first = save(v);
        // Kind, BlobType and the end position sit just before the file bytes.
        const std::size_t at = first.size() - jpeg.size();
        EXPECT_EQ(first.substr(at), jpeg);
        EXPECT_EQ(static_cast<unsigned char>(first[at - 6]), 4);
        EXPECT_EQ(static_cast<unsigned char>(first[at - 5]), kBlobJpeg);

        TfrPictureView back;
        back.preparedMode = prepared;
        StreamReader r(first);
        load(back, r);
        EXPECT_EQ(r.position(), first.size());
        ASSERT_FALSE(back.picture.isEmpty());
        EXPECT_EQ(back.picture.graphic()->kind(), GraphicKind::Jpeg);
        EXPECT_EQ(back.BlobType, kBlobJpeg);
        EXPECT_EQ(save(back), first);
    }

    TfrPictureView empty;
    const std::string none = save(empty);
    TfrPictureView back;
    StreamReader r(none);
    load(back, r);
    EXPECT_TRUE(back.picture.isEmpty());
    EXPECT_EQ(r.position(), none.size());
    EXPECT_EQ(save(back), none);
}

TEST_F(PictureView, UnknownKindsAndDamagedGraphicsKeepTheStreamInStep) {
    // Each body is followed by a marker that must be read next.
    auto body = [](std::uint8_t kind, const std::string& data) {
        TfrPictureView v;
        v.Name = "P";
        StreamWriter w;
        v.SaveToStream(w);
        std::string s = w.take();
        s.resize(s.size() - 6);  // kind, BlobType and end position of the empty picture
        StreamWriter tail;
        tail.bytes(s);
        tail.u8(kind);
        tail.u8(0);
        const std::size_t end = tail.placeholderI32();
        tail.bytes(data);
        tail.patchI32(end, static_cast<std::int32_t>(tail.position()));
        tail.bytes("MARK");
        return tail.take();
    };
    const std::string bmp = wideBmp();
    const std::vector<std::pair<std::uint8_t, std::string>> cases = {
        {7, bmp}, {0, "leftover"}, {1, bmp.substr(0, 100)}, {4, "not a jpeg"}, {3, ""}, {2, "metafile?"}};
    for (const auto& [kind, data] : cases) {
        const std::string stream = body(kind, data);
        TfrPictureView v;
        v.picture.loadFromBytes(GraphicKind::Bitmap, bmp, "old");
        StreamReader r(stream);
        load(v, r);
        EXPECT_TRUE(v.picture.isEmpty()) << int(kind);
        EXPECT_EQ(r.bytes(4), "MARK") << int(kind);
    }
    // The same graphic bytes undamaged are read.
    const std::string good = body(1, bmp);
    TfrPictureView v;
    StreamReader r(good);
    load(v, r);
    ASSERT_FALSE(v.picture.isEmpty());
    EXPECT_EQ(v.picture.graphic()->size(), (Size{200, 100}));
}

TEST_F(PictureView, EndPositionBehindTheDataIsRefused) {
    TfrPictureView v;
    const std::string s = save(v);
    std::string damaged = s;
    damaged[damaged.size() - 4] = 3;  // end position 3, long before the body ends
    damaged[damaged.size() - 3] = damaged[damaged.size() - 2] = damaged[damaged.size() - 1] = 0;
    TfrPictureView back;
    StreamReader r(damaged);
    EXPECT_THROW(load(back, r), FormatError);
}

TEST_F(PictureView, BlobTypeIsStoredOnlyAfterLayoutVersionOnePointZero) {
    TfrPictureView v;
    v.Name = "P";
    v.BlobType = kBlobIcon;
    const std::string current = save(v);
    // Version bytes follow the name ("P": length 1, the byte, a 0).
    ASSERT_EQ(static_cast<unsigned char>(current[4]), 2);
    // Layout 1.x bodies end without BandAlign: [kind, BlobType?, end position].
    auto layoutOne = [&](std::uint8_t low) {
        std::string s = current;
        s[4] = 1;
        s[5] = static_cast<char>(low);
        s.erase(s.size() - 7, 1);               // BandAlign
        if (low == 0) s.erase(s.size() - 5, 1);  // BlobType
        s[s.size() - 4] = static_cast<char>(s.size());
        return s;
    };
    for (std::uint8_t low : {0, 1}) {
        const std::string s = layoutOne(low);
        TfrPictureView back;
        back.BlobType = kBlobJpeg;
        StreamReader r(s);
        load(back, r);
        EXPECT_EQ(back.BlobType, low == 0 ? kBlobJpeg : kBlobIcon);
        EXPECT_EQ(r.position(), s.size());
    }

    // Streams before version 24 carry no layout version and no BlobType.
    const std::string old = save(v, 23);
    TfrPictureView fromOld;
    StreamReader r23(old);
    load(fromOld, r23, 23);
    EXPECT_EQ(r23.position(), old.size());
    EXPECT_EQ(fromOld.BlobType, kBlobBitmap);
}

TEST_F(PictureView, BlobTypeNamesAreGlobalConstants) {
    TfrPictureView v;
    EXPECT_EQ(expressionEngine().LookUpValue("BTBMP"), Variant(0));
    EXPECT_EQ(expressionEngine().LookUpValue("BTJPG"), Variant(1));
    EXPECT_EQ(expressionEngine().LookUpValue("BTICO"), Variant(2));
    EXPECT_EQ(expressionEngine().LookUpValue("BTWMF"), Variant(3));
}
