#pragma once

// Where an engine window stood, kept per user: organisation "Folvarix"
// (the registry key "Software\Folvarix" where the platform has one, a
// settings file in the user's configuration folder elsewhere), group
// "Form/" + the window's class name, values "Maximized", "Width", "Height",
// "YPosition" and "XPosition".

#include <QString>

class QWidget;

namespace quor {

class FormPlacement {
public:
    explicit FormPlacement(QString className) : className_(std::move(className)) {}

    // Puts the window where it was last closed: maximized unless
    // "Maximized" says false, then at the stored bounds (the current ones
    // where a value is missing). Call before showing the window.
    void restore(QWidget& window) const;
    // Writes the window's bounds and whether it is maximized. The bounds of
    // a maximized window are those it returns to.
    void store(const QWidget& window) const;

private:
    QString group() const { return QStringLiteral("Form/") + className_; }
    QString className_;
};

}  // namespace quor
