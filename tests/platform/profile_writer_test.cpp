#include "platform/profile_writer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "platform/error.h"
#include "platform/profile.h"

namespace quor {
namespace {

const char* const kSection = "Quor Print";

struct WriteCase {
    const char* what;
    std::string before;
    std::vector<ProfileEntry> entries;
    std::string after;
};

TEST(ProfileWriter, ChangesOnlyTheKeysAndReadsBackWhatWasWritten) {
    const std::string longValue(kProfileValueMax, 'v');
    const WriteCase cases[] = {
        {"in place, CR LF, comments and other sections kept",
         "; settings\r\n[Other]\r\nFontSize=1\r\n[Quor Print]\r\nfontsize = 10\r\n# end\r\n",
         {{"FontSize", "12"}},
         "; settings\r\n[Other]\r\nFontSize=1\r\n[Quor Print]\r\nfontsize = 12\r\n# end\r\n"},
        {"letter case of section and key", "[quor PRINT]\nCOPIES=  3\n", {{"Copies", "4"}}, "[quor PRINT]\nCOPIES=  4\n"},
        {"the first of duplicates", "[Quor Print]\nCopies=1\nCopies=5\n", {{"Copies", "2"}},
         "[Quor Print]\nCopies=2\nCopies=5\n"},
        {"a later block of the section", "[Quor Print]\nA=1\n[X]\nCopies=9\n[Quor Print]\nCopies=3\n",
         {{"Copies", "4"}}, "[Quor Print]\nA=1\n[X]\nCopies=9\n[Quor Print]\nCopies=4\n"},
        {"new key after the section's last key", "[Quor Print]\r\nA=1\r\n\r\n; next\r\n[X]\r\nB=2",
         {{"Copies", "2"}, {"Preview", "True"}},
         "[Quor Print]\r\nA=1\r\nCopies=2\r\nPreview=True\r\n\r\n; next\r\n[X]\r\nB=2"},
        {"new key after a header without keys", "[Quor Print]\n;Copies=1\n[X]\n", {{"Copies", "2"}},
         "[Quor Print]\nCopies=2\n;Copies=1\n[X]\n"},
        {"new key at a last line without line end", "[Quor Print]\rA=1", {{"B", "2"}}, "[Quor Print]\rA=1\rB=2\r"},
        {"new section at the end", "[X]\nB=2", {{"Copies", "2"}}, "[X]\nB=2\n\n[Quor Print]\nCopies=2\n"},
        {"empty file", "", {{"Copies", "2"}}, "[Quor Print]\r\nCopies=2\r\n"},
        {"byte-order mark", "\xEF\xBB\xBF[Quor Print]\nA=1\n", {{"A", "x"}}, "\xEF\xBB\xBF[Quor Print]\nA=x\n"},
        {"values the reader would trim or unquote",
         "[Quor Print]\nA=1\n",
         {{"A", "  blanks  "}, {"B", "\"quoted\""}, {"C", "'single'"}, {"D", ""}, {"E", "\"open"}},
         "[Quor Print]\nA=\"  blanks  \"\nB=\"\"quoted\"\"\nC=\"'single'\"\nD=\nE=\"open\n"},
        {"a value of 2047 characters", "", {{"Long", longValue}},
         "[Quor Print]\r\nLong=" + longValue + "\r\n"},
        {"file names and text as bytes", "[Quor Print]\n", {{"Picture1", "/tmp/\xd0\xbb\xff.bmp"}},
         "[Quor Print]\nPicture1=/tmp/\xd0\xbb\xff.bmp\n"},
    };
    for (const WriteCase& c : cases) {
        const std::string after = setProfileStrings(c.before, kSection, c.entries);
        EXPECT_EQ(after, c.after) << c.what;
        for (const ProfileEntry& e : c.entries)
            EXPECT_EQ(findProfileString(after, kSection, e.key), e.value) << c.what << ": " << e.key;
    }
}

TEST(ProfileWriter, RefusesWhatTheReaderCouldNotGiveBack) {
    const std::vector<ProfileEntry> refused[] = {
        {{"A", "two\nlines"}}, {{"A", "cr\r"}}, {{"A", std::string(kProfileValueMax + 1, 'x')}},
        {{"A=B", "1"}},        {{"", "1"}},     {{" A", "1"}},
        {{"[A]", "1"}},        {{";A", "1"}},
    };
    for (const auto& entries : refused)
        EXPECT_THROW(setProfileStrings("[Quor Print]\n", kSection, entries), Error) << entries[0].key;
}

class ProfileFileTest : public ::testing::Test {
protected:
    std::string path(const char* name) { return dir_.filePath(name).toStdString(); }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void put(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    QTemporaryDir dir_;
};

TEST_F(ProfileFileTest, WritesInPlaceCreatesAndKeepsPermissions) {
    const std::string file = path("s.ini");
    put(file, "[Quor Print]\r\nCopies=1\r\n");
    QFile::setPermissions(QString::fromStdString(file), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    writeProfileStrings(file, file, kSection, {{"Copies", "3"}}, MissingFile::refuse);
    EXPECT_EQ(readProfileString(file, kSection, "Copies"), "3");
    EXPECT_EQ(QFile::permissions(QString::fromStdString(file)),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);

    const std::string created = path("new.ini");
    writeProfileStrings(created, created, kSection, {{"FontSize", "14"}}, MissingFile::create);
    EXPECT_EQ(contents(created), "[Quor Print]\r\nFontSize=14\r\n");
    // Another target: the source stays as it was.
    const std::string copy = path("copy.ini");
    writeProfileStrings(file, copy, kSection, {{"Preview", "True"}}, MissingFile::create);
    EXPECT_EQ(contents(copy), "[Quor Print]\r\nCopies=3\r\nPreview=True\r\n");
    EXPECT_EQ(contents(file), "[Quor Print]\r\nCopies=3\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 3) << "no temporary file left";
}

TEST_F(ProfileFileTest, ReadOnlyOrVanishedFileIsRefusedAndNothingIsLost) {
    const std::string file = path("locked.ini");
    put(file, "[Quor Print]\nCopies=1\n");
    QFile::setPermissions(QString::fromStdString(file), QFile::ReadOwner | QFile::ReadUser);
    try {
        writeProfileStrings(file, file, kSection, {{"Copies", "2"}}, MissingFile::refuse);
        ADD_FAILURE() << "a read-only file was written";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("только для чтения"), std::string::npos) << e.what();
    }
    EXPECT_EQ(contents(file), "[Quor Print]\nCopies=1\n");

    const std::string gone = path("gone.ini");
    EXPECT_THROW(writeProfileStrings(gone, gone, kSection, {{"Copies", "2"}}, MissingFile::refuse), Error);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(gone)));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 1) << "no temporary file left";
}

}  // namespace
}  // namespace quor
