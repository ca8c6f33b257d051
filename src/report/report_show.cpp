// Showing the prepared pages, and the prepared-report files the preview
// loads and saves. The preview window is a widget in output/, reached
// through the report-windows hook.

#include <QCoreApplication>
#include <QFile>
#include <fstream>
#include <iterator>

#include "engine/engine_state.h"
#include "platform/atomic_file.h"
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

std::unique_ptr<AtomicFile> TfrReport::WritePreparedReport(const std::string& fileName) {
    StreamWriter out;
    PreparedPages.SaveToStream(out);
    // Written beside the target: a failed save never leaves a truncated
    // file where the user's file was.
    auto file = std::make_unique<AtomicFile>(fileName);
    file->write(out.data());
    file->finish();
    return file;
}

void TfrReport::SavePreparedReport(const std::string& fileName) { WritePreparedReport(fileName)->publish(); }

bool TfrReport::objectClick(TfrView& view) {
    if (!OnObjectClick) return false;
    OnObjectClick(view);
    return true;
}

}  // namespace quor
