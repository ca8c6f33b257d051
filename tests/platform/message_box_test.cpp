#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "platform/dynamic_library.h"
#include "platform/error.h"
#include "platform/help.h"

namespace quor {
namespace {

TEST(MessageBox, CaptureRecordsEveryFieldAndAnswers) {
    MessageCapture capture(MessageResult::Cancel);
    EXPECT_EQ(showMessage("Текст\rвторая строка", "Заголовок", MessageIcon::Warning, MessageButtons::OkCancel),
              MessageResult::Cancel);
    ASSERT_EQ(capture.messages().size(), 1u);
    const MessageRequest& m = capture.messages()[0];
    EXPECT_EQ(m.text, "Текст\rвторая строка");
    EXPECT_EQ(m.caption, "Заголовок");
    EXPECT_EQ(m.icon, MessageIcon::Warning);
    EXPECT_EQ(m.buttons, MessageButtons::OkCancel);
}

TEST(MessageBox, CapturesNestAndRestoreTheirPredecessor) {
    MessageCapture outer;
    {
        MessageCapture inner(MessageResult::No);
        EXPECT_EQ(showMessage("a", "b", MessageIcon::Question, MessageButtons::YesNo), MessageResult::No);
        EXPECT_EQ(inner.messages().size(), 1u);
    }
    showMessage("c", "d");
    ASSERT_EQ(outer.messages().size(), 1u);
    EXPECT_EQ(outer.messages()[0].text, "c");
}

TEST(MessageBox, ExceptionsShowTheirTextUnderTheApplicationTitle) {
    MessageCapture capture;
    showException(Error("'abc' is not a valid floating point value"));
    ASSERT_EQ(capture.messages().size(), 1u);
    EXPECT_EQ(capture.messages()[0].text, "'abc' is not a valid floating point value");
    EXPECT_EQ(capture.messages()[0].caption, "Quor Print");
    EXPECT_EQ(capture.messages()[0].icon, MessageIcon::Error);
}

TEST(MessageBox, WithoutASinkOffscreenRunsAnswerTheFirstButton) {
    // The test program runs on the offscreen platform: no window may block.
    EXPECT_EQ(showMessage("x", "y", MessageIcon::None, MessageButtons::YesNoCancel), MessageResult::Yes);
    EXPECT_EQ(showMessage("x", "y", MessageIcon::None, MessageButtons::OkCancel), MessageResult::Ok);
}

const std::string kStandIn = QUOR_BINARY_DIR "/tests/companion/libquorprn.so";
const std::string kBare = QUOR_BINARY_DIR "/tests/companion-bare/libquorprn.so";

TEST(DynamicLibrary, LoadsLooksUpAndReleases) {
    std::string error;
    auto library = DynamicLibrary::load(kStandIn, &error);
    ASSERT_TRUE(library) << error;
    EXPECT_NE(library->symbol("ShowParam"), nullptr);
    EXPECT_NE(library->symbol("ShowAbout"), nullptr);
    EXPECT_EQ(library->symbol("NoSuchEntry"), nullptr);
    using ShowParam = const char*(void*, const char*);
    auto* showParam = library->function<ShowParam>("ShowParam");
    ASSERT_TRUE(showParam);
    EXPECT_STREQ(showParam(nullptr, "/x/a.ini"), "/x/a.ini.chosen");
}

TEST(DynamicLibrary, MissingLibrariesAndEntriesGiveNothing) {
    std::string error;
    EXPECT_EQ(DynamicLibrary::load("/no/such/libquorprn.so", &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(DynamicLibrary::load(""), nullptr);
    auto bare = DynamicLibrary::load(kBare);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->symbol("ShowParam"), nullptr);
    EXPECT_EQ(bare->symbol("ShowAbout"), nullptr);
    // Not a library at all.
    EXPECT_EQ(DynamicLibrary::load(QUOR_SOURCE_DIR "/samples/default.ini"), nullptr);
}

struct HelpRecorder {
    HelpRecorder() {
        previous = setHelpViewer([this](const QString& file) {
            opened.push_back(file);
            return answer;
        });
    }
    ~HelpRecorder() { setHelpViewer(std::move(previous)); }
    std::vector<QString> opened;
    bool answer = true;
    HelpViewer previous;
};

TEST(Help, OpensAnExistingFileAndReportsAMissingOne) {
    HelpRecorder viewer;
    MessageCapture capture;
    QString shipped = QUOR_BINARY_DIR "/quorprn.hlp";
    showHelpContents(shipped);
    ASSERT_EQ(viewer.opened.size(), 1u);
    EXPECT_EQ(viewer.opened[0], shipped);
    EXPECT_TRUE(capture.messages().empty());

    showHelpContents(QUOR_BINARY_DIR "/no-such.hlp");
    showHelpContents(QString());
    EXPECT_EQ(viewer.opened.size(), 1u);
    ASSERT_EQ(capture.messages().size(), 2u);
    EXPECT_NE(capture.messages()[0].text.find("no-such.hlp"), std::string::npos);
    EXPECT_NE(capture.messages()[1].text.find("quorprn.hlp"), std::string::npos);

    viewer.answer = false;
    showHelpContents(shipped);
    ASSERT_EQ(capture.messages().size(), 3u);
    EXPECT_NE(capture.messages()[2].text.find("Не удалось открыть"), std::string::npos);
}

TEST(Help, ShippedHelpFileIsHtml) {
    std::ifstream in(QUOR_BINARY_DIR "/quorprn.hlp");
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "<!DOCTYPE html>");
}

}  // namespace
}  // namespace quor
