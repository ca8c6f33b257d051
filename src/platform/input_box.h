#pragma once

// One-line text questions (the INPUT function of report expressions). The
// GUI shows an input dialog; tests and unattended runs install a sink, and
// where no window can be shown the initial text is the answer.

#include <functional>
#include <optional>
#include <string>

namespace quor {

struct InputRequest {
    std::string prompt;   // UTF-8
    std::string caption;  // UTF-8
    std::string initial;  // UTF-8
};

// The entered text, or nothing when the user cancelled.
using InputSink = std::function<std::optional<std::string>(const InputRequest&)>;

std::optional<std::string> askText(const std::string& prompt, const std::string& caption,
                                   const std::string& initial);

// Replaces the current sink (an empty one restores the default) and returns
// the one it replaced.
InputSink setInputSink(InputSink sink);

}  // namespace quor
