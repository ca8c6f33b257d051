// Showing the prepared pages, and the prepared-report files the preview
// loads and saves. The preview window is a widget in output/, reached
// through the report-windows hook.

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <fstream>
#include <iterator>

#include "engine/engine_state.h"
#include "platform/error.h"
#include "report/report.h"
#include "report/report_windows.h"

namespace quor {

void TfrReport::ShowPrepared() {
    engine().currentReport = this;
    engine().documentMode = true;
    if (PreparedPages.Count() == 0) return;
    if (!reportWindows().showPreview) return;
    reportWindows().showPreview(*this);
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void TfrReport::LoadPreparedReport(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw Error("Не удалось открыть файл " + fileName);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw Error("Не удалось прочитать файл " + fileName);
    StreamReader reader(bytes);
    PreparedPages.LoadFromStream(reader);
    CanRebuild = false;
}

void TfrReport::SavePreparedReport(const std::string& fileName) {
    StreamWriter out;
    PreparedPages.SaveToStream(out);
    // Written beside the target and renamed when complete: a failed save
    // never leaves a truncated file where the user's file was.
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(fileName)));
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) throw Error("Не удалось создать файл " + fileName);
    const std::string_view bytes = out.data();
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit())
        throw Error("Не удалось записать файл " + fileName);
}

bool TfrReport::objectClick(TfrView& view) {
    if (!OnObjectClick) return false;
    OnObjectClick(view);
    return true;
}

}  // namespace quor
