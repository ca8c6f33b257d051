#include <random>

#include "engine/stream.h"
#include "view_fixtures.h"

using namespace quor;
using namespace quor::viewtest;

namespace {

class ViewBody : public EngineTest {};

void fill(BoxView& v) {
    v.Name = "Box7";
    v.objectVersionLow = 1;
    v.SetBounds(-5, 20, 300, 40);
    v.Flags = 0x0039;
    v.FrameTyp = 0x000F;
    v.FrameWidth = 1.5f;
    v.FrameColor = 0x00112233;
    v.FrameStyle = kFrameDouble;
    v.FillColor = 0x00FFEEDD;
    v.formatCode = 0x01020304;
    v.formatString = "#,##0.00";
    v.Memo = {"first [x]", "", "\x80\x81\xF0"};
    v.scriptLines = {"begin", "end"};
    v.Visible = false;
    v.Restrictions = 3;
    v.tagText = "tag";
    v.GapX = 4;
    v.GapY = 6;
    v.BandAlign = kAlignRest;
}

std::string save(BoxView& v, int version) {
    StreamWriter w(version);
    v.SaveToStream(w);
    return w.take();
}

BoxView load(const std::string& bytes, int version, bool prepared) {
    engine().streamVersion = version;
    BoxView v;
    v.preparedMode = prepared;
    StreamReader r(bytes);
    v.LoadFromStream(r);
    EXPECT_EQ(r.position(), bytes.size());
    EXPECT_FALSE(r.ranShort());
    return v;
}

}  // namespace

TEST_F(ViewBody, Version24TemplateLayout) {
    BoxView v;
    fill(v);
    std::string b = save(v, 24);
    StreamReader r(b);
    EXPECT_EQ(r.vtext(24), "Box7");
    EXPECT_EQ(r.u8(), 2);  // objectVersionHigh is always written as 2
    EXPECT_EQ(r.u8(), 1);
    EXPECT_EQ(r.i32(), -5);
    r.skip(12);
    EXPECT_EQ(r.u16(), 0x39);
    EXPECT_EQ(r.u16(), 0x0F);
    EXPECT_EQ(r.i32(), 1500);
    EXPECT_EQ(r.u32(), 0x00112233u);
    EXPECT_EQ(r.u16(), kFrameDouble);
    EXPECT_EQ(r.u32(), 0x00FFEEDDu);
    EXPECT_EQ(r.i32(), 0x01020304);
    EXPECT_EQ(r.vtext(24), "#,##0.00");
    EXPECT_EQ(r.vlines(24), v.Memo);
    EXPECT_EQ(r.vlines(24), v.scriptLines);
    EXPECT_FALSE(r.flag16());
    EXPECT_EQ(r.u16(), 3);
    EXPECT_EQ(r.vtext(24), "tag");
    EXPECT_EQ(r.i32(), 4);
    EXPECT_EQ(r.i32(), 6);
    EXPECT_EQ(r.u8(), kAlignRest);
    EXPECT_TRUE(r.atEnd());
}

TEST_F(ViewBody, RoundTripsByteForByteInBothModes) {
    for (int version : {23, 24}) {
        for (bool prepared : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << version << (prepared ? " prepared" : " template"));
            BoxView v;
            fill(v);
            v.preparedMode = prepared;
            v.workLines = {"laid out\x01", "x"};
            std::string first = save(v, version);
            BoxView back = load(first, version, prepared);
            EXPECT_EQ(save(back, version), first);
            EXPECT_EQ(back.Left, -5);
            EXPECT_FLOAT_EQ(back.FrameWidth, 1.5f);
            EXPECT_EQ(back.FillColor, 0x00FFEEDDu);
            EXPECT_EQ(back.Memo, prepared ? v.workLines : v.Memo);
            if (!prepared) {
                EXPECT_EQ(back.formatString, "#,##0.00");
                EXPECT_EQ(back.scriptLines, v.scriptLines);
                EXPECT_FALSE(back.Visible);
            }
            if (version == 24) {
                EXPECT_EQ(back.Name, "Box7");
                EXPECT_EQ(back.tagText, "tag");
                EXPECT_EQ(back.BandAlign, kAlignRest);
                EXPECT_EQ(back.objectVersionHigh, 2);
                EXPECT_EQ(back.objectVersionLow, 1);
            } else {
                EXPECT_EQ(back.Name, prepared ? "Box1" : "Box7");
                EXPECT_EQ(back.BandAlign, kAlignNone);
                EXPECT_EQ(back.GapX, kDefaultGapX);
                EXPECT_EQ(back.tagText, "");
            }
        }
    }
}

TEST_F(ViewBody, ReadsVersions21And22) {
    // Hand-made old body: no name, no version bytes, zero-terminated texts,
    // no script, no Visible, nothing after the lines.
    StreamWriter w(22);
    w.i32(1);
    w.i32(2);
    w.i32(3);
    w.i32(4);
    w.u16(0x0003);
    w.u16(kFrameLeft);
    w.i32(2);
    w.i32(0xFF);
    w.u16(kFrameDot);
    w.i32(static_cast<std::int32_t>(kNoColor));
    w.i32(0x22E);
    w.bytes(std::string("fmt\0", 4));
    w.bytes(std::string("line one\rline two\r\0", 19));
    for (int version : {21, 22}) {
        BoxView v = load(w.data(), version, false);
        EXPECT_EQ(v.Name, "Box1");
        EXPECT_EQ(v.Height, 4);
        EXPECT_EQ(v.Flags, 3);
        EXPECT_FLOAT_EQ(v.FrameWidth, 2.0f);
        EXPECT_EQ(v.FrameStyle, kFrameDot);
        EXPECT_EQ(v.formatString, "fmt");
        EXPECT_EQ(v.Memo, (std::vector<std::string>{"line one", "line two"}));
        EXPECT_TRUE(v.Visible);
        EXPECT_EQ(v.objectVersionHigh, 0);
        // Written back in the old layout, only the empty last line is gone.
        std::string expected = w.data();
        expected.erase(expected.size() - 2, 1);
        EXPECT_EQ(save(v, version), expected);
    }
}

TEST_F(ViewBody, BandAlignOnlyWithObjectVersionAboveOne) {
    BoxView v;
    fill(v);
    std::string b = save(v, 24);
    std::size_t highAt = 2 + 4 + 1;  // after the name "Box7"
    b[highAt] = 1;
    b.pop_back();  // no BandAlign byte then
    BoxView back = load(b, 24, false);
    EXPECT_EQ(back.BandAlign, kAlignNone);
    EXPECT_EQ(back.GapY, 6);
}

TEST_F(ViewBody, RestrictionsKeepTheLowByte) {
    BoxView v;
    v.Restrictions = 0x1234;
    BoxView back = load(save(v, 24), 24, false);
    EXPECT_EQ(back.Restrictions, 0x34);
}

TEST_F(ViewBody, TruncatedBodiesStayInsideTheirBuffer) {
    BoxView v;
    fill(v);
    for (int version : {21, 22, 23, 24}) {
        std::string full = save(v, version);
        for (std::size_t n = 0; n < full.size(); ++n) {
            engine().streamVersion = version;
            // Exactly n bytes on the heap, so any read beyond is caught.
            std::unique_ptr<char[]> cut(new char[n ? n : 1]);
            std::copy(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n), cut.get());
            StreamReader r(std::string_view(cut.get(), n));
            BoxView back;
            back.LoadFromStream(r);
            EXPECT_TRUE(r.ranShort()) << version << " " << n;
        }
    }
}

TEST_F(ViewBody, GarbageBodiesReadWithoutHarm) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        std::string junk(rng() % 200, '\0');
        for (char& c : junk) c = static_cast<char>(rng());
        for (bool prepared : {false, true}) {
            const int version = 21 + static_cast<int>(rng() % 4);
            engine().streamVersion = version;
            StreamReader r(junk);
            BoxView v;
            v.preparedMode = prepared;
            v.LoadFromStream(r);
            EXPECT_LE(r.position(), junk.size());
            // Whatever was read can be written and read again the same way.
            StreamWriter w(24);
            v.SaveToStream(w);
            engine().streamVersion = 24;
            StreamReader again(w.data());
            BoxView back;
            back.preparedMode = prepared;
            back.LoadFromStream(again);
            StreamWriter w2(24);
            back.SaveToStream(w2);
            EXPECT_EQ(w2.data(), w.data());
        }
    }
}
