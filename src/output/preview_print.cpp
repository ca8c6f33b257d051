// Printing from the preview: the print dialog when the report asks for it,
// then the pages go back to the report for the run and return afterwards.

#include <QScrollBar>

#include "output/preview_box.h"
#include "output/preview_form.h"
#include "output/print_form.h"
#include "output/speed_button.h"
#include "platform/message_box.h"
#include "report/report.h"

namespace quor {

void TfrPreviewForm::PrintBtnClick() {
    if (!hasPages() || !PrintBtn->isEnabled()) return;
    std::optional<PrintRequest> request;
    try {
        request = askPrintRequest(*report_, currentPage, this);
    } catch (const std::exception& e) {
        showException(e);
        return;
    }
    if (!request) return;
    returnPages();
    try {
        report_->PrintPrepared(request->pageList, request->copies, request->collate,
                               request->filter);
    } catch (const std::exception& e) {
        // The pages come back first: the window stays usable behind the box.
        takePages();
        refreshView(false);
        showException(e);
        return;
    }
    takePages();
    refreshView(false);
}

}  // namespace quor
