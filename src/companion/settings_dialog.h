#pragma once

// The settings dialog: every key of the settings file's "Quor Print"
// section on tabs, and beside them the first page as the print job lays it
// out with what the dialog shows now, redrawn on every change. OK writes the
// keys the user changed into the file, Cancel writes nothing, "Сохранить
// как…" writes them into another file, which becomes the one in force.

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "companion/page_sample.h"
#include "platform/profile_writer.h"

class QLabel;
class QTemporaryDir;
class QTimer;

namespace quor {

class SettingEditor;
class PageView;

class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the file `iniPath`; the page shows the beginning of `document`
    // (a sample invoice when it is empty or unreadable).
    SettingsDialog(std::string iniPath, const std::string& document, QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // The settings file in force after the dialog: the one it was given, or
    // the one written with "Сохранить как…".
    const std::string& resultPath() const { return resultPath_; }
    // The keys whose values differ from those the dialog was opened with.
    std::vector<ProfileEntry> changedEntries() const { return entries(true); }

    // Writes the changes into `target` (through "Сохранить как…") and closes;
    // false, with a message, when they cannot be written.
    bool saveAs(const std::string& target);
    // Lays the page out now instead of after the short pause that gathers
    // a burst of changes.
    void refreshPage();
    const PageSample& pageSample() const { return sample_; }

    void accept() override;

private:
    void build();
    void load();
    void changed();
    void chooseFileToSaveAs();
    // False, with a message, while a value cannot be written.
    bool valuesWritable();
    std::vector<ProfileEntry> entries(bool changedOnly) const;

    std::string iniPath_;
    std::string resultPath_;
    bool existed_ = false;
    std::string originalBytes_;
    std::vector<std::unique_ptr<SettingEditor>> editors_;
    std::vector<std::string> loaded_;
    PageSampler sampler_;
    PageSample sample_;
    std::unique_ptr<QTemporaryDir> scratch_;
    QTimer* pause_ = nullptr;
    PageView* page_ = nullptr;
    QLabel* linesLabel_ = nullptr;
};

}  // namespace quor
