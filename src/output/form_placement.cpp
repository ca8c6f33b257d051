#include "output/form_placement.h"

#include <QSettings>
#include <QWidget>

namespace quor {
namespace {

constexpr char kOrganisation[] = "Folvarix";

}  // namespace

void FormPlacement::restore(QWidget& window) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation);
    settings.beginGroup(group());
    const bool maximized = settings.value("Maximized", true).toBool();
    if (!maximized) {
        const QRect now = window.geometry();
        const int width = settings.value("Width", now.width()).toInt();
        const int height = settings.value("Height", now.height()).toInt();
        const int top = settings.value("YPosition", now.y()).toInt();
        const int left = settings.value("XPosition", now.x()).toInt();
        // A damaged value must not make the window vanish.
        if (width > 0 && height > 0) window.setGeometry(left, top, width, height);
    }
    window.setWindowState(maximized ? (window.windowState() | Qt::WindowMaximized)
                                    : (window.windowState() & ~Qt::WindowMaximized));
}

void FormPlacement::store(const QWidget& window) const {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganisation);
    settings.beginGroup(group());
    const bool maximized = window.isMaximized();
    // A window opened maximized has never had bounds of its own.
    const QRect normal = window.normalGeometry();
    const QRect bounds = maximized && normal.isValid() ? normal : window.geometry();
    settings.setValue("XPosition", bounds.x());
    settings.setValue("YPosition", bounds.y());
    settings.setValue("Width", bounds.width());
    settings.setValue("Height", bounds.height());
    settings.setValue("Maximized", maximized);
}

}  // namespace quor
