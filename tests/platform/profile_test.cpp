#include "platform/profile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

namespace quor {
namespace {

std::optional<std::string> find(std::string_view ini, std::string_view key, std::string_view section = "Quor Print") {
    return findProfileString(ini, section, key);
}

TEST(Profile, SectionAndKeyMatchWithoutLetterCase) {
    const char* ini = "[quor PRINT]\r\nfontNAME=Arial\r\n";
    EXPECT_EQ(find(ini, "FontName"), "Arial");
    EXPECT_EQ(find(ini, "FONTNAME", "QUOR print"), "Arial");
    EXPECT_EQ(find(ini, "FontName", "Other"), std::nullopt);
    EXPECT_EQ(find(ini, "FontSize"), std::nullopt);
}

TEST(Profile, ValueIsTrimmedAndLosesOnePairOfQuotes) {
    const char* ini =
        "[Quor Print]\n"
        "A =  spaced out \t\n"
        "B=\"Courier New\"\n"
        "C='single'\n"
        "D=\"\"twice\"\"\n"
        "E=\"unbalanced'\n"
        "F=\"\n"
        "G=  \"  inner blanks stay  \"  \n";
    EXPECT_EQ(find(ini, "A"), "spaced out");
    EXPECT_EQ(find(ini, "B"), "Courier New");
    EXPECT_EQ(find(ini, "C"), "single");
    EXPECT_EQ(find(ini, "D"), "\"twice\"");
    EXPECT_EQ(find(ini, "E"), "\"unbalanced'");
    EXPECT_EQ(find(ini, "F"), "\"");
    EXPECT_EQ(find(ini, "G"), "  inner blanks stay  ");
}

TEST(Profile, EmptyValueIsNotMissing) {
    const char* ini = "[Quor Print]\nPreview=\nCopies=   \nQuoted=\"\"\n";
    EXPECT_EQ(find(ini, "Preview"), "");
    EXPECT_EQ(find(ini, "Copies"), "");
    EXPECT_EQ(find(ini, "Quoted"), "");
}

TEST(Profile, ValuesAreCutAt2047Characters) {
    std::string longValue(3000, 'x');
    longValue[2046] = 'y';
    std::string ini = "[Quor Print]\nLong=" + longValue + "\nQuoted=\"" + std::string(2047, 'q') + "z\"\n";
    auto v = find(ini, "Long");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->size(), 2047u);
    EXPECT_EQ(v->back(), 'y');
    EXPECT_EQ(find(ini, "Quoted"), std::string(2047, 'q'));
}

TEST(Profile, CommentsDuplicatesAndStrayLines) {
    const char* ini =
        "Copies=9\n"          // before any section: belongs to none
        "[Quor Print]\n"
        "; Copies=7\n"
        "  # Copies=8\n"
        "no equals sign here\n"
        "Copies=2\n"
        "Copies=3\n"
        "[Other]\n"
        "Orientation=1\n"
        "[QUOR PRINT]\n"
        "Copies=4\n"
        "Orientation=0\n";
    EXPECT_EQ(find(ini, "Copies"), "2");
    // A section named twice counts as one.
    EXPECT_EQ(find(ini, "Orientation"), "0");
    EXPECT_EQ(find(ini, "; Copies"), std::nullopt);
}

TEST(Profile, LineEndsOfEveryKindAndByteOrderMark) {
    EXPECT_EQ(find("\xEF\xBB\xBF[Quor Print]\r\nA=1\r\nB=2", "B"), "2");
    EXPECT_EQ(find("[Quor Print]\rA=1\rB=2\r", "A"), "1");
    EXPECT_EQ(find("[Quor Print]\nA=1\n", "A"), "1");
    // Section headers allow blanks and text after the bracket.
    EXPECT_EQ(find("  [ Quor Print ] ; note\nA=5\n", "A"), "5");
}

TEST(Profile, BytesStayBytes) {
    // A Windows-1251 value and a key in no particular encoding.
    std::string ini = "[Quor Print]\nFontName=\xCA\xF3\xF0\xFC\xE5\xF0\n";
    EXPECT_EQ(find(ini, "FontName"), "\xCA\xF3\xF0\xFC\xE5\xF0");
}

TEST(Profile, FileIsReadAtEveryCall) {
    QTemporaryDir dir;
    std::string path = dir.filePath("a.ini").toStdString();
    EXPECT_EQ(readProfileString(path, "Quor Print", "Copies"), std::nullopt);
    {
        std::ofstream(path) << "[Quor Print]\r\nCopies=2\r\n";
    }
    EXPECT_EQ(readProfileString(path, "Quor Print", "Copies"), "2");
    {
        std::ofstream(path) << "[Quor Print]\r\nCopies=5\r\n";
    }
    EXPECT_EQ(readProfileString(path, "Quor Print", "Copies"), "5");
    // A folder, an empty path and a missing file all read as missing.
    EXPECT_EQ(readProfileString(dir.path().toStdString(), "Quor Print", "Copies"), std::nullopt);
    EXPECT_EQ(readProfileString("", "Quor Print", "Copies"), std::nullopt);
}

TEST(Profile, LongFileAcrossReadBuffers) {
    QTemporaryDir dir;
    std::string path = dir.filePath("big.ini").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Quor Print]\r\n";
        for (int i = 0; i < 5000; ++i) out << "Key" << i << "=value " << i << "\r\n";
        out << "Huge=" << std::string(3 << 20, 'h') << "\r\nLast=end";
    }
    EXPECT_EQ(readProfileString(path, "Quor Print", "Key4999"), "value 4999");
    EXPECT_EQ(readProfileString(path, "Quor Print", "Huge")->size(), kProfileValueMax);
    EXPECT_EQ(readProfileString(path, "Quor Print", "last"), "end");
}

TEST(Profile, ReadingStopsAtItsBoundAndTheRestIsAbsent) {
    QTemporaryDir dir;
    std::string path = dir.filePath("endless.ini").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Quor Print]\r\nCopies=2\r\n";
        for (int i = 0; i < 5; ++i) out << ";" << std::string(1 << 20, 'c') << "\r\n";
        out << "Late=lost\r\n";
    }
    EXPECT_EQ(readProfileString(path, "Quor Print", "Copies"), "2");
    EXPECT_EQ(readProfileString(path, "Quor Print", "Late"), std::nullopt);
    EXPECT_EQ(readProfileString("/dev/zero", "Quor Print", "Copies"), std::nullopt);
}

}  // namespace
}  // namespace quor
