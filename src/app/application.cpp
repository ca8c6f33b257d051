#include "app/application.h"

#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/qt_translations.h"
#include "platform/resources.h"

namespace quor {

QuorApplication::QuorApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(kApplicationTitle);
    initResources();
    installQtTranslation(*this);
}

bool QuorApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        showException(e);
    } catch (...) {
        showException(Error("Неизвестная ошибка"));
    }
    return false;
}

}  // namespace quor
