#include "app/main_window.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QShowEvent>
#include <clocale>

#include "app/settings_place.h"
#include "app/window_properties.h"
#include "platform/dynamic_library.h"
#include "platform/error.h"
#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/message_box.h"

namespace quor {
namespace {

using ShowParamFunction = const char*(void* appWindow, const char* iniPath);
using ShowAboutFunction = void(void* appWindow, const char* aboutText, const char* extra);

const char* const kCaptionPrefix = " Quor Print -> ";
const char* const kOpenFilter = "Файлы PRN|*.prn|Файлы TXT|*.txt|Все файлы|*.*";

// One text for the whole run, handed to the about box.
const std::string& aboutText() {
    static const std::string text = std::string("Quor Print ") + QUOR_VERSION +
                                    "\rПечать файлов DOS-программ на принтерах, в PDF и в окне просмотра";
    return text;
}

QString fromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QFont sansSerif8() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

}  // namespace

QStringList dialogNameFilters(const QString& filter) {
    QStringList parts = filter.split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        // "*.*" is every file on the system the filter was written for; here
        // it would hide names without a dot.
        masks.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        masks.replace(';', ' ');
        result << parts[i] + " (" + masks + ")";
    }
    return result;
}

TfQuorPrint::TfQuorPrint(std::vector<std::string> arguments, QWidget* parent)
    : QMainWindow(parent), arguments_(std::move(arguments)), fs_("TfQuorPrint") {
    setObjectName("fQuorPrint");
    setWindowTitle("fQuorPrint");
    setFont(sansSerif8());
    resize(500, 303);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setBackgroundRole(QPalette::Button);
    Panel1->setAutoFillBackground(true);
    setCentralWidget(Panel1);

    LabelInfo = new QLabel("LabelInfo", Panel1);
    LabelInfo->setObjectName("LabelInfo");
    LabelInfo->setFont(sansSerif8());
    LabelInfo->move(8, 8);
    LabelInfo->adjustSize();

    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    auto item = [this](QAction* action, const char* name, void (TfQuorPrint::*command)()) {
        action->setObjectName(name);
        if (command) connect(action, &QAction::triggered, this, [this, command] { guarded(command); });
        return action;
    };
    OFile = item(MainMenu1->addAction("Открыть"), "OFile", &TfQuorPrint::OFileClick);
    PFile = item(MainMenu1->addAction("Печать"), "PFile", &TfQuorPrint::PFileClick);
    PFile->setEnabled(false);
    SParam = item(MainMenu1->addAction("Настройки"), "SParam", &TfQuorPrint::SParamClick);
    BHelp = MainMenu1->addMenu("Помощь");
    BHelp->setObjectName("BHelp");
    SHelp = item(BHelp->addAction("Справка"), "SHelp", &TfQuorPrint::SHelpClick);
    N6 = item(BHelp->addSeparator(), "N6", nullptr);
    SAbout = item(BHelp->addAction("О программе"), "SAbout", &TfQuorPrint::SAboutClick);
    BExit = item(MainMenu1->addAction("Выход"), "BExit", &TfQuorPrint::BExitClick);

    ODFile = new QFileDialog(this);
    ODFile->setObjectName("ODFile");
    ODFile->setAcceptMode(QFileDialog::AcceptOpen);
    ODFile->setFileMode(QFileDialog::ExistingFile);
    ODFile->setNameFilters(dialogNameFilters(QString::fromUtf8(kOpenFilter)));
    fitFileDialog(*ODFile);

    aboutText();
}

TfQuorPrint::~TfQuorPrint() = default;

void TfQuorPrint::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // After the window has appeared, from the event loop: the print job may
    // open windows of its own and closes this one when it is done.
    QMetaObject::invokeMethod(this, [this] { guarded(&TfQuorPrint::FormShow); }, Qt::QueuedConnection);
}

void TfQuorPrint::guarded(void (TfQuorPrint::*command)()) {
    try {
        (this->*command)();
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        showException(Error("Неизвестная ошибка"));
    }
}

void TfQuorPrint::FormShow() {
    // Numbers in settings use "." whatever the user's locale says.
    std::setlocale(LC_NUMERIC, "C");
    fs_.setIniSection("Quor Print");
    fs_.setIniFileName(defaultSettingsFile());
    if (arguments_.empty()) {
        showSettingsFileInCaption();
        LabelInfo->setText("Файл не выбран ... ");
        LabelInfo->adjustSize();
    } else {
        setDocument(arguments_[0]);
        showSettingsFileInCaption();
        if (arguments_.size() == 2) fs_.setIniFileName(arguments_[1]);
        runPrintJob(arguments_[0], fs_.IniFileName());
        close();
    }
    helpFile_ = programHelpFile(kHelpFileName);
    setApplicationHelpFile(helpFile_);
}

void TfQuorPrint::setDocument(const std::string& document) {
    documentName_ = document;
    setProperty(kDocumentProperty, QByteArray::fromStdString(document));
    PFile->setEnabled(true);
    LabelInfo->setText("Загружен файл " + fromPath(document));
    LabelInfo->adjustSize();
}

void TfQuorPrint::showSettingsFileInCaption() {
    setProperty(kSettingsFileProperty, QByteArray::fromStdString(fs_.IniFileName()));
    setWindowTitle(QString::fromUtf8(kCaptionPrefix) + fromPath(fs_.IniFileName()));
}

void TfQuorPrint::runPrintJob(const std::string& document, const std::string& settingsFile) {
    if (!printJob_) throw Error("Печать документов не подключена к этому окну");
    printJob_(document, settingsFile);
}

void TfQuorPrint::OFileClick() {
    ODFile->setDirectory(QCoreApplication::applicationDirPath());
    if (ODFile->exec() != QDialog::Accepted) return;
    QStringList chosen = ODFile->selectedFiles();
    if (chosen.isEmpty()) return;
    setDocument(toPath(chosen.front()));
}

void TfQuorPrint::PFileClick() { runPrintJob(documentName_, fs_.IniFileName()); }

void TfQuorPrint::SParamClick() {
    {
        auto library = DynamicLibrary::load(companionLibrary_);
        auto* showParam = library ? library->function<ShowParamFunction>("ShowParam") : nullptr;
        if (!showParam) {
            showMessage("Нет файла quorprn.dll", kApplicationTitle);
        } else {
            const std::string current = fs_.IniFileName();
            // The text belongs to the library: copied before it is released.
            // A library that answers nothing leaves the settings file as it is.
            if (const char* chosen = showParam(static_cast<QWidget*>(this), current.c_str()))
                fs_.setIniFileName(chosen);
        }
    }
    showSettingsFileInCaption();
}

void TfQuorPrint::SAboutClick() {
    auto library = DynamicLibrary::load(companionLibrary_);
    auto* showAbout = library ? library->function<ShowAboutFunction>("ShowAbout") : nullptr;
    if (!showAbout) {
        showMessage("Нет файла QUORPRN.DLL", kApplicationTitle);
        return;
    }
    showAbout(static_cast<QWidget*>(this), aboutText().c_str(), "");
}

void TfQuorPrint::SHelpClick() { showHelpContents(helpFile_); }

void TfQuorPrint::BExitClick() { close(); }

}  // namespace quor
