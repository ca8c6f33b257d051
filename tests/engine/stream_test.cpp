#include <gtest/gtest.h>

#include "engine/stream.h"
#include "platform/error.h"

using namespace quor;

using Lines = std::vector<std::string>;

TEST(StreamReader, LittleEndianIntegersAndFlags) {
    std::string d("\x01\x34\x12\xFE\xFF\x78\x56\x34\x12\xFF\xFF\xFF\xFF\x00\x00\x02\x00", 17);
    StreamReader r(d);
    EXPECT_EQ(r.u8(), 1);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.i16(), -2);
    EXPECT_EQ(r.u32(), 0x12345678u);
    EXPECT_EQ(r.i32(), -1);
    EXPECT_FALSE(r.flag16());
    EXPECT_TRUE(r.flag16());
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.ranShort());
}

TEST(StreamReader, ReadingPastTheEndGivesZerosAndIsRemembered) {
    std::string d("\x34\x12\x56", 3);
    StreamReader r(d);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_EQ(r.i32(), 0x56);
    EXPECT_TRUE(r.ranShort());
    EXPECT_EQ(r.u8(), 0);
    EXPECT_EQ(r.position(), 3u);
    // A seek far beyond the end (a damaged end position) reads zeros too.
    r.seek(0xFFFFFFF0u);
    EXPECT_EQ(r.u32(), 0u);
    EXPECT_EQ(r.vtext(24), "");
    EXPECT_TRUE(r.vlines(24).empty());
    EXPECT_TRUE(r.vlines(21).empty());
}

TEST(StreamReader, LengthFieldsNeverAllocateMoreThanIsThere) {
    std::string d("\xFF\xFF" "abc", 5);
    StreamReader r(d);
    EXPECT_EQ(r.vtext(24), "abc");
    EXPECT_TRUE(r.ranShort());
    StreamReader b(d);
    EXPECT_EQ(b.bytes(1u << 30).size(), 5u);
}

TEST(StreamText, CountedAndZeroTerminatedForms) {
    StreamWriter w24(24), w22(22);
    w24.vtext("Memo1");
    w22.vtext("Memo1");
    EXPECT_EQ(w24.data(), std::string("\x05\x00Memo1\x00", 8));
    EXPECT_EQ(w22.data(), std::string("Memo1\x00", 6));
    StreamReader r24(w24.data()), r22(w22.data());
    EXPECT_EQ(r24.vtext(24), "Memo1");
    EXPECT_EQ(r22.vtext(22), "Memo1");
    EXPECT_EQ(r24.position(), 8u);
    // The byte after a counted text is skipped without looking at it.
    std::string oddBytes("\x01\x00X\x7Fz", 5);
    StreamReader odd(oddBytes);
    EXPECT_EQ(odd.vtext(23), "X");
    EXPECT_EQ(odd.u8(), 'z');
    // text16 is counted whatever the writer's version.
    StreamWriter w(21);
    w.text16("ab");
    EXPECT_EQ(w.data(), std::string("\x02\x00" "ab\x00", 5));
}

TEST(StreamLines, CountedFormWithSeparators) {
    StreamWriter w(24);
    w.vlines({"ab", "", "c"});
    EXPECT_EQ(w.data(), std::string("\x03\x00\x02\x00" "ab\x0D\x00\x00\x0D\x01\x00" "c\x00", 14));
    StreamReader r(w.data());
    EXPECT_EQ(r.vlines(24), (Lines{"ab", "", "c"}));
    EXPECT_TRUE(r.atEnd());
}

TEST(StreamLines, EmptyCountedListTakesThreeBytes) {
    StreamWriter w(23);
    w.vlines({});
    EXPECT_EQ(w.size(), 3u);
    std::string d = w.data() + "Z";
    StreamReader r(d);
    EXPECT_TRUE(r.vlines(23).empty());
    EXPECT_EQ(r.u8(), 'Z');
}

TEST(StreamLines, TheReaderStopsAtTheSeparatorNotTheCount) {
    // Count says 1, but the separator after the first line is 13.
    std::string d("\x01\x00\x01\x00" "a\x0D\x01\x00" "b\x00" "Z", 11);
    StreamReader r(d);
    EXPECT_EQ(r.vlines(24), (Lines{"a", "b"}));
    EXPECT_EQ(r.u8(), 'Z');
}

TEST(StreamLines, OldFormDropsOnlyATrailingEmptyLine) {
    std::string old("one\x0D\x0Dthree\x0D\x00Z", 13);
    StreamReader r(old);
    EXPECT_EQ(r.vlines(22), (Lines{"one", "", "three"}));
    EXPECT_EQ(r.u8(), 'Z');
    StreamWriter w(21);
    w.vlines({"one", "", "three"});
    EXPECT_EQ(w.data(), std::string("one\x0D\x0Dthree\x00", 11));
    std::string zero("\x00", 1);
    StreamReader empty(zero);
    EXPECT_TRUE(empty.vlines(21).empty());
    // A list cut off by the end of the stream keeps what arrived.
    std::string cutBytes("ab\x0D" "cd");
    StreamReader cut(cutBytes);
    EXPECT_EQ(cut.vlines(21), (Lines{"ab", "cd"}));
    EXPECT_TRUE(cut.ranShort());
}

TEST(StreamWriter, PlaceholdersAreBackPatched) {
    StreamWriter w;
    w.u8(7);
    std::size_t at = w.placeholderI32();
    w.vtext("body");
    w.patchI32(at, static_cast<std::int32_t>(w.position()));
    w.u8(9);
    StreamReader r(w.data());
    EXPECT_EQ(r.u8(), 7);
    EXPECT_EQ(r.i32(), 12);
    r.seek(12);
    EXPECT_EQ(r.u8(), 9);
}

TEST(StreamWriter, OverlongTextIsRefusedNotCut) {
    StreamWriter w;
    EXPECT_THROW(w.vtext(std::string(70000, 'x')), FormatError);
    EXPECT_THROW(w.vlines({std::string(70000, 'x')}), FormatError);
    StreamWriter full;
    full.vtext(std::string(65535, 'x'));
    EXPECT_EQ(full.size(), 65538u);
}

TEST(StreamWriter, ListsOfMoreThan65535LinesKeepEveryLine) {
    std::vector<std::string> lines;
    for (int i = 0; i < 70000; ++i) lines.push_back(std::to_string(i));
    StreamWriter w;
    w.vlines(lines);
    // The count holds its largest value; the separators end the list.
    EXPECT_EQ(w.data().substr(0, 2), std::string("\xFF\xFF"));
    StreamReader r(w.data());
    EXPECT_EQ(r.vlines(kCurrentStreamVersion), lines);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.ranShort());
}
