#pragma once

// The engine's dialogs are laid out in pixels for a small sans-serif font
// of 11-pixel cells; they use one of that size whatever the desktop's is.

#include <QApplication>
#include <QFont>

namespace quor {

inline QFont dialogFont() {
    QFont f = QApplication::font();
    f.setPixelSize(11);
    return f;
}

}  // namespace quor
