#include "app/document_text.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/error.h"

namespace quor {
namespace {

using Lines = std::vector<std::string>;

TEST(DocumentText, LinesEndOnlyAtLineEnds) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\n", {"a", ""}},
        {"\x0c" "page\ttab\x1b[1m\r\n", {"\x0c" "page\ttab\x1b[1m"}},
        {std::string("kept\0lost\r\nlost", 16), {"kept"}},
        {std::string("a\r\0b", 4), {"a"}},
        {"\xc9\xcd\xbb\r\n\x8f\xe0\xa8", {"\xc9\xcd\xbb", "\x8f\xe0\xa8"}},
    };
    for (const auto& [bytes, lines] : cases) EXPECT_EQ(splitDocumentLines(bytes), lines) << bytes;
}

TEST(DocumentText, FilesAreReadWholeOrNamedInTheError) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("doc.prn").toStdString();
    std::ofstream(path, std::ios::binary) << "one\r\ntwo";
    EXPECT_EQ(readDocumentLines(path), (Lines{"one", "two"}));
    for (const std::string& missing : {dir.filePath("none.prn").toStdString(), dir.path().toStdString()}) {
        try {
            readDocumentLines(missing);
            ADD_FAILURE() << missing;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
        }
    }
}

TEST(DocumentText, ReadingStopsAtZeroOrAtTheBoundAndRefusesTooLongLines) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("doc.prn").toStdString();
    std::ofstream(path, std::ios::binary) << std::string("a\0b\x1b\0c\r\n", 8) << std::string(3000, 'x');
    struct Case {
        DocumentReading reading;
        Lines lines;          // when read
        std::string refused;  // the start of the error otherwise
    };
    const Case cases[] = {
        {{}, {"a"}, ""},
        // Bytes 0 kept for settings that remove printer codes; the bound still holds.
        {{false, 4000, {}}, {std::string("a\0b\x1b\0c", 6), std::string(3000, 'x')}, ""},
        {{false, 1000, {}}, {}, "The document " + path + " is larger than 1000 bytes"},
    };
    for (const Case& c : cases) {
        try {
            EXPECT_EQ(readDocumentLines(path, c.reading), c.lines);
            EXPECT_TRUE(c.refused.empty());
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, c.refused.size()), c.refused) << e.what();
        }
    }
    std::ofstream(path, std::ios::binary) << "ok\r\n" << std::string(kMaxDocumentLineBytes + 1, 'x');
    EXPECT_THROW(readDocumentLines(path), Error);
}

}  // namespace
}  // namespace quor
