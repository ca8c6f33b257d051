// Damaged metafiles: what they draw up to the damage, and that nothing in
// them makes the player read outside the file or stop working.

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/metafile/metafile.h"
#include "platform/recording_canvas.h"
#include "metafile_builder.h"

using namespace quor;
using quor::test::ByteWriter;
using quor::test::EmfBuilder;
using quor::test::WmfBuilder;

namespace {

std::string twoShapesWmf() {
    WmfBuilder b;
    b.pen(0, 1, 0).rec(0x012D, {0});
    b.rec(0x041B, {30, 30, 10, 10});
    b.rec(0x0418, {60, 60, 40, 40});
    return b.finish(true, 0, 0, 100, 100, 1440);
}

std::size_t drawnOps(const std::string& bytes) {
    RecordingCanvas c;
    Metafile::fromBytes(bytes).draw(c, Rect{0, 0, 100, 100});
    return c.ops().size();
}

}  // namespace

TEST(MetafileDamage, ACutFileDrawsUpToTheCut) {
    const std::string whole = twoShapesWmf();
    EXPECT_EQ(drawnOps(whole), 2u);
    // Cut inside the ellipse record (the last 6 bytes are the end record).
    const std::string cut = whole.substr(0, whole.size() - 6 - 4);
    RecordingCanvas c;
    Metafile::fromBytes(cut).draw(c, Rect{0, 0, 100, 100});
    EXPECT_EQ(c.all<RecordedRectangle>().size(), 1u);
    EXPECT_TRUE(c.all<RecordedShape>().empty());
}

TEST(MetafileDamage, LyingCountsAndIndexesAreSkipped) {
    WmfBuilder w;
    w.pen(0, 1, 0).rec(0x012D, {0});
    w.rec(0x0324, {30000, 1, 2});           // polygon claiming 30000 points
    w.rec(0x0538, {2, 5, 5000, 1, 1});      // poly-polygon beyond its record
    w.rec(0x012D, {700}).rec(0x01F0, {65535}).rec(0x0127, {-30});
    w.rec(0x020C, {0, 0});                  // a zero window extent is refused
    w.rec(0x041B, {30, 30, 10, 10});
    EXPECT_EQ(drawnOps(w.finish(true, 0, 0, 100, 100, 1440)), 1u);

    EmfBuilder e;
    e.rec(3, {0, 0, -1, -1, 0x40000000});   // polygon with a huge count
    e.rec(8, {0, 0, -1, -1, 0x7FFFFFFF, 3, 3});
    e.rec(37, {1234567}).rec(40, {-1}).rec(34, {1});
    e.rec(43, {0, 0, 10, 10});
    EXPECT_EQ(drawnOps(e.finish(0, 0, 2500, 2500)), 1u);
}

TEST(MetafileDamage, EmfRecordSizesAreNeverTrusted) {
    EmfBuilder e;
    e.rec(43, {0, 0, 10, 10});
    std::string good = e.finish(0, 0, 2500, 2500);
    std::string bigSize = good;
    bigSize[108 + 4] = char(0xF0);  // the rectangle claims more than the file
    EXPECT_EQ(drawnOps(bigSize), 0u);
    std::string zeroSize = good;
    zeroSize[108 + 4] = 0;  // would never advance
    EXPECT_EQ(drawnOps(zeroSize), 0u);
    std::string longHeader = good;
    longHeader[48] = char(0xFF);  // total size larger than the file
    longHeader[49] = char(0xFF);
    EXPECT_EQ(drawnOps(longHeader), 1u);
}

TEST(MetafileDamage, EveryByteChangedStillPlaysSafely) {
    EmfBuilder e;
    e.pen(1, 0, 3, 0xFF).brush(2, 0, 0xFF00).font(3, -30, 700, kRussianCharset, u"Arial");
    e.rec(37, {1}).rec(37, {2}).rec(37, {3}).rec(43, {0, 0, 100, 100}).rec(42, {0, 0, 50, 50});
    e.text(10, 10, "\xCF\xF0", u"", false, {10, 10}).text(10, 40, "", u"Мир", true);
    e.stretchDib(0, 0, 20, 20, 2, 2, test::dib24(2, {{1, 2}, {3, 4}}));
    WmfBuilder w;
    w.pen(0, 3, 0xFF).brush(0, 0xFF00).font(-30, 700, kRussianCharset, "Arial");
    w.rec(0x012D, {0}).rec(0x012D, {1}).rec(0x012D, {2}).rec(0x041B, {100, 100, 0, 0});
    w.poly(0x0324, {{0, 0}, {10, 0}, {5, 5}}).textOut(0, 0, "\xCF\xF0").extTextOut(5, 5, "ab", {4, 4});
    w.stretchDib(0, 0, 20, 20, 2, 2, test::dib24(2, {{1, 2}, {3, 4}}));
    int loaded = 0;
    for (const std::string& base : {e.finish(0, 0, 2500, 2500), w.finish(true, 0, 0, 100, 100, 1440)}) {
        for (std::size_t i = 0; i < base.size(); ++i) {
            static const unsigned char kValues[] = {0x00, 0xFF, 0x80};
            {
                std::string bytes = base;
                bytes[i] = char(kValues[i % 3]);
                try {
                    Metafile m = Metafile::fromBytes(bytes);
                    RecordingCanvas c;
                    m.draw(c, Rect{0, 0, 300, 300});
                    if (i % 4 == 0) m.records(c, Rect{0, 0, 300, 300});
                    ++loaded;
                } catch (const FormatError&) {
                }
            }
        }
    }
    EXPECT_GT(loaded, 0);
}
