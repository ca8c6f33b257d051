// Prepare: the build between a snapshot of the template and its restore,
// with the build's error shown in a message box.

#include <QDateTime>

#include <exception>
#include <optional>

#include "engine/band.h"
#include "engine/engine_state.h"
#include "engine/page.h"
#include "engine/view.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "report/report.h"
#include "report/report_builder.h"
#include "report/report_windows.h"

namespace quor {
namespace {

// Days since 1899-12-30 with the time of day as the fraction.
double nowAsDays() {
    const QDateTime now = QDateTime::currentDateTime();
    return static_cast<double>(QDate(1899, 12, 30).daysTo(now.date())) +
           now.time().msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

bool TfrReport::Prepare() {
    SelectPrinterByName(PrinterName);
    engine().documentMode = true;
    reportDateTime = nowAsDays();

    // Band alignment once, on the measuring surface.
    for (TfrView* v : allObjects())
        if (v->BandAlign != kAlignNone) v->AttachCanvas(engineMeasureCanvas());

    engine().currentPage = nullptr;
    engine().currentBand = nullptr;
    // A view of an earlier build may be gone (the template is reloaded after
    // every build): an error before the first view must not name it.
    engine().currentView = nullptr;
    engine().currentReport = this;
    bool result = false;

    StreamWriter snapshot;
    SaveToStream(snapshot);
    auto restore = [this, &snapshot] {
        StreamReader in(snapshot.data());
        LoadFromStream(in);
    };

    if (OnBeginDoc) OnBeginDoc();
    bool errorFlag = false;
    std::string errorText;
    {
        std::optional<ReportBuilder> builder(std::in_place, *this);
        activeBuild_ = &*builder;
        struct ClearActive {
            ReportBuilder*& active;
            ~ClearActive() { active = nullptr; }
        } clearActive{activeBuild_};
        builder->state().reportDateTime = reportDateTime;
        try {
            result = runBuild(*builder);
        } catch (...) {
            // The application's own band handler failed: its error goes to
            // the caller as it is, after the template is whole again.
            if (builder->handlerFailed) {
                activeBuild_ = nullptr;
                builder.reset();
                restore();
                // The pages built so far are nobody's result.
                PreparedPages.Clear();
                throw;
            }
            try {
                throw;
            } catch (const std::exception& e) {
                builder->state().recordError(e);
            }
        }
        errorFlag = builder->state().ErrorFlag;
        errorText = builder->state().ErrorText;
    }
    if (OnEndDoc) OnEndDoc();
    restore();

    if (errorFlag) {
        showMessage(errorText, message(kMsgErrorCaption), MessageIcon::Error);
        PreparedPages.Clear();
        // A build that ended in an error produced nothing to show or print.
        result = false;
    }
    engine().currentBand = nullptr;
    engine().currentView = nullptr;
    return result;
}

bool TfrReport::runBuild(ReportBuilder& builder) {
    const auto& runWithProgress = reportWindows().runWithProgress;
    if (!ShowProgress || OnProgress || !runWithProgress) return builder.run();
    std::string caption = message(kMsgPreparingReport);
    if (!Title.empty()) caption += " - " + Title;
    // An error of the build leaves the window first, then goes on as if
    // the build had run directly.
    std::exception_ptr failure;
    const bool finished = runWithProgress(*this, caption, [&builder, &failure] {
        try {
            builder.run();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure) std::rethrow_exception(failure);
    return finished;
}

void TfrReport::pageAdded() {
    if (OnBeginPage && activeBuild_) OnBeginPage(activeBuild_->state().CurrentPageIndex);
}

}  // namespace quor
