#include "engine/build_values.h"

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "platform/numbers.h"

namespace quor {

int BuildValuesOf::pageNumber() const { return state_.CurrentPageIndex + 1; }
int BuildValuesOf::totalPages() const { return state_.firstPassPageCount; }
double BuildValuesOf::buildDateTime() const { return state_.reportDateTime; }
int BuildValuesOf::lineNumber() const { return state_.CurrentBand ? state_.CurrentBand->LocalPosition : 0; }
int BuildValuesOf::lineThrough() const { return state_.CurrentBand ? state_.CurrentBand->GlobalPosition : 0; }
int BuildValuesOf::columnNumber() const { return state_.CurrentPage ? state_.CurrentPage->CrossColumn : 0; }
int BuildValuesOf::currentNumber() const { return state_.CurrentPage ? state_.CurrentPage->RecordNo : 0; }
int BuildValuesOf::cursorY() const { return state_.CurrentPage ? state_.CurrentPage->CursorY : 0; }
int BuildValuesOf::freeSpace() const {
    return state_.CurrentPage ? clampToInt(std::int64_t{state_.CurrentPage->BottomLimit} - state_.CurrentPage->CursorY) : 0;
}
bool BuildValuesOf::finalPass() const { return !engine().firstPass; }
int BuildValuesOf::pageHeight() const { return state_.CurrentPage ? state_.CurrentPage->BottomLimit : 0; }
int BuildValuesOf::pageWidth() const { return state_.CurrentPage ? state_.CurrentPage->RightEdge() : 0; }

void BuildValuesOf::setCursorY(int y) {
    if (!state_.CurrentPage) return;
    state_.CurrentPage->CursorY = y;
    if (state_.CurrentBand) state_.CurrentBand->CursorRestore = true;
}

void BuildValuesOf::stopReport() { state_.host->stopFlag() = true; }

void BuildValuesOf::newPage() {
    if (state_.CurrentBand) ++state_.CurrentBand->PendingNewPages;
}

void BuildValuesOf::newColumn() {
    if (state_.CurrentBand) ++state_.CurrentBand->PendingNewColumns;
}

void BuildValuesOf::showBand(const std::string& name) {
    if (state_.CurrentPage) state_.CurrentPage->ShowBandByName(name);
}

}  // namespace quor
