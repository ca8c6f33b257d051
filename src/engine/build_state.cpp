#include "engine/build_state.h"

#include "engine/engine_state.h"
#include "engine/view.h"
#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace quor {

void BandDataSource::Prior() { throw Error("Источник данных не может вернуться назад"); }

void BuildState::recordError(const std::exception& error) {
    std::string text = message(kMsgBuildError);
    TfrView* view = engine().currentView;
    if (view)
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
