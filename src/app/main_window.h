#pragma once

// The program's only window: a small panel naming the document and the
// settings file in force, and the menu Open, Print, Settings, Help, Exit.
// Started with a document on the command line it runs the print job as soon
// as it is shown and then closes, which ends the program.

#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/form_storage.h"

class QAction;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;

namespace quor {

// Prints (or previews) one document with one settings file; returns when the
// printing or the preview has finished. Errors propagate to the caller.
using PrintJob = std::function<void(const std::string& document, const std::string& settingsFile)>;

// The companion library with the settings dialog and the about box.
inline constexpr char kCompanionLibrary[] = "libquorprn.so";

class TfQuorPrint : public QMainWindow {
    Q_OBJECT
public:
    // `arguments` are the command-line arguments after the program name.
    explicit TfQuorPrint(std::vector<std::string> arguments, QWidget* parent = nullptr);
    ~TfQuorPrint() override;

    void setPrintJob(PrintJob job) { printJob_ = std::move(job); }
    // A file name or path for the companion library (tests use stand-ins).
    void setCompanionLibrary(std::string fileName) { companionLibrary_ = std::move(fileName); }

    // The settings reader; the print job points it at its own settings file.
    TFormStorage& FS() { return fs_; }
    const TFormStorage& FS() const { return fs_; }
    // The document chosen by the open dialog or named on the command line.
    const std::string& documentName() const { return documentName_; }
    const QString& helpFile() const { return helpFile_; }

    // The menu commands.
    void OFileClick();
    void PFileClick();
    void SParamClick();
    void SAboutClick();
    void SHelpClick();
    void BExitClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void showSettingsFileInCaption();
    void runPrintJob(const std::string& document, const std::string& settingsFile);
    void setDocument(const std::string& document);
    // The application's standard handling of an error that ends a command.
    void guarded(void (TfQuorPrint::*command)());

    std::vector<std::string> arguments_;
    PrintJob printJob_;
    std::string companionLibrary_ = kCompanionLibrary;
    TFormStorage fs_;
    std::string documentName_;
    QString helpFile_;
    bool shown_ = false;

    QFrame* Panel1;
    QLabel* LabelInfo;
    QMenuBar* MainMenu1;
    QAction* OFile;
    QAction* PFile;
    QAction* SParam;
    QMenu* BHelp;
    QAction* SHelp;
    QAction* N6;
    QAction* SAbout;
    QAction* BExit;
    QFileDialog* ODFile;
};

// Turns a filter written "Text|*.a|Text|*.b" into the dialog's name filters.
QStringList dialogNameFilters(const QString& filter);

}  // namespace quor
