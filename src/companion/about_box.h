#pragma once

// The about box: the program's about text, its version, the Qt and CUPS
// versions it runs with, its licence and the settings file in force.

#include <QDialog>

#include <string>

namespace quor {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    // `aboutText` and `extra` as the program passes them (UTF-8, "\r" breaks
    // a line); `settingsFile` in file-system bytes.
    AboutBox(const std::string& aboutText, const std::string& extra, const std::string& settingsFile,
             QWidget* parent = nullptr);

    // The facts below the about text, one "name: value" line each.
    static QString details(const std::string& settingsFile);
};

}  // namespace quor
