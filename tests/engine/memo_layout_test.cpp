#include <gtest/gtest.h>

#include "engine/memo_layout.h"
#include "engine/memo_fake_canvas.h"
#include "platform/error.h"

namespace quor {
namespace {

using testing::FakeCanvas;
const std::string M(1, kLineEndMarker);

WrapTextInput input(int width = 1000, int lineSpacing = 2) {
    WrapTextInput in;
    in.box = TextBox{40, 24, width, 10, 2, 1};
    in.font.name = "Courier New";
    in.font.pointSize = 10;
    in.lineSpacing = lineSpacing;
    return in;
}

std::vector<std::string> wrap(std::string_view s, int maxWidth, bool wordBreak = false, int cell = 7) {
    FakeCanvas c(cell);
    std::vector<std::string> out;
    LineWrapper(c, maxWidth, wordBreak, out).WrapLine(s);
    return out;
}

TEST(MemoLayout, EverySourceLineIsOneOutputLineAndHeightFollowsTheStep) {
    FakeCanvas c;
    std::vector<std::string> src;
    for (int i = 0; i < 100; ++i) src.push_back("line " + std::to_string(i));
    TextLayout l = WrapText(c, src, input());
    ASSERT_EQ(l.lines.size(), 100u);
    EXPECT_EQ(l.lineStep, 15);  // spacing 2 + 13 px for 10 points at 96 dpi
    EXPECT_EQ(l.textHeight, 1502);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(l.lines[i], src[i] + M);
    EXPECT_EQ(c.font().height, -13);
}

TEST(MemoLayout, EmptyAndControlBytesStayOrdinaryLines) {
    FakeCanvas c;
    std::vector<std::string> src{"", "a\fb\tc\x1b" "d", ""};
    TextLayout l = WrapText(c, src, input());
    ASSERT_EQ(l.lines.size(), 3u);
    EXPECT_EQ(l.lines[0], M);
    EXPECT_EQ(l.lines[1], "a\fb\tc\x1b" "d" + M);
    EXPECT_EQ(l.lines[2], M);
    EXPECT_EQ(l.textHeight, 3 * 15 + 2);

    // With WordWrap on a form feed or tab is measured like any byte.
    WrapTextInput in = input(2 * 2 + 3 * 7);
    in.wordWrap = true;
    l = WrapText(c, {"\f\t\x1b\f\t\x1b"}, in);
    ASSERT_EQ(l.lines.size(), 2u);
    EXPECT_EQ(l.lines[0], "\f\t\x1b");
    EXPECT_EQ(l.lines[1], "\f\t\x1b" + M);

    EXPECT_EQ(WrapText(c, {}, input()).textHeight, 2);
}

TEST(MemoLayout, LineSpacingZeroNegativeAndRefused) {
    FakeCanvas c;
    std::vector<std::string> src{"a", "b", "c"};
    EXPECT_EQ(WrapText(c, src, input(1000, 0)).textHeight, 3 * 13 + 2);
    EXPECT_EQ(WrapText(c, src, input(1000, -5)).textHeight, 3 * 8 + 2);
    EXPECT_EQ(WrapText(c, src, input(1000, -12)).lineStep, 1);
    try {
        WrapText(c, src, input(1000, -13));
        FAIL() << "a step of 0 must be refused";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("-13"), std::string::npos) << e.what();
    }
    EXPECT_THROW(WrapText(c, src, input(1000, -40)), Error);
    EXPECT_EQ(checkedLineStep(2, -13), 15);
}

TEST(MemoLayout, PreparedLinesPassUnchangedAndTurnedLinesGetNoMarker) {
    FakeCanvas c;
    WrapTextInput in = input();
    in.textIsPrepared = true;
    in.wordWrap = true;
    TextLayout l = WrapText(c, {"abc" + M, "def", M}, in);
    EXPECT_EQ(l.lines, (std::vector<std::string>{"abc" + M, "def", M}));

    in = input();
    in.turned = true;
    in.box.gapX = 5;
    l = WrapText(c, {"abc", ""}, in);
    EXPECT_EQ(l.lines, (std::vector<std::string>{"abc", ""}));
    EXPECT_EQ(l.textHeight, 2 * 15 + 2 * 5);
    EXPECT_EQ(c.font().escapement, 900);
}

TEST(MemoWrapLine, FitsWhole) {
    EXPECT_EQ(wrap("abc", 21), (std::vector<std::string>{"abc" + M}));
    EXPECT_EQ(wrap("x", 0), (std::vector<std::string>{"x" + M}));  // one character always fits
    EXPECT_EQ(wrap("", 0), (std::vector<std::string>{M}));
}

TEST(MemoWrapLine, BreaksAtTheLastSpaceWhichIsDropped) {
    // 7 px cells, room for 10 characters.
    EXPECT_EQ(wrap("aaaa bbbb cccc", 70),
              (std::vector<std::string>{"aaaa bbbb", "cccc" + M}));
    EXPECT_EQ(wrap("aa bb cc dd ee", 35),
              (std::vector<std::string>{"aa bb", "cc dd", "ee" + M}));
}

TEST(MemoWrapLine, WithoutSpacesBreaksBeforeTheOverflowingCharacter) {
    EXPECT_EQ(wrap("abcdefghij", 28), (std::vector<std::string>{"abcd", "efgh", "ij" + M}));
    EXPECT_EQ(wrap("abcdefgh", 28), (std::vector<std::string>{"abcd", "efgh" + M}));
}

TEST(MemoWrapLine, CarriageReturnsAndLineFeedsEndParagraphs) {
    EXPECT_EQ(wrap("ab\r\ncd", 1000), (std::vector<std::string>{"ab" + M, "cd" + M}));
    EXPECT_EQ(wrap("ab\ncd\r", 1000), (std::vector<std::string>{"ab" + M, "cd" + M}));
    EXPECT_EQ(wrap("\rab", 1000), (std::vector<std::string>{M, "ab" + M}));
}

TEST(MemoBreakPoints, CyrillicVowelsAndSigns) {
    // "МОЛОКО" in Windows-1251: М О Л О К О
    const std::string moloko = "\xCC\xCE\xCB\xCE\xCA\xCE";
    // i=2 (О): vowel, next Л no, then О vowel -> yes; i=3 (Л): next О vowel -> no (second rule
    // needs s[i+1] not a vowel); i=4 (О): next К, then О -> yes.
    EXPECT_EQ(BreakPoints(moloko), (std::vector<int>{2, 4}));
    // Lower case is upper-cased first.
    EXPECT_EQ(BreakPoints("\xEC\xEE\xEB\xEE\xEA\xEE"), (std::vector<int>{2, 4}));
    // "ПОДЪЕЗД": Ъ after Д blocks the consonant rule at i=3.
    EXPECT_EQ(BreakPoints("\xCF\xCE\xC4\xDA\xC5\xC7\xC4"), (std::vector<int>{}));
    EXPECT_TRUE(BreakPoints("\xCC\xCE\xCB").empty());  // three letters
    EXPECT_TRUE(BreakPoints("education").empty());     // Latin words have none
}

TEST(MemoWrapLine, WordBreakHyphenatesAtBreakPoints) {
    // "aa МОЛОКО" in 7 px cells, room for 6 characters: "aa МО-" fits.
    const std::string s = std::string("aa ") + "\xCC\xCE\xCB\xCE\xCA\xCE";
    auto out = wrap(s, 42, true);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "aa \xCC\xCE-");
    EXPECT_EQ(out[1], "\xCB\xCE\xCA\xCE" + M);

    // A word without break points goes to the next line whole.
    out = wrap("aa bbbbb", 42, true);
    EXPECT_EQ(out, (std::vector<std::string>{"aa", "bbbbb" + M}));

    // No space and no break point: cut before the overflowing character.
    out = wrap("bbbbbbbbbb", 42, true);
    EXPECT_EQ(out, (std::vector<std::string>{"bbbbbb", "bbbb" + M}));
}

}  // namespace
}  // namespace quor

namespace quor {
namespace {

TEST(MemoText, AppendAsTextSplitsAtEveryKindOfLineEnd) {
    std::vector<std::string> l{"x"};
    appendAsText(l, "a\r\nb\rc\nd");
    EXPECT_EQ(l, (std::vector<std::string>{"x", "a", "b", "c", "d"}));
    l.clear();
    appendAsText(l, "a\r\n");
    EXPECT_EQ(l, (std::vector<std::string>{"a"}));
    l.clear();
    appendAsText(l, "\n\nb");
    EXPECT_EQ(l, (std::vector<std::string>{"", "", "b"}));
}

TEST(MemoText, PendingLinesDropFromTheFrontWithoutLosingOrRepeating) {
    PendingLines p;
    std::vector<std::string> src;
    for (int i = 0; i < 10; ++i) src.push_back(std::to_string(i));
    p.assign(src);
    std::vector<std::string> seen;
    for (std::size_t take : {3u, 0u, 4u, 5u}) {
        for (std::size_t i = 0; i < std::min(take, p.size()); ++i) seen.push_back(p[i]);
        p.dropFront(take);
    }
    EXPECT_EQ(seen, src);
    EXPECT_TRUE(p.empty());
    EXPECT_TRUE(p.lines().empty());
}

}  // namespace
}  // namespace quor
