// Prepared-report files: the layout written, the versions and formats read,
// the compressor seam and damaged files.

#include "engine/compressor.h"
#include "engine/line_view.h"
#include "engine/memo_view.h"
#include "platform/error.h"
#include "platform/recording_canvas.h"
#include "prepared_fixture.h"

namespace quor::preptest {
namespace {

using PreparedFileTest = PreparedTest;

std::string save(const TfrEMFPages& pages) {
    StreamWriter out;
    pages.SaveToStream(out);
    return out.take();
}

void load(TfrEMFPages& pages, const std::string& bytes) {
    StreamReader in(bytes);
    pages.LoadFromStream(in);
}

// The fields of one page as the current format keeps them.
struct PageFields {
    std::uint16_t paper = 9;
    std::int32_t width = 2100, height = 2970;
    std::uint8_t orientation = 0;
    std::int32_t bin = 257;
    std::uint8_t useMargins = 1;
    PageMargins margins{1, 2, 3, 4};
    std::string data = std::string(1, '\x18');
};

// A file of the current format; `version` 0 leaves the version byte out
// (and with it every page's bin and margins).
std::string currentFile(int version, std::uint8_t compressed, const std::string& printer,
                        const std::vector<PageFields>& pages) {
    StreamWriter w;
    if (version) w.u8(static_cast<std::uint8_t>(version));
    w.u8(compressed);
    w.text16(printer);
    w.u32(static_cast<std::uint32_t>(pages.size()));
    for (const PageFields& p : pages) {
        const std::size_t next = w.placeholderI32();
        w.u16(p.paper);
        w.i32(p.width);
        w.i32(p.height);
        w.u8(p.orientation);
        if (version > 23) w.i32(p.bin);
        w.u8(p.useMargins);
        if (version > 23) {
            w.i32(p.margins.left);
            w.i32(p.margins.top);
            w.i32(p.margins.right);
            w.i32(p.margins.bottom);
        }
        w.bytes(p.data);
        w.patchI32(next, static_cast<std::int32_t>(w.position()));
    }
    return w.take();
}

TEST_F(PreparedFileTest, AnEmptyListSavesTheHeaderAndNoPages) {
    TfrEMFPages pages(&host);
    StreamWriter expected;
    expected.u8(24);
    expected.u8(0);
    expected.text16(kVirtualPrinter);
    expected.u32(0);
    EXPECT_EQ(save(pages), expected.data());
}

TEST_F(PreparedFileTest, APageIsWrittenWithItsFieldsAndTheEndOfItsData) {
    TfrEMFPages pages(&host);
    TfrPage page = a4(1);
    page.Bin = 4;
    page.UseMargins = false;
    page.Margins = {11, 12, 13, 14};
    pages.Add(page);
    const std::string file = save(pages);
    StreamWriter expected;
    expected.u8(24);
    expected.u8(0);
    expected.text16(kVirtualPrinter);
    expected.u32(1);
    expected.u32(static_cast<std::uint32_t>(expected.size() + 4 + 2 + 4 + 4 + 1 + 4 + 1 + 16 + 1));
    expected.u16(9);
    expected.i32(2970);
    expected.i32(2100);
    expected.u8(1);
    expected.i32(4);
    expected.u8(0);
    for (int m : {11, 12, 13, 14}) expected.i32(m);
    expected.u8(24);
    EXPECT_EQ(file, expected.data());
}

TEST_F(PreparedFileTest, AMultiPageReportRoundTrips) {
    TfrEMFPages pages(&host);
    TfrPage portrait = a4();
    portrait.Margins = {30, 40, 50, 60};
    portrait.Bin = 257;
    TfrPage landscape = a4(1);
    landscape.UseMargins = false;
    TfrPage a5(11, 1480, 2100, automaticBin, 0);
    for (const TfrPage* p : {&portrait, &landscape, &a5}) pages.Add(*p);
    for (int i = 0; i < 3; ++i) {
        ProbeView box = probe("Box" + std::to_string(i), 10 * i, 20, 30, 40);
        TfrLineView rule;
        rule.Name = "Rule";
        rule.SetBounds(5, 100 + i, 200, 0);
        TfrMemoView text;
        text.Name = "Text";
        text.SetBounds(40, 200, 300, 60);
        text.Memo = {"Page " + std::to_string(i + 1) + "\x01", "\xE2\xA8\x01"};
        print(pages, i, box);
        print(pages, i, rule);
        store(pages, i, text);
    }
    const std::string file = save(pages);

    TfrEMFPages loaded(&host);
    load(loaded, file);
    EXPECT_EQ(host.printersSelected, std::vector<std::string>{kVirtualPrinter});
    ASSERT_EQ(loaded.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        const PreparedPage& a = pages.Item(i);
        const PreparedPage& b = loaded.Item(i);
        EXPECT_EQ(b.PaperSize, a.PaperSize);
        EXPECT_EQ(b.PaperWidth, a.PaperWidth);
        EXPECT_EQ(b.PaperHeight, a.PaperHeight);
        EXPECT_EQ(b.Orientation, a.Orientation);
        EXPECT_EQ(b.Bin, a.Bin);
        EXPECT_EQ(b.UseMargins, a.UseMargins);
        EXPECT_EQ(b.Margins, a.Margins);
        EXPECT_EQ(b.prnInfo, a.prnInfo);
        EXPECT_EQ(b.Stream.data(), a.Stream.data());
        EXPECT_EQ(b.Page, nullptr);  // nothing is unpacked by loading
    }
    EXPECT_EQ(loaded.Item(1).prnInfo.pageWidth, 1071);
    EXPECT_EQ(loaded.Item(2).prnInfo.pageWidth, 534);
    EXPECT_EQ(save(loaded), file);

    loaded.Item(2).Visible = true;
    RecordingCanvas canvas;
    loaded.Draw(2, canvas, Rect{0, 0, 534, 757});
    EXPECT_EQ(canvas.all<RecordedFill>().size(), 1u);
    EXPECT_EQ(canvas.all<RecordedLine>().size(), 1u);
    const auto texts = canvas.all<RecordedText>();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].bytes, "Page 3");
    EXPECT_EQ(texts[1].bytes, "\xE2\xA8");
}

TEST_F(PreparedFileTest, LoadingReplacesThePagesAndIgnoresNoPrinterName) {
    TfrEMFPages pages(&host);
    pages.Add(a4());
    pages.Add(a4());
    load(pages, currentFile(24, 0, "Office", {PageFields{}}));
    EXPECT_EQ(pages.Count(), 1);
    EXPECT_EQ(host.printersSelected, std::vector<std::string>{"Office"});
}

TEST_F(PreparedFileTest, VersionsFrom24GiveBinAndMarginsOlderFilesDoNot) {
    PageFields fields;
    for (int version : {24, 31}) {
        TfrEMFPages pages(&host);
        load(pages, currentFile(version, 0, "", {fields, fields}));
        ASSERT_EQ(pages.Count(), 2) << version;
        EXPECT_EQ(pages.Item(1).Bin, 257);
        EXPECT_EQ(pages.Item(1).Margins, (PageMargins{1, 2, 3, 4}));
        EXPECT_TRUE(pages.Item(1).UseMargins);
        EXPECT_EQ(pages.Item(1).prnInfo.pageWidth, 758);
    }
    // No version byte: the first byte is the compressed byte.
    TfrEMFPages old(&host);
    fields.useMargins = 0;
    load(old, currentFile(0, 0, "", {fields, fields}));
    ASSERT_EQ(old.Count(), 2);
    EXPECT_EQ(old.Item(0).Bin, -1);
    EXPECT_EQ(old.Item(0).Margins, PageMargins{});
    EXPECT_FALSE(old.Item(0).UseMargins);
    EXPECT_EQ(old.Item(1).Stream.data(), fields.data);
}

TEST_F(PreparedFileTest, AFirstByteOutsideTheVersionsIsReadFromTheStart) {
    // 255 is a compressed byte that reads like 0.
    TfrEMFPages pages(&host);
    load(pages, currentFile(0, 255, "P", {PageFields{}}));
    EXPECT_EQ(pages.Count(), 1);
    // 23 and 32 are no versions; read as compressed bytes they start the
    // picture-page format, whose header then is that byte alone.
    for (char first : {'\x17', '\x20'}) {
        host.printersSelected.clear();
        std::string file = currentFile(24, 0, "", {});
        file[0] = first;
        load(pages, file);
        EXPECT_EQ(pages.Count(), 0);
        EXPECT_EQ(host.printersSelected, std::vector<std::string>{std::string(1, first)});
    }
}

TEST_F(PreparedFileTest, ACompressedFileWithTheDisabledCompressorGivesEmptyPages) {
    PageFields fields;
    fields.data = std::string("\x18\x04 anything", 11);
    TfrEMFPages pages(&host);
    load(pages, currentFile(24, 1, "", {fields}));
    ASSERT_EQ(pages.Count(), 1);
    EXPECT_TRUE(pages.Item(0).Stream.data().empty());
    pages.Item(0).Visible = true;
    RecordingCanvas canvas;
    pages.Draw(0, canvas, Rect{0, 0, 758, 1071});
    EXPECT_TRUE(canvas.ops().empty());
    EXPECT_EQ(save(pages)[1], '\0');
}

// Stores every page reversed: enough to see that both directions are used.
class ReversingCompressor : public TfrCompressor {
public:
    ReversingCompressor() { Enabled = true; }
    void Compress(std::string_view source, StreamWriter& dest) override {
        dest.bytes(std::string(source.rbegin(), source.rend()));
    }
    void DeCompress(std::string_view source, StreamWriter& dest) override { Compress(source, dest); }
};

TEST_F(PreparedFileTest, AnInstalledCompressorPacksAndUnpacksThePageData) {
    ReversingCompressor compressor;
    engine().compressor = &compressor;
    TfrEMFPages pages(&host);
    pages.Add(a4());
    ProbeView box = probe("Box", 1, 2, 3, 4);
    print(pages, 0, box);
    const std::string plain = pages.Item(0).Stream.data();
    const std::string file = save(pages);
    EXPECT_EQ(file[1], '\x01');
    EXPECT_EQ(file.substr(file.size() - plain.size()), std::string(plain.rbegin(), plain.rend()));
    TfrEMFPages loaded(&host);
    load(loaded, file);
    EXPECT_EQ(loaded.Item(0).Stream.data(), plain);
}

TEST_F(PreparedFileTest, DamagedFilesFailClearlyAndLeaveNoPages) {
    const std::string good = currentFile(24, 0, "", {PageFields{}, PageFields{}});
    auto fails = [&](const std::string& bytes, const std::string& words) {
        TfrEMFPages pages(&host);
        pages.Add(a4());
        try {
            load(pages, bytes);
            ADD_FAILURE() << "loaded: " << words;
        } catch (const FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
        }
        EXPECT_EQ(pages.Count(), 0);
    };
    const std::size_t firstNext = 1 + 1 + 3 + 4;
    auto withNext = [&](std::uint32_t next) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[firstNext + i] = static_cast<char>((next >> (8 * i)) & 0xFF);
        return bytes;
    };
    fails(withNext(static_cast<std::uint32_t>(good.size() + 1)), "page 1 ends at position");
    fails(withNext(firstNext + 10), "page 1 ends at position");  // behind its own fields
    fails(withNext(0xFFFFFFFFu), "page 1 ends at position");

    std::string manyPages = good;
    manyPages[firstNext - 1] = '\x7F';  // page count 0x7F000002
    fails(manyPages, "holds at most 2");
    fails(good.substr(0, good.size() - 1), "page 2 ends at position");
    fails(good.substr(0, 3), "printer name");
    fails(std::string(1, '\x18'), "too short");
    fails(std::string(), "too short");
}

TEST_F(PreparedFileTest, AnUnknownViewInALoadedPageIsReportedWhenThePageIsRead) {
    PageFields fields;
    fields.data = std::string("\x18\x09", 2);
    TfrEMFPages pages(&host);
    load(pages, currentFile(24, 0, "", {fields}));
    pages.Item(0).Visible = true;
    RecordingCanvas canvas;
    EXPECT_THROW(pages.Draw(0, canvas, Rect{0, 0, 758, 1071}), FormatError);
    EXPECT_THROW(pages.Export(0), FormatError);
    int cursor = 0;
    EXPECT_THROW(pages.HitTest(0, Point{}, cursor, true), FormatError);
}

// The picture-page format: a header of text lines, then per page its fields
// and one metafile.
std::string picturePageFile(const std::string& header, const std::string& metafile) {
    StreamWriter w;
    w.bytes(header);
    w.u8(0);
    w.u32(1);
    const std::size_t next = w.placeholderI32();
    w.u16(9);
    w.i32(2100);
    w.i32(2970);
    w.u8(0);
    w.u8(1);
    w.bytes(metafile);
    w.patchI32(next, static_cast<std::int32_t>(w.position()));
    return w.take();
}

TEST_F(PreparedFileTest, APicturePageFileSelectsItsPrinterAndRefusesADamagedMetafile) {
    TfrEMFPages pages(&host);
    try {
        load(pages, picturePageFile("Office\rsecond line\r", "no metafile"));
        FAIL();
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("page 1"), std::string::npos) << e.what();
    }
    EXPECT_EQ(host.printersSelected, std::vector<std::string>{"Office"});
    EXPECT_EQ(pages.Count(), 0);
    EXPECT_THROW(load(pages, "Office\r without end"), FormatError);
    EXPECT_EQ(host.printersSelected.size(), 1u);
}

}  // namespace
}  // namespace quor::preptest
