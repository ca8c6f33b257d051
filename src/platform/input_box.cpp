#include "platform/input_box.h"

#include <QApplication>
#include <QInputDialog>

#include "platform/message_box.h"

namespace quor {
namespace {

InputSink& currentSink() {
    static InputSink sink;
    return sink;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

std::optional<std::string> askText(const std::string& prompt, const std::string& caption,
                                   const std::string& initial) {
    InputRequest request{prompt, caption, initial};
    if (currentSink()) {
        InputSink sink = currentSink();
        return sink(request);
    }
    if (!canShowWindows()) return initial;
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), fromUtf8(caption), fromUtf8(prompt),
                                         QLineEdit::Normal, fromUtf8(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

InputSink setInputSink(InputSink sink) {
    InputSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

}  // namespace quor
