// The older picture-page form of prepared-report files.

#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/metafile/metafile.h"
#include "platform/metafile/picture_pages.h"
#include "platform/recording_canvas.h"
#include "metafile_builder.h"

using namespace quor;
using quor::test::ByteWriter;

namespace {

std::string pageMetafile(int left) {
    test::EmfBuilder b;
    b.rec(43, {left, 0, left + 10, 10});
    return b.finish(0, 0, 21000, 29700);
}

// Header lines, page count, then per page its fields and its metafile.
std::string pictureFile(const std::vector<std::string>& metafiles) {
    ByteWriter w;
    w.bytes("HP LaserJet\rsecond line\r").u8(0).i32(int(metafiles.size()));
    for (std::size_t i = 0; i < metafiles.size(); ++i) {
        std::size_t next = w.size() + 16 + metafiles[i].size();
        w.i32(int(next)).u16(9).i32(2100).i32(2970).u8(i % 2).u8(1).bytes(metafiles[i]);
    }
    return w.str();
}

}  // namespace

TEST(PicturePages, SplitsTheFileIntoOneMetafilePerPage) {
    const std::string file = pictureFile({pageMetafile(0), pageMetafile(100)});
    PicturePageFile f = splitPicturePageFile(file);
    EXPECT_EQ(f.printerName(), "HP LaserJet");
    EXPECT_EQ(f.headerLines.size(), 2u);
    ASSERT_EQ(f.pages.size(), 2u);
    EXPECT_EQ(f.pages[0].paperCode, 9);
    EXPECT_EQ(f.pages[0].width, 2100);
    EXPECT_EQ(f.pages[0].height, 2970);
    EXPECT_EQ(f.pages[0].orientation, 0);
    EXPECT_EQ(f.pages[1].orientation, 1);
    EXPECT_TRUE(f.pages[1].useMargins);
    EXPECT_EQ(f.pages[1].metafile, pageMetafile(100));
    // Each part is a metafile of its own.
    RecordingCanvas c;
    Metafile::fromBytes(f.pages[1].metafile).draw(c, Rect{0, 0, 840, 1188});  // 4 px per mm
    ASSERT_EQ(c.all<RecordedRectangle>().size(), 1u);
    EXPECT_EQ(c.all<RecordedRectangle>()[0].rect.left, 100);
}

TEST(PicturePages, DamagedStructureIsRefused) {
    const std::string file = pictureFile({pageMetafile(0), pageMetafile(100)});
    EXPECT_THROW(splitPicturePageFile("no end of header"), FormatError);
    EXPECT_THROW(splitPicturePageFile(file.substr(0, file.size() - 5)), FormatError);
    std::string hugeCount = file;
    hugeCount[25 + 3] = 0x7F;  // the page count after the 25-byte header
    EXPECT_THROW(splitPicturePageFile(hugeCount), FormatError);
    std::string backwards = file;
    backwards[29] = backwards[30] = backwards[31] = backwards[32] = 0;  // next position 0
    EXPECT_THROW(splitPicturePageFile(backwards), FormatError);
    EXPECT_TRUE(splitPicturePageFile(std::string("\0\0\0\0\0", 5)).pages.empty());
}
