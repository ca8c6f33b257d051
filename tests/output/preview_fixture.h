#pragma once

// A report built from lines of text through the built-in portrait template,
// shown in a preview window whose page area has a chosen size.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "output/preview_box.h"
#include "output/preview_form.h"
#include "device/printer_device.h"
#include "output/speed_button.h"
#include "platform/message_box.h"
#include "report/builtin_templates.h"
#include "report/report.h"

namespace quor::test {

// The document lines of a file as the print job takes them.
inline std::vector<std::string> documentLines(const std::string& path) {
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path;
    std::vector<std::string> lines;
    for (const QByteArray& line : f.readAll().split('\n')) {
        std::string s = line.toStdString();
        if (!s.empty() && s.back() == '\r') s.pop_back();
        lines.push_back(std::move(s));
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// Builds the report over the lines with the portrait template and FM1 in
// the DOS character set, as the print job sets it up.
inline void buildReport(TfrReport& report, const std::vector<std::string>& lines) {
    const std::string bytes = openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName);
    StreamReader in(bytes);
    report.LoadFromStream(in);
    auto& memo = dynamic_cast<TfrMemoView&>(*report.FindView("FM1"));
    memo.Font.name = "Courier New";
    memo.Font.pointSize = 10;
    memo.Font.charset = kOemCharset;
    memo.Memo = lines;
    ASSERT_TRUE(report.Prepare());
}

inline std::vector<std::string> numberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

class PreviewTestBase : public ::testing::Test {
protected:
    explicit PreviewTestBase(const PlatformPrinterFactory& printers) : device_(printers) {}

    void SetUp() override {
        saved_ = engine();
        ASSERT_TRUE(settingsDir_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        report_.ShowProgress = false;
        report_.ModalPreview = false;
        report_.PreviewButtons = pbZoom | pbPrint | pbExit;
        report_.ShowPrintDialog = false;
        report_.Title = "/home/user/invoice.prn";
    }
    void TearDown() override {
        form_.reset();
        engine() = saved_;
    }

    // The next window opens normal, with a page area of w x h pixels.
    void placeNextWindow(int w, int h) {
        QSettings s(QSettings::NativeFormat, QSettings::UserScope, "Folvarix");
        s.beginGroup("Form/TfrPreviewForm");
        s.setValue("Maximized", false);
        s.setValue("XPosition", 0);
        s.setValue("YPosition", 0);
        s.setValue("Width", w + 16);
        s.setValue("Height", h + 33 + 18);
    }
    TfrPreviewForm& open(int w = 1000, int h = 700) {
        placeNextWindow(w, h);
        form_ = std::make_unique<TfrPreviewForm>();
        form_->openFor(report_);
        QCoreApplication::processEvents();
        EXPECT_EQ(form_->pageAreaSize(), (Size{w, h}));
        return *form_;
    }
    void build(int lines) { buildReport(report_, numberedLines(lines)); }
    const Rect& pageRect(int index) { return form_->pages().Item(index).screenRect; }
    QString label() const { return form_->Label1->text(); }
    QString zoomText() const { return form_->ZoomBtn->text(); }
    // Paints the page area as the screen would and returns it.
    QImage render() { return form_->PBox->grab().toImage(); }

    // Input as the window system delivers it to a widget.
    static void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods);
        QCoreApplication::sendEvent(w, &press);
    }
    static void mouse(QWidget* w, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::LeftButton) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    static void press(QWidget* w, QPoint at, Qt::MouseButton b = Qt::LeftButton) {
        mouse(w, QEvent::MouseButtonPress, at, b);
    }
    static void release(QWidget* w, QPoint at) { mouse(w, QEvent::MouseButtonRelease, at); }

    PrinterDeviceSession device_;
    MessageCapture messages_;
    TfrReport report_;
    EngineState saved_;
    QTemporaryDir settingsDir_;
    std::unique_ptr<TfrPreviewForm> form_;
};

// Only the virtual printer.
class PreviewTest : public PreviewTestBase {
protected:
    PreviewTest() : PreviewTestBase([] { return std::unique_ptr<PlatformPrinter>(); }) {}
};

}  // namespace quor::test
