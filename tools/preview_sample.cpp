// Shows a document in the preview window as the print job would lay it out
// with the built-in portrait template; for looking at the window by eye.
//   preview_sample DOCUMENT [SCREENSHOT.png [ZOOM]]
// With a screenshot name the screen is saved once the window has painted,
// and the program ends. ZOOM is a zoom menu tag (1 page width, 2 whole
// page, 3 two pages, else a percentage), or "menu" to show the zoom menu.
// Print opens the print dialog, from which the printer's properties open.

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTimer>
#include <iostream>
#include <string>
#include <vector>

#include "engine/memo_view.h"
#include "engine/stream.h"
#include "output/preview_form.h"
#include "device/printer_device.h"
#include "platform/cups_printer.h"
#include "platform/qt_translations.h"
#include "report/builtin_templates.h"
#include "report/report.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quor::installQtTranslation(app);
    if (argc < 2) {
        std::cerr << "usage: preview_sample DOCUMENT [SCREENSHOT.png]\n";
        return 2;
    }
    quor::PrinterDeviceSession printers([] { return std::make_unique<quor::CupsPrinter>(); });
    quor::installPreviewWindow();

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::vector<std::string> lines;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        lines.push_back(line.toStdString());
    }

    quor::TfrReport report;
    const std::string bytes =
        quor::openBuiltinTemplate(quor::kPortraitTemplateType, quor::kBuiltinTemplateName);
    quor::StreamReader in(bytes);
    report.LoadFromStream(in);
    auto* memo = dynamic_cast<quor::TfrMemoView*>(report.FindView("FM1"));
    if (!memo) return 1;
    memo->Font.name = "Courier New";
    memo->Font.pointSize = 10;
    memo->Font.charset = quor::kOemCharset;
    memo->Memo = lines;
    report.PreviewButtons = quor::pbZoom | quor::pbPrint | quor::pbExit;
    report.ShowPrintDialog = true;
    report.ShowProgress = false;
    report.Title = argv[1];
    if (!report.Prepare()) return 1;

    if (argc > 2) {
        const QString shot = QString::fromLocal8Bit(argv[2]);
        const QString zoom = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
        QTimer::singleShot(700, [zoom] {
            auto* form = dynamic_cast<quor::TfrPreviewForm*>(QApplication::activeModalWidget());
            if (!form || zoom.isEmpty()) return;
            if (zoom == "menu")
                form->ZoomBtnClick();
            else
                form->N3Click(zoom.toInt());
        });
        QTimer::singleShot(1500, [shot] {
            QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
            if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
    }
    report.ShowPrepared();
    return 0;
}
