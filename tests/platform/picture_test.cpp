#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/error.h"
#include "platform/picture.h"
#include "platform/raster_graphic.h"
#include "support/picture_samples.h"
#include "platform/qpainter_canvas.h"
#include "platform/recording_canvas.h"

using namespace quor;
using quor::test::JpegColors;
using quor::test::makeBmp;
using quor::test::makeIcon;
using quor::test::makeJpeg;
using quor::test::readFileBytes;
using quor::test::writeFileBytes;

namespace {

const std::string kSamples = std::string(QUOR_SOURCE_DIR) + "/samples/";

std::uint32_t pixelAt(const Graphic& g, int x, int y) {
    const auto& image = dynamic_cast<const RasterGraphic&>(g).image();
    return image.pixels.at(static_cast<std::size_t>(y) * image.width + x);
}

// Lossy formats: every channel within `tolerance`.
void expectNear(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift : {24, 16, 8, 0}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
        EXPECT_LE(std::abs(a - e), tolerance) << std::hex << "actual " << actual << " expected " << expected;
    }
}

// Four 8-pixel-aligned colour blocks survive JPEG compression nearly intact.
std::uint32_t quadrants(int x, int y) {
    if (y < 16) return x < 16 ? 0xFFC81E1E : 0xFF1EC81E;
    return x < 16 ? 0xFF1E1EC8 : 0xFFF0F0F0;
}

class TempDir : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("quor-picture-" + std::to_string(::getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir / name).string();
        writeFileBytes(path, bytes);
        return path;
    }
};

std::string errorText(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST(PictureKinds, ExtensionsChooseTheClassWithoutRegardToCase) {
    EXPECT_EQ(graphicKindForExtension("bmp"), GraphicKind::Bitmap);
    EXPECT_EQ(graphicKindForExtension("BMP"), GraphicKind::Bitmap);
    EXPECT_EQ(graphicKindForExtension("Ico"), GraphicKind::Icon);
    EXPECT_EQ(graphicKindForExtension("wmf"), GraphicKind::Metafile);
    EXPECT_EQ(graphicKindForExtension("EMF"), GraphicKind::Metafile);
    EXPECT_EQ(graphicKindForExtension("jpg"), GraphicKind::Jpeg);
    EXPECT_EQ(graphicKindForExtension("JpEg"), GraphicKind::Jpeg);
    EXPECT_EQ(graphicKindForExtension("png"), std::nullopt);
    EXPECT_EQ(graphicKindForExtension(""), std::nullopt);
    EXPECT_EQ(graphicKindForExtension("jpg "), std::nullopt);

    EXPECT_EQ(fileExtension("/a/logo.BMP"), "BMP");
    EXPECT_EQ(fileExtension("/a/logo.tar.jpeg"), "jpeg");
    EXPECT_EQ(fileExtension("/a.b/logo"), "");
    EXPECT_EQ(fileExtension("logo."), "");
    EXPECT_EQ(fileExtension(".bmp"), "bmp");
}

TEST_F(TempDir, LoadErrorsNameTheFileOrExtension) {
    Picture picture;
    EXPECT_EQ(errorText([&] { picture.loadFromFile((dir / "none.bmp").string()); }),
              "Cannot open file " + (dir / "none.bmp").string());
    // The extension is judged first, even for a missing file.
    EXPECT_EQ(errorText([&] { picture.loadFromFile((dir / "none.png").string()); }),
              "Unknown picture file extension (.png)");
    EXPECT_EQ(errorText([&] { picture.loadFromFile(write("noext", "BM")); }),
              "Unknown picture file extension (.)");
    EXPECT_EQ(errorText([&] { picture.loadFromFile(write("empty.", "BM")); }),
              "Unknown picture file extension (.)");
    // A directory is not a picture file.
    std::filesystem::create_directories(dir / "sub.jpg");
    EXPECT_EQ(errorText([&] { picture.loadFromFile((dir / "sub.jpg").string()); }),
              "Cannot open file " + (dir / "sub.jpg").string());
    EXPECT_TRUE(picture.isEmpty());
}

TEST_F(TempDir, DamagedFilesFailWithTheFileNameAndKeepThePreviousGraphic) {
    Picture picture;
    picture.loadFromFile(kSamples + "logo.bmp");
    ASSERT_FALSE(picture.isEmpty());

    const std::string jpeg = makeJpeg(32, 32, JpegColors::Rgb, quadrants);
    const std::string noisy = makeJpeg(64, 64, JpegColors::Rgb, [](int x, int y) { return 0xFF000000u | (x * y * 2654435761u >> 8); });
    const std::string progressive = makeJpeg(64, 64, JpegColors::Rgb, [](int x, int y) { return 0xFF000000u | (x * y * 2654435761u >> 8); }, true);
    const std::string bmp = makeBmp(20, 10, [](int, int) { return 0xFF102030u; });
    const std::string ico = makeIcon({{16, [](int, int) { return 0xFF102030u; }}});
    const std::vector<std::pair<std::string, std::string>> damaged = {
        {"garbage.jpg", "this is not a picture at all"},
        {"empty.jpg", ""},
        {"cut.jpg", noisy.substr(0, noisy.size() * 3 / 4)},
        {"cutprogressive.jpg", progressive.substr(0, progressive.size() * 3 / 4)},
        {"noscan.jpg", jpeg.substr(0, jpeg.size() / 2)},
        {"header.jpg", jpeg.substr(0, 20)},
        {"garbage.bmp", "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"},
        {"empty.bmp", ""},
        {"cut.bmp", bmp.substr(0, bmp.size() - 2)},
        {"header.bmp", bmp.substr(0, 30)},
        {"garbage.ico", "\0\0\1\0\1\0garbage"},
        {"empty.ico", ""},
        {"cut.ico", ico.substr(0, 30)},
        {"logo.emf", std::string(100, '\0')},
        {"logo.wmf", "\xD7\xCD\xC6\x9A"},
    };
    for (const auto& [name, bytes] : damaged) {
        const std::string path = write(name, bytes);
        const std::string text = errorText([&] { picture.loadFromFile(path); });
        EXPECT_EQ(text.rfind("Cannot decode picture " + path + ": ", 0), 0u) << name << ": " << text;
        ASSERT_FALSE(picture.isEmpty());
        EXPECT_EQ(picture.graphic()->kind(), GraphicKind::Bitmap) << name;
    }
}

TEST(PictureFormats, JpegWithoutItsEndMarkerIsWhole) {
    const std::string jpeg = makeJpeg(32, 32, JpegColors::Rgb, quadrants);
    ASSERT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9");
    auto g = decodeGraphic(GraphicKind::Jpeg, jpeg.substr(0, jpeg.size() - 2), "noend.jpg");
    expectNear(pixelAt(*g, 28, 28), quadrants(28, 28), 4);
}

TEST_F(TempDir, LoadingKeepsTheFileBytesExactly) {
    const std::string bytes = readFileBytes(kSamples + "stamp.jpg");
    Picture picture;
    picture.loadFromFile(write("STAMP.JPEG", bytes));
    EXPECT_EQ(picture.graphic()->kind(), GraphicKind::Jpeg);
    EXPECT_EQ(picture.graphic()->bytes(), bytes);
    picture.clear();
    EXPECT_TRUE(picture.isEmpty());
}

TEST(PictureFormats, SampleBitmapDecodesWithItsStripes) {
    Picture picture;
    picture.loadFromFile(kSamples + "logo.bmp");
    const Graphic& g = *picture.graphic();
    EXPECT_EQ(g.kind(), GraphicKind::Bitmap);
    EXPECT_TRUE(g.isRaster());
    EXPECT_EQ(g.size(), (Size{120, 24}));
    // Four-row stripes, dark first; the file is stored bottom-up.
    for (int x : {0, 59, 119}) {
        EXPECT_EQ(pixelAt(g, x, 0), 0xFF0A2878u);
        EXPECT_EQ(pixelAt(g, x, 3), 0xFF0A2878u);
        EXPECT_EQ(pixelAt(g, x, 4), 0xFF5AA0C8u);
        EXPECT_EQ(pixelAt(g, x, 23), 0xFF5AA0C8u);
    }
}

TEST(PictureFormats, SampleJpegDecodes) {
    Picture picture;
    picture.loadFromFile(kSamples + "stamp.jpg");
    const Graphic& g = *picture.graphic();
    EXPECT_EQ(g.kind(), GraphicKind::Jpeg);
    EXPECT_EQ(g.size(), (Size{150, 60}));
    // A red ring on white.
    expectNear(pixelAt(g, 75, 30), 0xFFFFFFFFu, 6);
    expectNear(pixelAt(g, 0, 0), 0xFFFFFFFFu, 6);
    for (auto [x, y] : {std::pair{75, 5}, {135, 30}}) {
        const std::uint32_t p = pixelAt(g, x, y);
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_GT((p >> 16) & 0xFF, 0xB0u);
        EXPECT_LT((p >> 8) & 0xFF, 0x40u);
        EXPECT_LT(p & 0xFF, 0x50u);
    }
}

TEST(PictureFormats, MadeBitmapDecodesPixelExact) {
    auto pattern = [](int x, int y) { return 0xFF000000u | (x << 16) | (y << 8) | ((x + y) & 0xFF); };
    auto g = decodeGraphic(GraphicKind::Bitmap, makeBmp(200, 100, pattern), "made.bmp");
    ASSERT_EQ(g->size(), (Size{200, 100}));
    for (int y = 0; y < 100; y += 9)
        for (int x = 0; x < 200; x += 11) EXPECT_EQ(pixelAt(*g, x, y), pattern(x, y));
}

TEST(PictureFormats, IconTakesItsLargestImageAndPrintsTransparencyAsWhite) {
    auto small = [](int, int) { return 0xFFFF0000u; };
    auto large = [](int x, int) { return x < 24 ? 0xFF0000FFu : 0x00000000u; };  // right half transparent
    const std::string file = makeIcon({{16, small}, {48, large}, {32, small}});
    auto g = decodeGraphic(GraphicKind::Icon, file, "made.ico");
    EXPECT_EQ(g->kind(), GraphicKind::Icon);
    ASSERT_EQ(g->size(), (Size{48, 48}));
    EXPECT_EQ(pixelAt(*g, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(*g, 40, 10) >> 24, 0u);
    EXPECT_EQ(g->bytes(), file);

    const RasterImage flat = g->toRaster24();
    ASSERT_EQ(flat.width, 48);
    EXPECT_EQ(flat.pixels[10 * 48 + 0], 0xFF0000FFu);
    EXPECT_EQ(flat.pixels[10 * 48 + 40], 0xFFFFFFFFu);
}

TEST(PictureFormats, JpegColourSpacesComeOutAsRgb) {
    for (bool progressive : {false, true}) {
        auto rgb = decodeGraphic(GraphicKind::Jpeg, makeJpeg(32, 32, JpegColors::Rgb, quadrants, progressive), "rgb.jpg");
        ASSERT_EQ(rgb->size(), (Size{32, 32}));
        for (auto [x, y] : {std::pair{3, 3}, {28, 3}, {3, 28}, {28, 28}}) expectNear(pixelAt(*rgb, x, y), quadrants(x, y), 4);
    }

    auto gray = decodeGraphic(GraphicKind::Jpeg,
                              makeJpeg(16, 16, JpegColors::Gray, [](int x, int) { return x < 8 ? 0xFF404040u : 0xFFC0C0C0u; }),
                              "gray.jpg");
    expectNear(pixelAt(*gray, 2, 5), 0xFF404040u, 2);
    expectNear(pixelAt(*gray, 13, 5), 0xFFC0C0C0u, 2);

    auto cmyk = decodeGraphic(GraphicKind::Jpeg, makeJpeg(32, 32, JpegColors::AdobeCmyk, quadrants), "cmyk.jpg");
    for (auto [x, y] : {std::pair{3, 3}, {28, 3}, {3, 28}, {28, 28}}) expectNear(pixelAt(*cmyk, x, y), quadrants(x, y), 4);
}

TEST(PictureFormats, RasterGraphicDrawsStretchedIntoTheTarget) {
    auto g = decodeGraphic(GraphicKind::Bitmap,
                           makeBmp(2, 1, [](int x, int) { return x == 0 ? 0xFFFF0000u : 0xFF0000FFu; }), "tiny.bmp");
    RecordingCanvas recorder;
    g->draw(recorder, Rect{10, 20, 50, 40}, true);
    const auto images = recorder.all<RecordedImage>();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].dest, (Rect{10, 20, 50, 40}));
    EXPECT_TRUE(images[0].smooth);
    EXPECT_EQ(images[0].width, 2);

    QImage page(60, 60, QImage::Format_ARGB32);
    page.fill(Qt::white);
    {
        QPainterCanvas canvas(&page);
        g->draw(canvas, Rect{10, 20, 50, 40}, false);
    }
    EXPECT_EQ(page.pixel(10, 20), 0xFFFF0000u);
    EXPECT_EQ(page.pixel(29, 39), 0xFFFF0000u);
    EXPECT_EQ(page.pixel(30, 20), 0xFF0000FFu);
    EXPECT_EQ(page.pixel(49, 39), 0xFF0000FFu);
    EXPECT_EQ(page.pixel(50, 20), 0xFFFFFFFFu);
    EXPECT_EQ(page.pixel(9, 20), 0xFFFFFFFFu);
}

TEST(PictureFormats, DamagedMetafileIsRefusedLoudly) {
    Picture picture;
    const std::string text = errorText([&] { picture.loadFromBytes(GraphicKind::Metafile, "\x01\0\0\0", "FPT"); });
    EXPECT_EQ(text.rfind("Cannot decode picture FPT: ", 0), 0u) << text;
    EXPECT_TRUE(picture.isEmpty());
}
