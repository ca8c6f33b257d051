#include "engine/build_state.h"

#include <algorithm>

#include "engine/engine_state.h"
#include "engine/text_line_error.h"
#include "engine/view.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace quor {
namespace {

// A line echoed in a cut error text is itself cut to this many bytes.
constexpr std::size_t kEchoedLineBytes = 256;

// The text around the failing line (the first lines when none is known),
// marked where lines are left out, then which line failed.
std::string echoAround(const TfrView& view, const std::exception& error, std::size_t context) {
    const std::vector<std::string>& lines = view.Memo;
    const auto* failing = dynamic_cast<const TextLineError*>(&error);
    const std::size_t at = failing && failing->lineIndex < lines.size() ? failing->lineIndex : 0;
    const std::size_t first = at > context ? at - context : 0;
    const std::size_t end = std::min(lines.size(), at + context + 1);
    std::string text = first > 0 ? "\r…" : "";
    for (std::size_t i = first; i < end; ++i) {
        const std::string& line = lines[i];
        text += "\r" + bytesToUtf8(line.substr(0, kEchoedLineBytes), view.textCharset());
        if (line.size() > kEchoedLineBytes) text += "…";
    }
    if (end < lines.size()) text += "\r…";
    if (failing) text += "\r(строка " + std::to_string(at + 1) + " из " + std::to_string(lines.size()) + ")";
    return text;
}

}  // namespace

void BandDataSource::Prior() { throw Error("Источник данных не может вернуться назад"); }

void BuildState::recordError(const std::exception& error) {
    std::string text = message(kMsgBuildError);
    TfrView* view = engine().currentView;
    if (view && errorEchoContext >= 0)
        text += echoAround(*view, error, static_cast<std::size_t>(errorEchoContext));
    else if (view)
        for (const std::string& line : view->Memo) text += "\r" + bytesToUtf8(line, view->textCharset());
    text += "\r\r" + message(kMsgBuildDocument) + " " + reportName + "\r";
    if (view) text += message(kMsgBuildObject) + " " + view->Name + "\r";
    text += "\r";
    text += error.what();
    ErrorText = std::move(text);
    ErrorFlag = true;
    host->stopFlag() = true;
}

}  // namespace quor
