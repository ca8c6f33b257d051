#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "platform/error.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "support/qt_printers.h"

namespace quor {
namespace {

const std::string kStandIn = QUOR_BINARY_DIR "/tests/companion/libquorprn.so";
const std::string kBare = QUOR_BINARY_DIR "/tests/companion-bare/libquorprn.so";

std::string programFolder() { return QCoreApplication::applicationDirPath().toStdString() + "/"; }
std::string defaultIni() { return programFolder() + "quorprn.ini"; }

// What the window looked like when the print job was called.
struct JobCall {
    std::string document;
    std::string settings;
    QString caption;
    QString label;
    bool printEnabled;
    std::string iniFileName;
};

class MainWindowTest : public ::testing::Test {
protected:
    void open(std::vector<std::string> arguments, bool withJob = true) {
        window = std::make_unique<TfQuorPrint>(std::move(arguments));
        if (withJob)
            window->setPrintJob([this](const std::string& document, const std::string& settings) {
                calls.push_back({document, settings, window->windowTitle(), label()->text(),
                                 action("PFile")->isEnabled(), window->FS().IniFileName()});
                if (failWith) throw Error(failWith);
            });
        window->show();
        // The show step runs from the event loop once the window is up.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    QAction* action(const char* name) { return window->findChild<QAction*>(name); }
    QLabel* label() { return window->findChild<QLabel*>("LabelInfo"); }
    QFileDialog* dialog() { return window->findChild<QFileDialog*>("ODFile"); }

    // Runs "Открыть" and answers the dialog: with a file, or cancelled.
    void openDocument(const QString& file) {
        QTimer::singleShot(0, [this, file] {
            QFileDialog* d = dialog();
            directoryAtOpen = d->directory().absolutePath();
            if (file.isEmpty()) {
                d->reject();
            } else {
                // Typed into the name field, as a user would.
                auto* name = d->findChild<QLineEdit*>("fileNameEdit");
                ASSERT_TRUE(name);
                name->setText(file);
                QMetaObject::invokeMethod(d, "accept");
                if (d->isVisible()) d->reject();
            }
        });
        action("OFile")->trigger();
    }

    QString sampleDocument() { return QStringLiteral(QUOR_SOURCE_DIR "/samples/invoice.prn"); }

    std::unique_ptr<TfQuorPrint> window;
    std::vector<JobCall> calls;
    const char* failWith = nullptr;
    QString directoryAtOpen;
    MessageCapture messages;
};

TEST_F(MainWindowTest, WithoutArgumentsTheWindowWaitsWithItsMenu) {
    open({});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle().toStdString(), " Quor Print -> " + defaultIni());
    EXPECT_EQ(label()->text(), "Файл не выбран ... ");
    EXPECT_FALSE(action("PFile")->isEnabled());
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(window->FS().IniSection(), "Quor Print");
    EXPECT_EQ(window->helpFile().toStdString(), programFolder() + "quorprn.hlp");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(MainWindowTest, ComponentsCaptionsAndEnableStates) {
    auto* w = new TfQuorPrint({});
    std::unique_ptr<TfQuorPrint> owner(w);
    EXPECT_EQ(w->windowTitle(), "fQuorPrint");
    EXPECT_EQ(w->size(), QSize(500, 303));
    auto* label = w->findChild<QLabel*>("LabelInfo");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "LabelInfo");
    EXPECT_EQ(label->pos(), QPoint(8, 8));
    EXPECT_EQ(label->parent()->objectName(), "Panel1");

    QMenuBar* bar = w->findChild<QMenuBar*>("MainMenu1");
    ASSERT_TRUE(bar);
    QStringList top;
    for (QAction* a : bar->actions()) top << a->text();
    EXPECT_EQ(top, QStringList({"Открыть", "Печать", "Настройки", "Помощь", "Выход"}));
    std::vector<bool> enabled;
    for (QAction* a : bar->actions()) enabled.push_back(a->isEnabled());
    EXPECT_EQ(enabled, std::vector<bool>({true, false, true, true, true}));

    QMenu* help = w->findChild<QMenu*>("BHelp");
    ASSERT_TRUE(help);
    ASSERT_EQ(help->actions().size(), 3);
    EXPECT_EQ(help->actions()[0]->text(), "Справка");
    EXPECT_TRUE(help->actions()[1]->isSeparator());
    EXPECT_EQ(help->actions()[2]->text(), "О программе");

    auto* od = w->findChild<QFileDialog*>("ODFile");
    ASSERT_TRUE(od);
    EXPECT_EQ(od->nameFilters(),
              QStringList({"Файлы PRN (*.prn)", "Файлы TXT (*.txt)", "Все файлы (*)"}));
}

TEST_F(MainWindowTest, OneArgumentPrintsWithTheDefaultSettingsAndCloses) {
    open({"/docs/a.prn"});
    ASSERT_EQ(calls.size(), 1u);
    const JobCall& c = calls[0];
    EXPECT_EQ(c.document, "/docs/a.prn");
    EXPECT_EQ(c.settings, defaultIni());
    EXPECT_EQ(c.caption.toStdString(), " Quor Print -> " + defaultIni());
    EXPECT_EQ(c.label, "Загружен файл /docs/a.prn");
    EXPECT_TRUE(c.printEnabled);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->helpFile().toStdString(), programFolder() + "quorprn.hlp");
}

TEST_F(MainWindowTest, SecondArgumentIsTheSettingsFileWhileTheCaptionKeepsTheDefault) {
    open({"doc.txt", "other/settings.ini"});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].document, "doc.txt");
    EXPECT_EQ(calls[0].settings, "other/settings.ini");
    EXPECT_EQ(calls[0].caption.toStdString(), " Quor Print -> " + defaultIni());
    EXPECT_EQ(window->FS().IniFileName(), "other/settings.ini");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ThirdArgumentMakesTheSecondIgnoredToo) {
    open({"doc.txt", "a.ini", "b.ini"});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].document, "doc.txt");
    EXPECT_EQ(calls[0].settings, defaultIni());
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, FailedUnattendedJobIsShownAndTheWindowStays) {
    failWith = "Cannot open file doc.txt";
    open({"doc.txt"});
    ASSERT_EQ(calls.size(), 1u);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text, "Cannot open file doc.txt");
    EXPECT_EQ(messages.messages()[0].caption, "Quor Print");
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(label()->text(), "Загружен файл doc.txt");
    EXPECT_TRUE(action("PFile")->isEnabled());
    EXPECT_TRUE(window->helpFile().isEmpty());
}

TEST_F(MainWindowTest, WithoutAPrintJobTheCommandFailsVisibly) {
    open({"doc.txt"}, false);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].icon, MessageIcon::Error);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, MenuPrintsTheChosenDocumentAgainAndAgain) {
    open({});
    openDocument(sampleDocument());
    EXPECT_EQ(label()->text(), "Загружен файл " + sampleDocument());
    ASSERT_TRUE(action("PFile")->isEnabled());
    EXPECT_EQ(directoryAtOpen, QCoreApplication::applicationDirPath());
    action("PFile")->trigger();
    action("PFile")->trigger();
    ASSERT_EQ(calls.size(), 2u);
    for (const JobCall& c : calls) {
        EXPECT_EQ(c.document, sampleDocument().toStdString());
        EXPECT_EQ(c.settings, defaultIni());
    }
    EXPECT_TRUE(action("PFile")->isEnabled());
    EXPECT_TRUE(window->isVisible());

    // A failing job ends only the command.
    failWith = "'x' is not a valid floating point value";
    action("PFile")->trigger();
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, CancelledOpenDialogKeepsTheEarlierDocument) {
    open({});
    openDocument("");
    EXPECT_FALSE(action("PFile")->isEnabled());
    EXPECT_EQ(label()->text(), "Файл не выбран ... ");
    openDocument(sampleDocument());
    openDocument("");
    EXPECT_TRUE(action("PFile")->isEnabled());
    EXPECT_EQ(label()->text(), "Загружен файл " + sampleDocument());
    EXPECT_EQ(window->documentName(), sampleDocument().toStdString());
}

class CompanionTest : public MainWindowTest {
protected:
    void SetUp() override {
        log = dir.filePath("companion.log").toStdString();
        setenv("QUOR_COMPANION_LOG", log.c_str(), 1);
        unsetenv("QUOR_COMPANION_RESULT");
    }
    void TearDown() override { unsetenv("QUOR_COMPANION_LOG"); }

    std::vector<std::string> logLines() {
        std::ifstream in(log);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string windowPointer() {
        char text[32];
        std::snprintf(text, sizeof text, "%p", static_cast<void*>(static_cast<QWidget*>(window.get())));
        return text;
    }

    QTemporaryDir dir;
    std::string log;
};

TEST_F(CompanionTest, SettingsDialogChoosesTheFileOfTheNextJob) {
    open({});
    window->setCompanionLibrary(kStandIn);
    action("SParam")->trigger();
    std::string chosen = defaultIni() + ".chosen";
    EXPECT_EQ(window->windowTitle().toStdString(), " Quor Print -> " + chosen);
    EXPECT_EQ(logLines(), std::vector<std::string>({"ShowParam " + windowPointer() + " " + defaultIni()}));

    openDocument(sampleDocument());
    action("PFile")->trigger();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].settings, chosen);

    // The dialog is given the file now in force.
    setenv("QUOR_COMPANION_RESULT", "/etc/elsewhere.ini", 1);
    action("SParam")->trigger();
    EXPECT_EQ(logLines().back(), "ShowParam " + windowPointer() + " " + chosen);
    EXPECT_EQ(window->windowTitle(), " Quor Print -> /etc/elsewhere.ini");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(CompanionTest, AboutBoxGetsTheAboutTextAndAnEmptyExtra) {
    open({});
    window->setCompanionLibrary(kStandIn);
    action("SAbout")->trigger();
    auto lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("ShowAbout " + windowPointer() + " [Quor Print ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[0].substr(lines[0].size() - 4), "] []");
    EXPECT_TRUE(messages.messages().empty());
}

void expectMissingLibraryMessages(const std::vector<MessageRequest>& shown) {
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Нет файла quorprn.dll");
    EXPECT_EQ(shown[1].text, "Нет файла QUORPRN.DLL");
    for (const MessageRequest& m : shown) {
        EXPECT_EQ(m.caption, "Quor Print");
        EXPECT_EQ(m.icon, MessageIcon::None);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
    }
}

TEST_F(CompanionTest, MissingLibraryGivesTheTwoMessages) {
    open({});
    window->setCompanionLibrary(QUOR_BINARY_DIR "/no-such-dir/libquorprn.so");
    QString caption = window->windowTitle();
    action("SParam")->trigger();
    action("SAbout")->trigger();
    expectMissingLibraryMessages(messages.messages());
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_EQ(window->FS().IniFileName(), defaultIni());
}

TEST_F(CompanionTest, DefaultLibraryIsLookedUpByItsBareName) {
    // Nothing named libquorprn.so lies beside the test program.
    open({});
    action("SParam")->trigger();
    action("SAbout")->trigger();
    expectMissingLibraryMessages(messages.messages());
}

TEST_F(CompanionTest, LibraryWithoutTheEntryPointsCountsAsMissing) {
    open({});
    window->setCompanionLibrary(kBare);
    action("SParam")->trigger();
    action("SAbout")->trigger();
    expectMissingLibraryMessages(messages.messages());
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(window->FS().IniFileName(), defaultIni());
}

TEST_F(MainWindowTest, HelpOpensTheFileBesideTheProgram) {
    std::vector<QString> opened;
    HelpViewer previous = setHelpViewer([&](const QString& f) {
        opened.push_back(f);
        return true;
    });
    open({});
    action("SHelp")->trigger();
    setHelpViewer(std::move(previous));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toStdString(), programFolder() + "quorprn.hlp");
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    open({});
    action("BExit")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(calls.empty());
}

TEST(DialogNameFilters, TranslatesPairsAndAllFiles) {
    EXPECT_EQ(dialogNameFilters("Тексты|*.txt;*.prn|Все|*.*"), QStringList({"Тексты (*.txt *.prn)", "Все (*)"}));
    EXPECT_EQ(dialogNameFilters("lonely"), QStringList());
}

}  // namespace
}  // namespace quor
