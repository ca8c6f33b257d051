// The metafile player: files written record by record, drawn on the
// recording canvas (what arrives where) and on an image (which pixels).

#include <gtest/gtest.h>

#include <QImage>

#include "platform/error.h"
#include "platform/metafile/metafile.h"
#include "platform/picture.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"
#include "metafile_builder.h"

using namespace quor;
using quor::test::EmfBuilder;
using quor::test::WmfBuilder;

namespace {

const std::string kPrivet = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in Windows-1251
const std::string kMir = "\xCC\xE8\xF0";                 // "Мир"
constexpr Color kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::string smallDib() {
    return test::dib24(2, {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFF00}});
}

// Logical 2000 x 1000 in a placeable frame of the same size.
std::string sampleWmf() {
    WmfBuilder b;
    b.rec(0x0103, {8}).rec(0x020B, {0, 0}).rec(0x020C, {1000, 2000});
    b.pen(0, 30, kRed).brush(0, kGreen).font(-100, 700, kRussianCharset, "Arial");
    b.rec(0x012D, {0}).rec(0x012D, {1}).rec(0x012D, {2});
    b.rec(0x041B, {300, 500, 100, 100});   // rectangle l100 t100 r500 b300
    b.rec(0x0418, {300, 1000, 100, 600});  // ellipse
    b.poly(0x0325, {{100, 500}, {500, 700}, {900, 500}});
    b.rec(0x0209, {0x0000, 0x00FF});       // text colour blue
    b.rec(0x0102, {1});                    // transparent background
    b.rec(0x012E, {24});                   // baseline
    b.textOut(100, 900, kPrivet);
    b.rec(0x012E, {0});
    b.extTextOut(1100, 600, kMir);
    b.stretchDib(1200, 100, 400, 400, 2, 2, smallDib());
    return b.finish(true, 0, 0, 2000, 1000, 1440);
}

// Logical 2000 x 1000 on 200 x 100 reference pixels (4 px per mm, frame 50 x 25 mm).
std::string sampleEmf() {
    EmfBuilder b;
    b.rec(17, {8}).rec(9, {2000, 1000}).rec(11, {200, 100});
    b.pen(1, 0, 15, kRed).brush(2, 0, kGreen).font(3, -50, 700, kRussianCharset, u"Arial");
    b.rec(37, {1}).rec(37, {2}).rec(37, {3});
    b.rec(43, {100, 100, 500, 300});
    b.rec(42, {600, 100, 1000, 300});
    b.poly(4, {{100, 500}, {500, 700}, {900, 500}});
    b.rec(24, {int(kBlue)}).rec(18, {1}).rec(22, {24});
    b.text(100, 900, kPrivet, u"", false);
    b.rec(22, {0});
    b.text(1100, 600, "", u"Мир", true);
    b.stretchDib(1200, 100, 400, 400, 2, 2, smallDib());
    return b.finish(0, 0, 5000, 2500);
}

FontMetrics metricsOf(const FontSpec& f) {
    RecordingCanvas c;
    c.setFont(f);
    return c.fontMetrics();
}

QImage drawOnImage(const Metafile& m, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainterCanvas c(&img);
    m.draw(c, Rect{0, 0, w, h});
    return img;
}

bool isColor(const QImage& img, int x, int y, QRgb expected) {
    QRgb p = img.pixel(x, y);
    return std::abs(qRed(p) - qRed(expected)) < 40 && std::abs(qGreen(p) - qGreen(expected)) < 40 &&
           std::abs(qBlue(p) - qBlue(expected)) < 40;
}

bool anyBluish(const QImage& img, const Rect& r) {
    for (int y = std::max(0, r.top); y < std::min(img.height(), r.bottom); ++y)
        for (int x = std::max(0, r.left); x < std::min(img.width(), r.right); ++x) {
            QRgb p = img.pixel(x, y);
            if (qBlue(p) > 150 && qRed(p) < 120 && qGreen(p) < 120) return true;
        }
    return false;
}

}  // namespace

TEST(MetafileLoad, FramesOfBothFormats) {
    Metafile w = Metafile::fromBytes(sampleWmf());
    EXPECT_EQ(w.format(), MetafileFormat::PlaceableWmf);
    EXPECT_EQ(w.frame(), (Rect{0, 0, 2000, 1000}));
    EXPECT_EQ(w.unitsPerInch(), 1440);
    EXPECT_EQ(w.sizeMm100(), (Size{3528, 1764}));
    EXPECT_EQ(w.sizePixels(), (Size{133, 67}));
    EXPECT_EQ(w.bytes(), sampleWmf());

    Metafile e = Metafile::fromBytes(sampleEmf());
    EXPECT_EQ(e.format(), MetafileFormat::Emf);
    EXPECT_EQ(e.frame(), (Rect{0, 0, 5000, 2500}));
    EXPECT_EQ(e.sizePixels(96), (Size{189, 94}));
    EXPECT_EQ(e.bytes(), sampleEmf());
}

TEST(MetafileLoad, RefusesWhatIsNoMetafile) {
    std::string bad = sampleWmf();
    bad[20] ^= 0x01;  // checksum
    EXPECT_THROW(Metafile::fromBytes(bad), FormatError);
    try {
        Metafile::fromBytes(bad);
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("checksum"), std::string::npos);
    }
    EXPECT_THROW(Metafile::fromBytes(""), FormatError);
    EXPECT_THROW(Metafile::fromBytes("GIF89a................................................................"
                                     "......................................"),
                 FormatError);
    std::string emf = sampleEmf();
    emf[4] = char(200);  // header larger than... fine, but signature intact; make it huge
    emf[5] = char(0xFF);
    EXPECT_THROW(Metafile::fromBytes(emf), FormatError);
}

TEST(MetafilePlayer, WmfShapesColoursWidthsAndTextArriveMapped) {
    Metafile m = Metafile::fromBytes(sampleWmf());
    RecordingCanvas c;
    m.draw(c, Rect{0, 0, 200, 100});  // logical units x 0.1

    auto rects = c.all<RecordedRectangle>();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, (Rect{10, 10, 50, 30}));
    EXPECT_EQ(rects[0].pen.width, 3);
    EXPECT_EQ(rects[0].pen.color, kRed);
    EXPECT_EQ(rects[0].brush.color, kGreen);
    EXPECT_FALSE(rects[0].brush.hollow);

    auto shapes = c.all<RecordedShape>();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].kind, RecordedShape::Ellipse);
    EXPECT_EQ(shapes[0].points, (std::vector<Point>{{60, 10}, {100, 30}}));
    EXPECT_EQ(shapes[1].kind, RecordedShape::Polyline);
    EXPECT_EQ(shapes[1].points, (std::vector<Point>{{10, 50}, {50, 70}, {90, 50}}));
    EXPECT_EQ(shapes[1].pen.width, 3);

    auto texts = c.all<RecordedText>();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].bytes, kPrivet);
    EXPECT_EQ(texts[0].font.charset, kRussianCharset);
    EXPECT_EQ(texts[0].font.height, -10);
    EXPECT_EQ(texts[0].font.name, "Arial");
    EXPECT_TRUE(texts[0].font.style & kFontBold);
    EXPECT_EQ(texts[0].color, kBlue);
    const int ascent = metricsOf(texts[0].font).ascent;
    EXPECT_EQ(texts[0].x, 10);
    EXPECT_EQ(texts[0].y, 90 - ascent);  // baseline at logical 900
    EXPECT_EQ(texts[1].bytes, kMir);
    EXPECT_EQ(texts[1].x, 110);
    EXPECT_EQ(texts[1].y, 60);

    auto images = c.all<RecordedImage>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].dest, (Rect{120, 10, 160, 50}));
    EXPECT_EQ(images[0].width, 2);
    EXPECT_EQ(images[0].height, 2);
}

TEST(MetafilePlayer, EmfShapesColoursWidthsAndTextArriveMapped) {
    Metafile m = Metafile::fromBytes(sampleEmf());
    RecordingCanvas c;
    m.draw(c, Rect{0, 0, 400, 200});  // logical x 0.1 onto 200 x 100, then x 2

    auto rects = c.all<RecordedRectangle>();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, (Rect{20, 20, 100, 60}));
    EXPECT_EQ(rects[0].pen.width, 3);
    EXPECT_EQ(rects[0].pen.color, kRed);
    EXPECT_EQ(rects[0].brush.color, kGreen);

    auto shapes = c.all<RecordedShape>();
    ASSERT_EQ(shapes.size(), 2u);
    EXPECT_EQ(shapes[0].points, (std::vector<Point>{{120, 20}, {200, 60}}));
    EXPECT_EQ(shapes[1].points, (std::vector<Point>{{20, 100}, {100, 140}, {180, 100}}));

    auto texts = c.all<RecordedText>();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].bytes, kPrivet);
    EXPECT_TRUE(texts[0].wide.empty());
    EXPECT_EQ(texts[0].font.charset, kRussianCharset);
    EXPECT_EQ(texts[0].font.height, -10);
    EXPECT_EQ(texts[0].color, kBlue);
    EXPECT_EQ(texts[0].x, 20);
    EXPECT_EQ(texts[0].y, 180 - metricsOf(texts[0].font).ascent);
    EXPECT_EQ(texts[1].wide, u"Мир");
    EXPECT_EQ(texts[1].bytes, kMir);  // the search reads it in the font's code page
    EXPECT_EQ(texts[1].x, 220);
    EXPECT_EQ(texts[1].y, 120);

    auto images = c.all<RecordedImage>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].dest, (Rect{240, 20, 320, 100}));
}

TEST(MetafilePlayer, PixelsLandWhereTheRecordsPutThem) {
    for (const std::string& bytes : {sampleEmf(), sampleWmf()}) {
        Metafile m = Metafile::fromBytes(bytes);
        // Both samples map their logical 2000 x 1000 onto the whole image.
        QImage img = drawOnImage(m, 400, 200);
        SCOPED_TRACE(m.isEnhanced() ? "EMF" : "WMF");
        EXPECT_TRUE(isColor(img, 60, 40, qRgb(0, 255, 0)));    // rectangle inside
        EXPECT_TRUE(isColor(img, 60, 20, qRgb(255, 0, 0)));    // its top edge, 3 px pen
        EXPECT_TRUE(isColor(img, 60, 14, qRgb(255, 255, 255)));
        EXPECT_TRUE(isColor(img, 160, 40, qRgb(0, 255, 0)));   // ellipse centre
        EXPECT_TRUE(isColor(img, 122, 22, qRgb(255, 255, 255)));  // outside its curve
        EXPECT_TRUE(isColor(img, 60, 120, qRgb(255, 0, 0)));   // on the polyline
        EXPECT_TRUE(isColor(img, 260, 40, qRgb(255, 0, 0)));   // bitmap, top-left pixel
        EXPECT_TRUE(isColor(img, 300, 40, qRgb(0, 255, 0)));
        EXPECT_TRUE(isColor(img, 260, 80, qRgb(0, 0, 255)));
        EXPECT_TRUE(isColor(img, 300, 80, qRgb(255, 255, 0)));
        EXPECT_TRUE(anyBluish(img, Rect{20, 160, 120, 185}));  // "Привет" above its baseline
        EXPECT_TRUE(anyBluish(img, Rect{220, 120, 300, 145}));  // "Мир" below its top
        EXPECT_FALSE(anyBluish(img, Rect{0, 0, 230, 100}));
    }
}

TEST(MetafileRecords, EnumerationListsTypesBoundsAndTexts) {
    Metafile m = Metafile::fromBytes(sampleEmf());
    RecordingCanvas measure;
    std::vector<MetafileRecord> list = m.records(measure, Rect{0, 0, 400, 200});
    EXPECT_TRUE(measure.ops().empty());  // enumeration draws nothing
    ASSERT_GE(list.size(), 20u);
    EXPECT_EQ(list.front().type, 1u);
    EXPECT_EQ(list.back().type, 14u);
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].index, int(i));
    std::vector<const MetafileRecord*> texts;
    for (const auto& r : list) {
        if (r.type == 43) {
            EXPECT_EQ(r.bounds, (Rect{20, 20, 100, 60}));
        }
        if (r.type == 17) {
            EXPECT_TRUE(r.bounds.isEmpty());
        }
        if (r.isText) texts.push_back(&r);
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->type, 83u);
    EXPECT_EQ(texts[0]->bytes, kPrivet);
    EXPECT_EQ(texts[0]->charset, kRussianCharset);
    EXPECT_EQ(texts[0]->bounds.left, 20);
    EXPECT_EQ(texts[0]->bounds.bottom - texts[0]->bounds.top,
              metricsOf(FontSpec{"Arial", 10, -10, kFontBold, 0, kRussianCharset, 0}).height);
    EXPECT_TRUE(texts[1]->isWide);
    EXPECT_EQ(texts[1]->wide, u"Мир");
    EXPECT_EQ(texts[1]->bounds.left, 220);
    EXPECT_EQ(texts[1]->bounds.top, 120);
}

TEST(MetafileSamples, LogosLoadThroughThePictureContainerWithTheirRussianText) {
    for (const char* name : {"logo.wmf", "logo.emf"}) {
        SCOPED_TRACE(name);
        Picture picture;
        picture.loadFromFile(std::string(QUOR_SOURCE_DIR) + "/samples/" + name);
        const Graphic* g = picture.graphic();
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->kind(), GraphicKind::Metafile);
        EXPECT_FALSE(g->isRaster());
        EXPECT_EQ(g->size(), name[5] == 'w' ? (Size{160, 53}) : (Size{567, 189}));
        RecordingCanvas c;
        g->draw(c, Rect{0, 0, 600, 200}, false);
        auto texts = c.all<RecordedText>();
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0].bytes, "\xD0\xEE\xEC\xE0\xF8\xEA\xE0");  // "Ромашка"
        EXPECT_EQ(texts[1].bytes, "\xF2\xEE\xF0\xE3\xEE\xE2\xFB\xE9 \xE4\xEE\xEC");
        EXPECT_EQ(texts[0].font.charset, kRussianCharset);
        EXPECT_EQ(c.all<RecordedImage>().size(), 1u);
        RasterImage flat = g->toRaster24();
        EXPECT_EQ(flat.width, g->size().width);
        EXPECT_EQ(flat.pixels.size(), std::size_t(flat.width) * flat.height);
    }
}
