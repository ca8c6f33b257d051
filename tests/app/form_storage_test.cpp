#include "app/form_storage.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "platform/error.h"

namespace quor {
namespace {

class FormStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("quorprn.ini").toStdString();
        fs.setIniSection("Quor Print");
        fs.setIniFileName(path);
    }
    void write(const std::string& body) { std::ofstream(path, std::ios::binary) << "[Quor Print]\r\n" << body; }

    QTemporaryDir dir;
    std::string path;
    TFormStorage fs{"TfQuorPrint"};
};

TEST_F(FormStorageTest, MissingFileGivesEveryDefault) {
    EXPECT_EQ(fs.ReadInteger("Copies", 1), 1);
    EXPECT_EQ(fs.ReadString("FontName", "Courier New"), "Courier New");
    EXPECT_EQ(fs.ReadNumber("TextLeft", "36"), 36);
}

TEST_F(FormStorageTest, IntegersInEveryAcceptedForm) {
    write("A=3\r\nB=0x10\r\nC=$10\r\nD=  -7  \r\nE=0X1f\r\nF=x10\r\nG=X10\r\nH=-$10\r\nI=+0x10\r\n"
          "J=2147483647\r\nK=-2147483648\r\nL=-$80000000\r\nM=\"42\"\r\nN=007\r\n");
    const std::pair<const char*, int> expected[] = {{"A", 3},          {"B", 16},          {"C", 16},
                                                    {"D", -7},         {"E", 31},          {"F", 16},
                                                    {"G", 16},         {"H", -16},         {"I", 16},
                                                    {"J", 2147483647}, {"K", -2147483647 - 1},
                                                    {"L", -2147483647 - 1}, {"M", 42}, {"N", 7}};
    for (auto [key, value] : expected) EXPECT_EQ(fs.ReadInteger(key, -99), value) << key;
}

TEST_F(FormStorageTest, MalformedIntegersGiveTheDefault) {
    write("A=3a\r\nB=\r\nC=2147483648\r\nD=-2147483649\r\nE=$FFFFFFFF\r\nF=0x\r\nG=$\r\nH=+\r\nI=1.5\r\n"
          "J=99999999999999999999999\r\nK=- 5\r\nL=0xG\r\nM=$-5\r\n");
    for (const char* key : {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M"})
        EXPECT_EQ(fs.ReadInteger(key, 11), 11) << key;
}

TEST_F(FormStorageTest, TextsQuotedEmptyAndCaseInsensitive) {
    write("fontname=\"Lucida Console\"\r\nPreview=\r\n");
    EXPECT_EQ(fs.ReadString("FontName", "Courier New"), "Lucida Console");
    EXPECT_EQ(fs.ReadString("Preview", "False"), "");
    EXPECT_EQ(fs.ReadString("Missing", "dflt"), "dflt");
}

TEST_F(FormStorageTest, EveryReadSeesTheCurrentFile) {
    write("Copies=2\r\n");
    EXPECT_EQ(fs.ReadInteger("Copies", 1), 2);
    write("Copies=4\r\n");
    EXPECT_EQ(fs.ReadInteger("Copies", 1), 4);
    std::remove(path.c_str());
    EXPECT_EQ(fs.ReadInteger("Copies", 1), 1);
}

TEST_F(FormStorageTest, NumbersAcceptBothDecimalMarksAndReportOthers) {
    write("TextLeft=36,9\r\nTextTop=-0,5\r\nTextX=1e2\r\nTextY=abc\r\nPic1X=\r\n");
    EXPECT_EQ(fs.ReadNumber("TextLeft", "36"), 36);
    EXPECT_EQ(fs.ReadNumber("TextTop", "36"), 0);
    EXPECT_EQ(fs.ReadNumber("TextX", "2"), 100);
    EXPECT_EQ(fs.ReadNumber("Missing", "360"), 360);
    try {
        fs.ReadNumber("TextY", "0");
        FAIL();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    // Present but empty: the empty text, which is not a number.
    EXPECT_THROW(fs.ReadNumber("Pic1X", "360"), Error);
}

TEST(FormStorage, FallbacksOfFileNameAndSection) {
    TFormStorage fs("TfQuorPrint");
    EXPECT_EQ(fs.IniSection(), "TfQuorPrint");
    // The test program's base name with ".INI", no folder.
    EXPECT_EQ(fs.IniFileName(), "test_app.INI");
    fs.setIniFileName("/x/y.ini");
    fs.setIniSection("Quor Print");
    EXPECT_EQ(fs.IniFileName(), "/x/y.ini");
    EXPECT_EQ(fs.IniSection(), "Quor Print");
    fs.setIniFileName("");
    EXPECT_EQ(fs.IniFileName(), "test_app.INI");
}

TEST(FormStorage, FileNameWithoutFolderIsReadFromTheCurrentFolder) {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    std::ofstream("test_app.INI") << "[TfQuorPrint]\nCopies=6\n";
    TFormStorage fs("TfQuorPrint");
    EXPECT_EQ(fs.ReadInteger("Copies", 1), 6);
    QDir::setCurrent(previous);
}

}  // namespace
}  // namespace quor
