// The Qt application object that targets drawing through Qt need, started
// once. Qt's warnings about damaged input ("QBuffer::seek: Invalid pos")
// are expected by the million here: they are dropped, so a run's log shows
// what the fuzzer says and stays small.
#pragma once

#include <QGuiApplication>
#include <QtGlobal>
#include <cstdlib>

namespace fuzzing {

inline void startQt(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static auto* app = new QGuiApplication(*argc, *argv);
    (void)app;
}

}  // namespace fuzzing
