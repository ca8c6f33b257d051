#include "app/command_line.h"

#include <gtest/gtest.h>

namespace quor {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, OptionsComeBeforeTheArguments) {
    std::string error;
    auto line = parseCommandLine({"--pdf", "a.pdf", "--save-prepared=p.frp", "doc.prn", "s.ini"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->pdfFile, "a.pdf");
    EXPECT_EQ(line->preparedFile, "p.frp");
    EXPECT_EQ(line->arguments, (Words{"doc.prn", "s.ini"}));
    EXPECT_TRUE(line->unattended());

    // Without options every argument is the window's, however many.
    line = parseCommandLine({"doc.prn", "--pdf", "x", "y"}, error);
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->unattended());
    EXPECT_EQ(line->arguments, (Words{"doc.prn", "--pdf", "x", "y"}));

    line = parseCommandLine({"--printer", "Office", "--", "-odd name.prn"}, error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->printerName, "Office");
    EXPECT_EQ(line->arguments, (Words{"-odd name.prn"}));

    line = parseCommandLine({"-"}, error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->arguments, (Words{"-"}));
}

TEST(CommandLine, MistakesAreNamed) {
    const std::pair<Words, std::string> cases[] = {
        {{"--pdf"}, "option --pdf needs a value"},
        {{"--pdf="}, "option --pdf needs a value"},
        {{"-x", "doc"}, "unknown option -x"},
        {{"--pdf", "a.pdf"}, "no document given"},
        {{"--save-prepared", "p", "d", "s", "t"}, "too many arguments"},
        {{"--pdf", "a", "--printer", "b", "d"}, "--pdf and --printer exclude each other"},
    };
    for (const auto& [words, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseCommandLine(words, error));
        EXPECT_EQ(error, expected);
    }
    std::string error;
    auto help = parseCommandLine({"--version", "--help"}, error);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->help && help->version);
}

TEST(CommandLine, DocumentSizeBoundTakesBinaryUnits) {
    const std::pair<std::string, std::uint64_t> cases[] = {
        {"4096", 4096}, {"64K", 64 << 10}, {"200m", 200u << 20}, {"2G", std::uint64_t{2} << 30},
        {"0", 0},       {"1.5G", 0},       {"G", 0},             {"12T", 0},
        {"99999999999999999999", 0},
    };
    for (const auto& [text, bytes] : cases) {
        std::string error;
        auto line = parseCommandLine({"--max-document-size", text, "--pdf", "a.pdf", "doc.prn"}, error);
        EXPECT_EQ(line ? line->maxDocumentBytes : 0, bytes) << text << error;
    }
    std::string error;
    EXPECT_EQ(parseCommandLine({"doc.prn"}, error)->maxDocumentBytes, kDefaultMaxDocumentBytes);
}

TEST(CommandLine, IntakeOptions) {
    std::string error;
    auto line = parseCommandLine({"--watch", "spool", "--pdf-dir=out", "--settle", "0.5", "s.ini"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_TRUE(line->watching());
    EXPECT_FALSE(line->unattended());
    EXPECT_EQ(line->watchFolder, "spool");
    EXPECT_EQ(line->pdfFolder, "out");
    EXPECT_DOUBLE_EQ(line->settleSeconds, 0.5);
    EXPECT_EQ(line->arguments, (Words{"s.ini"}));

    line = parseCommandLine({"--watch", "spool", "--printer", "Office"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_DOUBLE_EQ(line->settleSeconds, 2);

    line = parseCommandLine({"--title", "Накладная", "--pdf", "a.pdf", "-"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->title, "Накладная");
    EXPECT_EQ(line->arguments, (Words{"-"}));

    line = parseCommandLine({"--open-prepared", "p.frp"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_EQ(line->openPrepared, "p.frp");
    EXPECT_FALSE(line->unattended());

    line = parseCommandLine({"--preview", "doc.prn"}, error);
    ASSERT_TRUE(line) << error;
    EXPECT_TRUE(line->preview);
}

TEST(CommandLine, IntakeMistakesAreNamed) {
    const std::pair<Words, std::string> cases[] = {
        {{"--watch", "d", "--pdf", "a.pdf"}, "--watch prints into --pdf-dir, not --pdf"},
        {{"--watch", "d", "--pdf-dir", "o", "--printer", "p"}, "--pdf-dir and --printer exclude each other"},
        {{"--watch", "d", "--title", "t"}, "--watch takes only --printer, --pdf-dir and --settle"},
        {{"--watch", "d", "a.ini", "b.ini"}, "--watch takes at most a settings file"},
        {{"--pdf-dir", "o", "doc"}, "--pdf-dir and --settle go with --watch"},
        {{"--settle", "1", "doc"}, "--pdf-dir and --settle go with --watch"},
        {{"--watch", "d", "--settle", "-1"}, "--settle needs a number of seconds from 0 to 86400, not -1"},
        {{"--watch", "d", "--settle", "2s"}, "--settle needs a number of seconds from 0 to 86400, not 2s"},
        {{"--watch", "d", "--settle", "nan"}, "--settle needs a number of seconds from 0 to 86400, not nan"},
        {{"--open-prepared", "p.frp", "a", "b"}, "--open-prepared takes at most a settings file"},
        {{"--open-prepared", "p.frp", "--preview"}, "--open-prepared takes no --preview or --title"},
        {{"--preview", "--pdf", "a.pdf", "doc"}, "--preview shows a window; it excludes --pdf, --printer and --save-prepared"},
        {{"--title", "t"}, "no document given"},
        {{"--title="}, "option --title needs a value"},
    };
    for (const auto& [words, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseCommandLine(words, error)) << expected;
        EXPECT_EQ(error, expected);
    }
}

}  // namespace
}  // namespace quor
