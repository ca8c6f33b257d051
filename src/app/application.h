#pragma once

// The application object: its title, and the standard handling of an error
// that escapes a command: the error's text in a message box, and the program
// goes on.

#include <QApplication>

namespace quor {

class QuorApplication : public QApplication {
public:
    QuorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quor
