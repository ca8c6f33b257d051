#include "app/spool_journal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "app/spool_files.h"
#include "platform/error.h"

namespace quor {
namespace {

using State = SpoolRecord::State;

TEST(SpoolJournal, RecordsSurviveTheirTextWhateverTheNames) {
    const SpoolRecord records[] = {
        {State::printing, "invoice.prn", "invoice.pdf"},
        {State::printed, "ПЕЧАТЬ.PRN", ""},
        {State::printing, "odd %41 name\n\r\t.prn", "odd %41 name\n.pdf"},
        {State::printed, std::string("\x7f\x01\xff", 3), "x"},
        {State::retrying, "a.prn", "a.pdf"},
    };
    for (const SpoolRecord& record : records) {
        const std::string text = encodeSpoolRecord(record);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4) << text;
        EXPECT_EQ(parseSpoolRecord(text), record) << text;
    }
}

TEST(SpoolJournal, DamagedTextIsNoRecord) {
    const std::string good = encodeSpoolRecord({State::printing, "a.prn", "a.pdf"});
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() - 1),
        good + "more\n",
        "quorprn spool journal 2\nprinting\na.prn\n\n",
        "quorprn spool journal 1\nprinted?\na.prn\n\n",
        "quorprn spool journal 1\nprinting\n\n\n",
        "quorprn spool journal 1\nprinting\n..\n\n",
        "quorprn spool journal 1\nprinting\nsub/a.prn\n\n",
        "quorprn spool journal 1\nprinting\na%2Fb\n\n",
        "quorprn spool journal 1\nprinting\na%00b\n\n",
        "quorprn spool journal 1\nprinting\na%4\n\n",
        "quorprn spool journal 1\nprinting\na%zz\n\n",
        "quorprn spool journal 1\nprinting\na.prn\nout/x.pdf\n",
        std::string(70000, 'x'),
    };
    for (const std::string& text : damaged) EXPECT_FALSE(parseSpoolRecord(text)) << text;
}

TEST(SpoolJournal, AStartingWatchNeverPrintsAFileTwice) {
    struct Case {
        SpoolRecord record;
        bool fileThere;
        bool outputThere;
        Recovery expected;
    };
    const Case cases[] = {
        {{State::printing, "a", "a.pdf"}, false, false, Recovery::nothing},
        {{State::printing, "a", "a.pdf"}, true, true, Recovery::markPrinted},
        {{State::printing, "a", "a.pdf"}, true, false, Recovery::printAgain},
        {{State::printing, "a", ""}, true, false, Recovery::markFailed},
        {{State::retrying, "a", "a.pdf"}, true, false, Recovery::markFailed},
        {{State::retrying, "a", "a.pdf"}, true, true, Recovery::markPrinted},
        {{State::retrying, "a", "a.pdf"}, false, false, Recovery::nothing},
        {{State::printed, "a", ""}, true, false, Recovery::markPrinted},
        {{State::printed, "a", "a.pdf"}, true, false, Recovery::markPrinted},
        {{State::printed, "a", ""}, false, false, Recovery::nothing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(recoveryFor(c.record, c.fileThere, c.outputThere), c.expected)
            << encodeSpoolRecord(c.record) << c.fileThere << c.outputThere;
}

TEST(SpoolJournal, WrittenReadAndCleared) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
    EXPECT_FALSE(readSpoolJournal(folder));
    const SpoolRecord record{State::printing, "a.prn", "a.pdf"};
    writeSpoolJournal(folder, record);
    EXPECT_EQ(readSpoolJournal(folder), record);
    clearSpoolJournal(folder);
    EXPECT_FALSE(readSpoolJournal(folder));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_THROW(writeSpoolJournal(folder + "missing/", record), Error);
}

TEST(SpoolFiles, NamesOnAClashKeepTheExtension) {
    const std::tuple<std::string, int, std::string> numbered[] = {
        {"a.prn", 0, "a.prn"},       {"a.prn", 2, "a-2.prn"},   {"a.b.prn", 1, "a.b-1.prn"},
        {"noext", 3, "noext-3"},     {".hidden", 1, ".hidden-1"}, {"a.prn.log", 1, "a.prn-1.log"},
    };
    for (const auto& [name, number, expected] : numbered) EXPECT_EQ(numberedName(name, number), expected);
    const std::pair<std::string, std::string> pdfs[] = {
        {"invoice.prn", "invoice.pdf"}, {"LPT1", "LPT1.pdf"}, {"a.b.txt", "a.b.pdf"}, {".x", ".x.pdf"}};
    for (const auto& [name, expected] : pdfs) EXPECT_EQ(pdfNameFor(name), expected);
}

TEST(SpoolFiles, MovingNeverReplacesAFile) {
    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
    ASSERT_TRUE(QDir(dir.path()).mkdir("printed"));
    for (const char* text : {"first", "second", "third"}) {
        QFile f(dir.filePath("a.prn"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        f.close();
        moveIntoFolder(folder + "a.prn", folder + "printed/", "a.prn");
    }
    EXPECT_EQ(QDir(dir.filePath("printed")).entryList(QDir::Files, QDir::Name),
              QStringList({"a-1.prn", "a-2.prn", "a.prn"}));
    QFile first(dir.filePath("printed/a.prn"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), "first");
    EXPECT_EQ(freeNameIn(folder + "printed/", "a.prn"), "a-3.prn");
    EXPECT_THROW(moveIntoFolder(folder + "gone.prn", folder + "printed/", "gone.prn"), Error);
}

}  // namespace
}  // namespace quor
