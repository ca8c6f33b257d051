// The main window calling the companion library built with the program
// (libquorprn.so beside it), not a stand-in.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <functional>

#include "app/main_window.h"
#include "platform/message_box.h"

namespace quor {
namespace {

const std::string kLibrary = QUOR_BINARY_DIR "/libquorprn.so";

class CompanionLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.filePath("s.ini").toStdString();
        std::ofstream(ini, std::ios::binary) << "[Quor Print]\r\nFontSize=10\r\n";
        window = std::make_unique<TfQuorPrint>(std::vector<std::string>{});
        window->setCompanionLibrary(kLibrary);
        window->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        window->FS().setIniFileName(ini);
    }

    // Runs `answer` on the library's modal window named `name` once it is up.
    void whenShown(const char* name, std::function<void(QWidget&)> answer) {
        auto* poll = new QTimer(window.get());
        poll->setInterval(20);
        QObject::connect(poll, &QTimer::timeout, [=] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != name) return;
            poll->stop();
            poll->deleteLater();
            answer(*modal);
        });
        poll->start();
    }
    void trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }
    static void press(QWidget& dialog, QDialogButtonBox::StandardButton which) {
        dialog.findChild<QDialogButtonBox*>()->button(which)->click();
    }

    QTemporaryDir dir;
    std::string ini;
    std::unique_ptr<TfQuorPrint> window;
    MessageCapture messages;
};

TEST_F(CompanionLibraryTest, SettingsDialogShowsAndWritesTheFileInForce) {
    int shownSize = 0;
    whenShown("SettingsDialog", [&](QWidget& dialog) {
        auto* size = dialog.findChild<QSpinBox*>("FontSize");
        ASSERT_NE(size, nullptr);
        shownSize = size->value();
        size->setValue(14);
        press(dialog, QDialogButtonBox::Ok);
    });
    trigger("SParam");
    EXPECT_EQ(shownSize, 10);
    EXPECT_EQ(window->FS().ReadInteger("FontSize", 0), 14);
    EXPECT_EQ(window->windowTitle().toStdString(), " Quor Print -> " + ini);

    // Cancel: the file stays as OK left it.
    whenShown("SettingsDialog", [&](QWidget& dialog) {
        dialog.findChild<QSpinBox*>("FontSize")->setValue(30);
        press(dialog, QDialogButtonBox::Cancel);
    });
    trigger("SParam");
    EXPECT_EQ(window->FS().ReadInteger("FontSize", 0), 14);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(CompanionLibraryTest, AboutBoxNamesVersionsAndTheSettingsFile) {
    // The caption, and with it what the window tells the library, follows
    // the settings dialog.
    whenShown("SettingsDialog", [](QWidget& dialog) { press(dialog, QDialogButtonBox::Cancel); });
    trigger("SParam");
    QString about, details;
    whenShown("AboutBox", [&](QWidget& box) {
        about = box.findChild<QLabel*>("AboutText")->text();
        details = box.findChild<QLabel*>("AboutDetails")->text();
        press(box, QDialogButtonBox::Ok);
    });
    trigger("SAbout");
    EXPECT_TRUE(about.startsWith("Quor Print " QUOR_VERSION "\n")) << about.toStdString();
    EXPECT_TRUE(details.contains("Версия: " QUOR_VERSION)) << details.toStdString();
    EXPECT_TRUE(details.contains(QString("Qt: ") + qVersion())) << details.toStdString();
    EXPECT_TRUE(details.contains("CUPS: 2.")) << details.toStdString();
    EXPECT_TRUE(details.contains(QString::fromStdString("Файл настроек: " + ini))) << details.toStdString();
    EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace quor
