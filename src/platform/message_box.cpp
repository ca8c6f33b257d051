#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/messages.h"

namespace quor {
namespace {

MessageSink& currentSink() {
    static MessageSink sink;
    return sink;
}

QString lineBreaks(const std::string& text) {
    QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

QString label(int id, const char* fallback) {
    const std::string& text = message(id);
    return QString::fromUtf8(text.empty() ? fallback : text.c_str());
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Warning: return QMessageBox::Warning;
        case MessageIcon::Error: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

MessageResult showBox(const MessageRequest& r) {
    QMessageBox box(qtIcon(r.icon), lineBreaks(r.caption), lineBreaks(r.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    struct Choice {
        MessageResult result;
        QMessageBox::ButtonRole role;
        QString text;
    };
    std::vector<Choice> choices;
    const QString yes = QStringLiteral("&Да"), no = QStringLiteral("&Нет");
    switch (r.buttons) {
        case MessageButtons::Ok:
            choices = {{MessageResult::Ok, QMessageBox::AcceptRole, label(kMsgOk, "OK")}};
            break;
        case MessageButtons::OkCancel:
            choices = {{MessageResult::Ok, QMessageBox::AcceptRole, label(kMsgOk, "OK")},
                       {MessageResult::Cancel, QMessageBox::RejectRole, label(kMsgCancel, "Cancel")}};
            break;
        case MessageButtons::YesNo:
            choices = {{MessageResult::Yes, QMessageBox::YesRole, yes}, {MessageResult::No, QMessageBox::NoRole, no}};
            break;
        case MessageButtons::YesNoCancel:
            choices = {{MessageResult::Yes, QMessageBox::YesRole, yes},
                       {MessageResult::No, QMessageBox::NoRole, no},
                       {MessageResult::Cancel, QMessageBox::RejectRole, label(kMsgCancel, "Cancel")}};
            break;
    }
    std::vector<QAbstractButton*> buttons;
    for (const Choice& c : choices) buttons.push_back(box.addButton(c.text, c.role));
    box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    if (r.buttons != MessageButtons::YesNo) box.setEscapeButton(buttons.back());
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return choices[i].result;
    return choices.back().result;
}

}  // namespace

bool canShowWindows() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr &&
           QGuiApplication::platformName() != QLatin1String("offscreen");
}

MessageResult firstButton(MessageButtons buttons) {
    return (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) ? MessageResult::Yes
                                                                                        : MessageResult::Ok;
}

MessageResult showMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                          MessageButtons buttons) {
    MessageRequest request{text, caption, icon, buttons};
    if (currentSink()) {
        // A copy: the sink may replace itself while it runs.
        MessageSink sink = currentSink();
        return sink(request);
    }
    if (canShowWindows()) return showBox(request);
    std::string line = lineBreaks(caption + ": " + text).toStdString();
    std::fprintf(stderr, "%s\n", line.c_str());
    return firstButton(buttons);
}

void showException(const std::exception& error) {
    showMessage(error.what(), kApplicationTitle, MessageIcon::Error, MessageButtons::Ok);
}

MessageSink setMessageSink(MessageSink sink) {
    MessageSink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

MessageCapture::MessageCapture(MessageResult answer) {
    previous_ = setMessageSink([this, answer](const MessageRequest& r) {
        messages_.push_back(r);
        return answer;
    });
}

MessageCapture::~MessageCapture() { setMessageSink(std::move(previous_)); }

}  // namespace quor
