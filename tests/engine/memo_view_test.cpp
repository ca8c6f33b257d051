#include <gtest/gtest.h>

#include <limits>

#include <set>

#include "engine/engine_state.h"
#include "engine/memo_fake_canvas.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/recording_canvas.h"

#include <QString>

namespace quor {
namespace {

using testing::FakeCanvas;
const std::string M(1, kLineEndMarker);

// Every test measures on fixed-pitch glyphs (7 px) and builds a report.
class MemoViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = engine();
        engine().measureCanvasOverride = &measure_;
        engine().documentMode = true;
        engine().currentReport = nullptr;
        engine().currentBand = nullptr;
        engine().expandBrackets = [](TfrView&, const std::string& text) { return text; };
    }
    void TearDown() override { engine() = saved_; }

    // The document memo as the print job sets it up.
    static void setUpFm1(TfrMemoView& m, std::vector<std::string> lines) {
        m.Name = "FM1";
        m.SetBounds(40, 24, 96, 10);
        m.Flags = kFlagStretched | kFlagAutoWidth;
        m.Font.name = "Courier New";
        m.Font.pointSize = 10;
        m.Font.charset = kOemCharset;
        m.preparedMode = true;
        m.Memo = std::move(lines);
    }

    static std::vector<std::string> numbered(int n) {
        std::vector<std::string> lines;
        for (int i = 0; i < n; ++i) lines.push_back("line " + std::to_string(i));
        return lines;
    }

    // One partial write of a piece `height` high; returns the stored lines.
    static std::vector<std::string> writePiece(TfrMemoView& m, int height, bool* written = nullptr) {
        m.Height = height;
        m.drawMode = DrawMode::drawPart;
        StreamWriter out;
        m.WriteToPage(out);
        EXPECT_EQ(m.drawMode, DrawMode::drawAll);
        if (written) *written = out.size() > 0;
        return readBack(out.data());
    }

    static std::vector<std::string> readBack(const std::string& bytes) {
        if (bytes.empty()) return {};
        StreamReader in(bytes);
        EXPECT_EQ(in.u8(), kKindMemo);
        TfrMemoView copy;
        copy.preparedMode = true;
        copy.LoadFromStream(in);
        EXPECT_FALSE(in.ranShort());
        return copy.Memo;
    }

    EngineState saved_;
    FakeCanvas measure_;
};

TEST_F(MemoViewTest, DefaultsAndFontStyleCodes) {
    TfrMemoView m;
    EXPECT_EQ(m.baseName, "Memo");
    EXPECT_EQ(m.objectKind, kKindMemo);
    EXPECT_EQ(m.Flags, kFlagStretched | kFlagWordWrap);
    EXPECT_EQ(m.Font.name, "Arial");
    EXPECT_EQ(m.Font.pointSize, 10);
    EXPECT_EQ(m.Font.charset, 204);
    EXPECT_EQ(m.highlightStyle, 2);
    EXPECT_EQ(m.highlightFill, 0xFFFFFFu);
    EXPECT_EQ(m.LineSpacing, 2);
    EXPECT_EQ(m.drawMode, DrawMode::drawAll);

    EXPECT_EQ(fontStyleFromCode(1), unsigned{kFontItalic});
    EXPECT_EQ(fontStyleFromCode(2), unsigned{kFontBold});
    EXPECT_EQ(fontStyleToCode(kFontBold), 2);
    EXPECT_EQ(fontStyleToCode(kFontItalic | kFontStrikeOut), 9);
    for (std::uint16_t code = 0; code < 16; ++code) EXPECT_EQ(fontStyleToCode(fontStyleFromCode(code)), code);
}

TEST_F(MemoViewTest, NamedPropertiesAndFlagBits) {
    TfrMemoView m;
    m.SetProperty("font.style", Variant(3));
    EXPECT_EQ(m.Font.style, unsigned{kFontBold | kFontItalic});
    m.Font.style = kFontBold;
    EXPECT_EQ(m.GetProperty("Font.Style"), Variant(2));
    m.SetProperty("LINESPACING", Variant(5));
    EXPECT_EQ(m.LineSpacing, 5);
    m.SetProperty("Suppress", Variant(true));
    EXPECT_EQ(m.Flags, kFlagStretched | kFlagWordWrap | kFlagSuppress);
    m.SetProperty("WordWrap", Variant(false));
    EXPECT_EQ(m.Flags, kFlagStretched | kFlagSuppress);
    EXPECT_EQ(m.GetProperty("RTLReading"), Variant(false));
    m.Memo = {"a", "b"};
    EXPECT_EQ(m.GetProperty("Lines.Count"), Variant(std::int64_t{2}));
    m.SetProperty("Lines.Count", Variant(7));  // read-only
    EXPECT_EQ(m.Memo.size(), 2u);
    EXPECT_EQ(m.CallMethod("GETINDEXPROPERTY", Variant("Lines"), Variant(1), Variant()), Variant("b"));
    m.CallMethod("SETINDEXPROPERTY", Variant("LINES"), Variant(0), Variant("z"));
    EXPECT_EQ(m.Memo[0], "z");
    EXPECT_THROW(m.CallMethod("GETINDEXPROPERTY", Variant("LINES"), Variant(2), Variant()), Error);

    std::vector<std::string> names;
    for (const PropertyEntry& p : m.properties()) names.push_back(p.name);
    const std::vector<std::string> tail{"Font.Name", "Font.Size", "Font.Style", "Font.Color", "Font",
                                        "Alignment", "DisplayFormat", "Highlight", "LineSpacing",
                                        "CharSpacing", "GapX", "GapY", "Stretched", "WordWrap",
                                        "WordBreak", "AutoWidth", "TextOnly", "Suppress", "HideZeros",
                                        "Lines.Count", "Underlines", "RTLReading"};
    ASSERT_GE(names.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - tail.size(), names.end()), tail);
}

TEST_F(MemoViewTest, BodyRoundTripsInBothModesAndOldVersions) {
    TfrMemoView m;
    setUpFm1(m, {"one", "two"});
    m.preparedMode = false;
    m.Font.style = kFontBold | kFontUnderline;
    m.Font.color = 0x123456;
    m.Alignment = kMemoCenter | kMemoBottom;
    m.highlightCondition = "PAGE# > 1";
    m.highlightColor = 0xFF;
    m.LineSpacing = -3;
    m.CharSpacing = 4;
    StreamWriter out;
    m.SaveToStream(out);
    StreamReader in(out.data());
    TfrMemoView back;
    back.LoadFromStream(in);
    EXPECT_EQ(in.position(), out.size());
    EXPECT_EQ(back.Font, m.Font);
    EXPECT_EQ(back.Alignment, m.Alignment);
    EXPECT_EQ(back.highlightCondition, "PAGE# > 1");
    EXPECT_EQ(back.highlightColor, 0xFFu);
    EXPECT_EQ(back.LineSpacing, -3);
    EXPECT_EQ(back.CharSpacing, 4);
    EXPECT_EQ(back.Memo, m.Memo);

    // Prepared mode stores no highlight: the body is 2 + 4 + 4 + 1 + vtext shorter.
    m.preparedMode = true;
    m.workLines = m.Memo;
    StreamWriter prepared;
    m.SaveToStream(prepared);
    StreamReader pin(prepared.data());
    TfrMemoView pback;
    pback.preparedMode = true;
    pback.LoadFromStream(pin);
    EXPECT_EQ(pin.position(), prepared.size());
    EXPECT_EQ(pback.Memo, m.Memo);
    EXPECT_EQ(pback.LineSpacing, -3);
    EXPECT_TRUE(pback.highlightCondition.empty());
}

TEST_F(MemoViewTest, HeightOfNLinesAndEmptyMemo) {
    TfrMemoView m;
    setUpFm1(m, numbered(100));
    EXPECT_EQ(m.CalcHeight(), 1502);
    EXPECT_EQ(m.drawMode, DrawMode::drawAfterMeasure);
    EXPECT_EQ(m.pendingLineCount(), 100u);
    EXPECT_EQ(m.Height, 10);  // geometry put back

    TfrMemoView empty;
    setUpFm1(empty, {});
    EXPECT_EQ(empty.CalcHeight(), 0);
    TfrMemoView blank;
    setUpFm1(blank, {"", "x\f\ty", ""});
    EXPECT_EQ(blank.CalcHeight(), 3 * 15 + 2);

    TfrMemoView hidden;
    setUpFm1(hidden, numbered(3));
    hidden.Visible = false;
    EXPECT_EQ(hidden.CalcHeight(), 0);
}

TEST_F(MemoViewTest, LineSpacingZeroNegativeAndRefused) {
    TfrMemoView m;
    setUpFm1(m, numbered(10));
    m.LineSpacing = 0;
    EXPECT_EQ(m.CalcHeight(), 10 * 13 + 2);
    m.LineSpacing = -12;
    EXPECT_EQ(m.CalcHeight(), 10 * 1 + 2);
    EXPECT_EQ(m.SmallestHeight(), 2 + 2 + 1);
    m.LineSpacing = -13;
    EXPECT_THROW(m.CalcHeight(), Error);
    EXPECT_EQ(m.Height, 10);  // geometry put back after the error
    EXPECT_THROW(m.SmallestHeight(), Error);
    EXPECT_THROW(m.LeftoverHeight(), Error);
}

TEST_F(MemoViewTest, SmallestAndLeftoverHeight) {
    TfrMemoView m;
    setUpFm1(m, numbered(10));
    EXPECT_EQ(m.SmallestHeight(), 2 + 2 + 15);
    EXPECT_EQ(m.lineStep, 15);
    m.Height = 4 + 15 * 7 + 9;
    EXPECT_EQ(m.LeftoverHeight(), 2 + 9 + 2);
    m.Height = 3;  // below the gaps: a negative remainder, as the formula gives
    EXPECT_EQ(m.LeftoverHeight(), 2 + (-1) + 2);
}

TEST_F(MemoViewTest, SplitWritesWholeLinesAndContinuesWithTheNext) {
    TfrMemoView m;
    setUpFm1(m, numbered(100));
    ASSERT_EQ(m.CalcHeight(), 1502);

    // Height 1 + 15k holds exactly k lines (the last one touches the clip bottom).
    auto piece = writePiece(m, 1 + 15 * 7);
    ASSERT_EQ(piece.size(), 7u);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(piece[i], "line " + std::to_string(i) + M);
    EXPECT_EQ(m.linesDrawn, 7);
    EXPECT_EQ(m.pendingLineCount(), 93u);

    piece = writePiece(m, 15 * 3);  // one pixel short of 3 lines
    ASSERT_EQ(piece.size(), 2u);
    EXPECT_EQ(piece[0], "line 7" + M);

    piece = writePiece(m, 5);  // nothing fits: a marker line alone
    EXPECT_EQ(piece, (std::vector<std::string>{M}));
    EXPECT_EQ(m.pendingLineCount(), 91u);

    // The rest over many pieces: nothing lost, nothing repeated.
    std::vector<std::string> all;
    int heights[] = {31, 200, 16, 1000, 77};
    for (int i = 0; m.pendingLineCount() > 0 && i < 100; ++i) {
        for (const std::string& l : writePiece(m, heights[i % 5])) all.push_back(l);
    }
    ASSERT_EQ(all.size(), 91u);
    for (int i = 0; i < 91; ++i) EXPECT_EQ(all[i], "line " + std::to_string(i + 9) + M);
}

TEST_F(MemoViewTest, WrappedPiecesWithoutMarkersGetAMarkerLine) {
    TfrMemoView m;
    setUpFm1(m, {"aaaa bbbb cccc dddd eeee ffff"});
    m.Flags = kFlagStretched | kFlagWordWrap;
    m.Width = 4 + 9 * 7;  // nine characters: two words a line
    ASSERT_EQ(m.CalcHeight(), 3 * 15 + 2);
    auto piece = writePiece(m, 1 + 15 * 2);
    EXPECT_EQ(piece, (std::vector<std::string>{"aaaa bbbb", "cccc dddd", M}));
    piece = writePiece(m, 1000);
    EXPECT_EQ(piece, (std::vector<std::string>{"eeee ffff" + M}));
}

TEST_F(MemoViewTest, WholeWriteAfterMeasureAndSuppress) {
    TfrMemoView m;
    setUpFm1(m, numbered(3));
    m.Flags |= kFlagSuppress;
    ASSERT_EQ(m.CalcHeight(), 47);
    StreamWriter first;
    m.WriteToPage(first);
    EXPECT_EQ(readBack(first.data()), (std::vector<std::string>{"line 0" + M, "line 1" + M, "line 2" + M}));

    EXPECT_EQ(m.CalcHeight(), 0);  // same text as written last
    StreamWriter second;
    m.WriteToPage(second);
    EXPECT_EQ(second.size(), 0u);

    m.Memo[1] = "changed";
    EXPECT_EQ(m.CalcHeight(), 47);

    // A plain write (no measuring before) stores the expanded lines without markers.
    TfrMemoView plain;
    setUpFm1(plain, numbered(2));
    StreamWriter out;
    plain.WriteToPage(out);
    EXPECT_EQ(readBack(out.data()), numbered(2));
}

TEST_F(MemoViewTest, HighlightAppliesForTheWriteAndErrorsAreSwallowed) {
    TfrMemoView m;
    setUpFm1(m, {"x"});
    m.highlightCondition = "1";
    m.highlightColor = 0xFF;
    m.highlightFill = 0x00FF00;
    engine().evaluate = [](TfrView&, const std::string&) { return Variant(1); };
    StreamWriter out;
    m.WriteToPage(out);
    StreamReader in(out.data());
    in.u8();
    TfrMemoView back;
    back.preparedMode = true;
    back.LoadFromStream(in);
    EXPECT_EQ(back.Font.style, unsigned{kFontBold});
    EXPECT_EQ(back.Font.color, 0xFFu);
    EXPECT_EQ(back.FillColor, 0x00FF00u);
    EXPECT_EQ(m.Font.style, 0u);  // put back after the write
    EXPECT_EQ(m.FillColor, kNoColor);

    engine().evaluate = [](TfrView&, const std::string&) -> Variant { throw Error("bad"); };
    StreamWriter plain;
    EXPECT_NO_THROW(m.WriteToPage(plain));
    StreamReader pin(plain.data());
    pin.u8();
    TfrMemoView pback;
    pback.preparedMode = true;
    pback.LoadFromStream(pin);
    EXPECT_EQ(pback.FillColor, kNoColor);
    EXPECT_EQ(pback.Font.style, 0u);
}

// A prepared piece of FM1 as the page drawer gets it back.
TfrMemoView preparedPiece(std::vector<std::string> lines) {
    TfrMemoView m;
    m.Name = "FM1";
    m.SetBounds(40, 24, 96, 1 + 15 * static_cast<int>(lines.size()) + 1);
    m.Flags = kFlagStretched | kFlagAutoWidth;
    m.Font.name = "Courier New";
    m.Font.pointSize = 10;
    m.Font.charset = kOemCharset;
    for (auto& l : lines) l += M;
    m.Memo = std::move(lines);
    return m;
}

TEST_F(MemoViewTest, DrawPlacesEveryLineAtScaleOneTwoAndOnA600DpiPrinter) {
    const std::vector<std::string> text{"first", "second line", "", "third"};
    {
        TfrMemoView m = preparedPiece(text);
        RecordingCanvas c(96);
        m.Draw(c);
        auto texts = c.all<RecordedText>();
        ASSERT_EQ(texts.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(texts[i].x, 42) << i;
            EXPECT_EQ(texts[i].y, 25 + 15 * i) << i;
            EXPECT_EQ(texts[i].bytes, text[i]);
            EXPECT_EQ(texts[i].font.height, -13);
        }
    }
    {
        TfrMemoView m = preparedPiece(text);
        m.drawScaleX = m.drawScaleY = 2.0;
        m.drawOffsetX = 10;
        m.drawOffsetY = 20;
        RecordingCanvas c(96);
        m.Draw(c);
        auto texts = c.all<RecordedText>();
        ASSERT_EQ(texts.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            // Left 80 + 10, GapX 4 + 1; Top 48 + 20, GapY 2; step 4 + 26.
            EXPECT_EQ(texts[i].x, 95) << i;
            EXPECT_EQ(texts[i].y, 70 + 30 * i) << i;
            EXPECT_EQ(texts[i].font.height, -26);
        }
    }
    {
        TfrMemoView m = preparedPiece(text);
        const double s = 600 / (93 / 1.015);
        m.drawScaleX = m.drawScaleY = s;
        m.drawForPrinter = true;
        RecordingCanvas c(600, true);
        m.Draw(c);
        auto texts = c.all<RecordedText>();
        ASSERT_EQ(texts.size(), 4u);
        for (int i = 0; i < 4; ++i) {
            // Left Round(40s) 262 + GapX 16; Top Round(24s) 157 + GapY 8; step 13 + 83.
            EXPECT_EQ(texts[i].x, 278) << i;
            EXPECT_EQ(texts[i].y, 165 + 96 * i) << i;
            EXPECT_EQ(texts[i].font.height, -83);
        }
    }
}

TEST_F(MemoViewTest, AutoWidthFollowsTheLongestLineOnBothSides) {
    TfrMemoView m = preparedPiece({"abc", "abcdefghij"});
    FakeCanvas c;
    m.Draw(c);
    EXPECT_EQ(m.Left, 40);
    EXPECT_EQ(m.Width, 70 + 1 + 4 + 1);
    ASSERT_EQ(c.calls.size(), 2u);
    EXPECT_EQ(c.calls[0].x, 42);

    TfrMemoView r = preparedPiece({"abc", "abcdefghij"});
    r.Alignment = kMemoRight;
    FakeCanvas rc;
    r.Draw(rc);
    EXPECT_EQ(r.Left + r.Width, 40 + 96);  // the right edge stays
    EXPECT_EQ(r.Width, 76);
    // Right-aligned lines end GapX inside the view's right edge.
    EXPECT_EQ(rc.calls[0].x + 21, 40 + 96 - 2);
    EXPECT_EQ(rc.calls[1].x + 70, 40 + 96 - 2);
}

TEST_F(MemoViewTest, AutoWidthOfAnEndlessLineSaturates) {
    // Gaps from a damaged page make the width run past the int range.
    TfrMemoView m = preparedPiece({"abcdefghij"});
    m.GapX = std::numeric_limits<int>::max() / 2;
    FakeCanvas c;
    m.Draw(c);
    EXPECT_EQ(m.Width, std::numeric_limits<int>::max());
}

TEST_F(MemoViewTest, EmptyMemoDrawsOnlyBackgroundAndFrame) {
    TfrMemoView m = preparedPiece({});
    m.FrameTyp = 15;
    m.FillColor = 0xFF;
    RecordingCanvas c(96);
    m.Draw(c);
    EXPECT_TRUE(c.all<RecordedText>().empty());
    EXPECT_EQ(c.all<RecordedFill>().size(), 1u);
    EXPECT_EQ(c.all<RecordedLine>().size(), 4u);
}

TEST_F(MemoViewTest, DosBytesReachQtAsTheirCp866Characters) {
    // "Итого:" a tab, a form feed and a box-drawing corner, as a DOS file holds them.
    const std::string dos = "\x88\xe2\xae\xa3\xae:\t\f\xc0\xc4";
    TfrMemoView m = preparedPiece({dos});
    RecordingCanvas c(96);
    m.Draw(c);
    auto texts = c.all<RecordedText>();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].bytes, dos);  // one line: nothing interpreted
    EXPECT_EQ(texts[0].font.charset, kOemCharset);
    EXPECT_EQ(bytesToQString(texts[0].bytes, texts[0].font.charset),
              QString::fromUtf8("Итого:") + QChar(0x25CB) + QChar(0x2640) + QString::fromUtf8("└─"));
}

TEST_F(MemoViewTest, CalcWidthOfTheExpandedText) {
    TfrMemoView m;
    setUpFm1(m, {"ab[X]", "abc"});
    engine().expandBrackets = [](TfrView&, const std::string& t) {
        std::string s = t;
        auto p = s.find("[X]");
        if (p != std::string::npos) s.replace(p, 3, "123456");
        return s;
    };
    m.AttachCanvas(engineMeasureCanvas());
    EXPECT_EQ(m.CalcWidthOfExpandedText(), 8 * 7 + 1 + 4 + 1);
}

}  // namespace
}  // namespace quor

#include "engine/expr/view_bridge.h"
#include "engine/view_context.h"

namespace quor {
namespace {

class SinkReport : public ReportContext, public ExportSink {
public:
    std::vector<TfrView*> allObjects() const override { return {}; }
    void beforePrint(std::vector<std::string>&, TfrView&) override {}
    void runScript(const std::vector<std::string>&, TfrView&) override {}
    ExportSink* exportSink() override { return this; }
    void exportView(TfrView&, int, int) override {}
    void exportText(const Rect& frame, int x, int y, TfrView& view, unsigned frameLines,
                    const std::string& text) override {
        EXPECT_EQ(view.Name, "FM1");
        got.push_back(std::to_string(frame.left) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
                      std::to_string(frameLines) + " " + text);
    }
    std::vector<std::string> got;
};

TEST_F(MemoViewTest, ExportSendsEveryLineToTheSinkAndDrawsNothing) {
    SinkReport report;
    engine().currentReport = &report;
    TfrMemoView m = preparedPiece({"one", "two"});
    m.Flags = kFlagStretched;
    m.FrameTyp = kFrameTop | kFrameBottom;
    m.Export();
    EXPECT_FALSE(m.exportMode);
    EXPECT_EQ(report.got, (std::vector<std::string>{"40 42,25 8 one", "40 42,40 2 two"}));
}

TEST_F(MemoViewTest, CalcWidthThroughTheExpressionLanguage) {
    engine().expandBrackets = expandBracketsForView;
    engine().evaluate = evaluateForView;
    TfrMemoView m;
    setUpFm1(m, {"ab [CALCWIDTH]"});
    // Asking for its own width measures the text as written, once:
    // "ab [CALCWIDTH]" is 14 cells (104 with frame and gaps), "ab 104" is 6 (48).
    m.CalcHeight();
    StreamWriter out;
    m.WriteToPage(out);
    EXPECT_EQ(readBack(out.data()), (std::vector<std::string>{"ab 48" + M}));
    EXPECT_EQ(m.textCharset(), kOemCharset);
}

}  // namespace
}  // namespace quor
