#pragma once

// Message boxes: every message the program shows goes through showMessage.
// The GUI shows a QMessageBox. Tests and unattended runs install a sink that
// records or redirects the messages instead.

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace quor {

// The application title: caption of the program's plain message boxes.
inline constexpr char kApplicationTitle[] = "Quor Print";

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageResult { Ok, Cancel, Yes, No };

struct MessageRequest {
    std::string text;     // UTF-8; "\r" or "\r\n" breaks a line
    std::string caption;  // UTF-8
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageSink = std::function<MessageResult(const MessageRequest&)>;

MessageResult showMessage(const std::string& text, const std::string& caption,
                          MessageIcon icon = MessageIcon::None,
                          MessageButtons buttons = MessageButtons::Ok);

// The application's handler for an error that ended a command: its text in a
// box captioned with the application title and the error icon.
void showException(const std::exception& error);

// Replaces the current sink (an empty one restores the default) and returns
// the one it replaced. Without a sink the message is shown in a QMessageBox;
// where no window can be shown (no application object, or the offscreen
// platform) it is written to standard error and answered with its first
// button.
MessageSink setMessageSink(MessageSink sink);

// True when dialogs can appear: an application with widgets on a real
// display (not the offscreen platform).
bool canShowWindows();

// The first button's answer, which an unattended run gives.
MessageResult firstButton(MessageButtons buttons);

// Records every message while it lives and answers each with a fixed result.
class MessageCapture {
public:
    explicit MessageCapture(MessageResult answer = MessageResult::Ok);
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const std::vector<MessageRequest>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    std::vector<MessageRequest> messages_;
    MessageSink previous_;
};

}  // namespace quor
