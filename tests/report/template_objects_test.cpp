// Object records of memos and pictures inside whole templates: the framed
// memo, pictures without graphics, and the version rules of the memo body.

#include <gtest/gtest.h>

#include "engine/band_view.h"
#include "engine/memo_view.h"
#include "engine/picture_view.h"
#include "report_fixture.h"
#include "template_bytes.h"

namespace quor::test {
namespace {

class TemplateObjectsTest : public ReportTest {};

void writeMemoBody(TemplateBytes& b, const std::string& name, int charset) {
    BodyFields f;
    f.name = name;
    f.left = 40;
    f.top = 24;
    f.flags = 0x9;
    f.formatCode = 558;
    f.memo = {"text"};
    writeCommonBody(b, f);
    b.vtext("Courier New").i32(12).u16(2).i32(0x0000FF).i32(0).u16(charset);
    b.u16(2).i32(0).i32(0xFFFFFF).vtext("");
    if (b.version() >= 24) b.i32(3).i32(1);
}

void writeBandRecord(TemplateBytes& b, const std::string& name) {
    BodyFields f;
    f.name = name;
    f.top = 64;
    f.versionLow = 1;
    writeBand(b, f);
}

TEST_F(TemplateObjectsTest, FramedMemoBecomesAMemoAndItsTailIsSkipped) {
    for (int version : {23, 24}) {
        for (const char* cls : {"TfrFramedMemoView", "tfrFRAMEDmemoview"}) {
            SCOPED_TRACE(std::to_string(version) + cls);
            messages_.clear();
            TemplateBytes b(version);
            writeHeader(b, true, false, "\x01");
            writePage(b);
            b.u8(10).vtext(cls).u8(0);
            std::size_t end = version >= 24 ? b.placeholder() : 0;
            writeMemoBody(b, "Framed", 204);
            b.raw(std::string(8, '\xAA'));
            if (version >= 24) b.patchEnd(end);
            writeBandRecord(b, "After");
            load(b.str());
            EXPECT_EQ(shownText(), "");
            ASSERT_EQ(objectCount(), 2u);
            auto* memo = dynamic_cast<TfrMemoView*>(report_.TemplatePages[0].object(0));
            ASSERT_NE(memo, nullptr);
            EXPECT_EQ(memo->objectKind, 0);
            EXPECT_EQ(memo->Name, "Framed");
            EXPECT_EQ(memo->Font.name, "Courier New");
            EXPECT_EQ(memo->Memo, (std::vector<std::string>{"text"}));
            EXPECT_EQ(report_.TemplatePages[0].object(1)->Name, "After");
        }
    }
}

TEST_F(TemplateObjectsTest, PictureWithoutGraphicResumesAtItsEndPosition) {
    for (int version : {23, 24}) {
        SCOPED_TRACE(version);
        TemplateBytes b(version);
        writeHeader(b, true, false, "\x01");
        writePage(b);
        b.u8(1).u8(0);
        std::size_t recordEnd = version >= 24 ? b.placeholder() : 0;
        BodyFields f;
        f.name = "FPT";
        f.formatCode = 558;
        writeCommonBody(b, f);
        b.u8(0);                       // no graphic
        if (version >= 24) b.u8(0);    // BlobType
        std::size_t pictureEnd = b.placeholder();
        b.raw("left-over bytes");
        b.patchEnd(pictureEnd);
        if (version >= 24) b.patchEnd(recordEnd);
        writeBandRecord(b, "After");
        load(b.str());
        EXPECT_EQ(shownText(), "");
        ASSERT_EQ(objectCount(), 2u);
        auto* picture = dynamic_cast<TfrPictureView*>(report_.FindView("FPT"));
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(picture->picture.isEmpty());
        EXPECT_EQ(report_.TemplatePages[0].object(1)->Name, "After");
    }
}

TEST_F(TemplateObjectsTest, MemoBodyVersionRules) {
    for (int version : {21, 22, 23, 24}) {
        SCOPED_TRACE(version);
        TemplateBytes b(version);
        writeHeader(b, false, false, "\x01", version > 21);
        writePage(b);
        b.u8(0).u8(0);
        std::size_t end = version >= 24 ? b.placeholder() : 0;
        writeMemoBody(b, "FM1", 255);
        if (version >= 24) b.patchEnd(end);
        writeEmptyDictionary(b);
        load(b.str());
        EXPECT_EQ(shownText(), "");
        ASSERT_EQ(objectCount(), 1u);
        auto* memo = dynamic_cast<TfrMemoView*>(report_.TemplatePages[0].object(0));
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Name, version >= 23 ? "FM1" : "Memo1");
        EXPECT_EQ(memo->Font.pointSize, 12);
        EXPECT_EQ(memo->Font.color, 0x0000FFu);
        // Older streams take the engine's character set; 21 also wraps words.
        EXPECT_EQ(memo->Font.charset, version >= 23 ? 255 : 204);
        EXPECT_EQ(memo->Flags, version == 21 ? 0xB : 0x9);
        EXPECT_EQ(memo->LineSpacing, version >= 24 ? 3 : 2);
        EXPECT_EQ(memo->CharSpacing, version >= 24 ? 1 : 0);
        EXPECT_EQ(memo->Memo, (std::vector<std::string>{"text"}));
    }
}

}  // namespace
}  // namespace quor::test
