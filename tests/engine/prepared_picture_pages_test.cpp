// Prepared-report files of the older picture-page form with real metafiles:
// every page loads as one picture of the paper's size that draws its
// metafile, and damage is refused before any page is made.

#include <array>
#include <cmath>

#include "../platform/metafile_builder.h"
#include "engine/picture_view.h"
#include "platform/error.h"
#include "platform/recording_canvas.h"
#include "prepared_fixture.h"

namespace quor::preptest {
namespace {

// A4 in design pixels, as the loader sizes the page's picture.
constexpr int kA4Width = 758;
constexpr int kA4Height = 1071;

// A placeable WMF in tenths of a millimetre over the whole sheet with a
// rectangle over its top-left quarter.
std::string wmfSheet() {
    test::WmfBuilder b;
    b.rec(0x041B, {1485, 1050, 0, 0});  // bottom, right, top, left
    return b.finish(true, 0, 0, 2100, 2970, 254);
}

// An EMF framed on the sheet (0.01 mm) with a rectangle over its
// bottom-right quarter; its reference device has 4 pixels per millimetre.
std::string emfSheet() {
    test::EmfBuilder b;
    b.rec(43, {420, 594, 840, 1188});
    return b.finish(0, 0, 21000, 29700);
}

// Header lines, page count, then per page its fields and its metafile.
std::string pictureFile(const std::vector<std::string>& metafiles) {
    test::ByteWriter w;
    w.bytes("Office\rsecond line\r").u8(0).i32(static_cast<int>(metafiles.size()));
    for (const std::string& m : metafiles) {
        const std::size_t next = w.size() + 16 + m.size();
        w.i32(static_cast<int>(next)).u16(9).i32(2100).i32(2970).u8(0).u8(1).bytes(m);
    }
    return w.str();
}

void load(TfrEMFPages& pages, const std::string& bytes) {
    StreamReader in(bytes);
    pages.LoadFromStream(in);
}

using PicturePagesTest = PreparedTest;

TEST_F(PicturePagesTest, EachMetafileBecomesOnePictureOfThePaper) {
    TfrEMFPages pages(&host);
    load(pages, pictureFile({wmfSheet(), emfSheet()}));
    EXPECT_EQ(host.printersSelected, std::vector<std::string>{"Office"});
    ASSERT_EQ(pages.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const PreparedPage& record = pages.Item(i);
        EXPECT_EQ(record.PaperSize, 9);
        EXPECT_EQ(record.Bin, -1);
        EXPECT_TRUE(record.UseMargins);
        pages.Unpack(i);
        const TfrPage& page = *pages.Item(i).Page;
        ASSERT_EQ(page.objectCount(), 1u);
        auto* picture = dynamic_cast<TfrPictureView*>(page.object(0));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ((std::array{picture->Left, picture->Top, picture->Width, picture->Height}),
                  (std::array{0, 0, kA4Width, kA4Height}));
        EXPECT_EQ(picture->BlobType, kBlobMetafile);
    }
}

TEST_F(PicturePagesTest, ThePagesDrawTheirMetafiles) {
    TfrEMFPages pages(&host);
    load(pages, pictureFile({wmfSheet(), emfSheet()}));
    ASSERT_EQ(pages.Count(), 2);
    // Each rectangle covers one quarter of its sheet; drawn at twice the
    // design size.
    const Rect expected[2] = {Rect{0, 0, kA4Width, kA4Height}, Rect{kA4Width, kA4Height, 2 * kA4Width, 2 * kA4Height}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        pages.Item(i).Visible = true;
        RecordingCanvas canvas;
        const PrinterInfo& info = pages.Item(i).prnInfo;
        pages.Draw(i, canvas, Rect{0, 0, 2 * info.pageWidth, 2 * info.pageHeight});
        const auto rects = canvas.all<RecordedRectangle>();
        ASSERT_EQ(rects.size(), 1u);
        const Rect& r = rects[0].rect;
        // The picture is the paper's size in design pixels, the drawing
        // the printer's page size: allow the difference of their rounding.
        EXPECT_LE(std::abs(r.left - expected[i].left), 2) << r.left;
        EXPECT_LE(std::abs(r.top - expected[i].top), 2) << r.top;
        EXPECT_LE(std::abs(r.right - expected[i].right), 2) << r.right;
        EXPECT_LE(std::abs(r.bottom - expected[i].bottom), 2) << r.bottom;
    }
}

TEST_F(PicturePagesTest, DamageIsRefusedBeforeAnyPageOrPrinterChange) {
    const std::string good = pictureFile({wmfSheet(), emfSheet()});
    auto refused = [&](const std::string& bytes) {
        TfrEMFPages pages(&host);
        host.printersSelected.clear();
        EXPECT_THROW(load(pages, bytes), FormatError);
        EXPECT_EQ(pages.Count(), 0);
        EXPECT_TRUE(host.printersSelected.empty());
    };
    refused(good.substr(0, good.size() - 1));  // the last page leaves the file
    std::string count = good;
    count[20 + 3] = 0x7F;  // the page count after the 20-byte header
    refused(count);
    std::string backwards = good;
    for (int i = 24; i < 28; ++i) backwards[static_cast<std::size_t>(i)] = 0;  // first next position 0
    refused(backwards);

    // A page whose bytes are no metafile fails with its number, after the
    // printer was chosen; nothing of the file is kept.
    TfrEMFPages pages(&host);
    host.printersSelected.clear();
    try {
        load(pages, pictureFile({wmfSheet(), "not a metafile"}));
        ADD_FAILURE() << "loaded";
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("page 2"), std::string::npos) << e.what();
    }
    EXPECT_EQ(pages.Count(), 0);
}

}  // namespace
}  // namespace quor::preptest
