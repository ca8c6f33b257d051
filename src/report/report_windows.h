#pragma once

// The windows a report component opens: the preview, and the progress
// window of a build or a print run. They are Qt widgets and live in
// output/, which fills these hooks once at program start. Without them
// (tests, unattended runs) a preview opens nothing and long work runs
// directly.

#include <functional>
#include <string>

namespace quor {

class TfrReport;

struct ReportWindows {
    // Runs the work while the modal progress window is shown with this
    // caption; its Cancel button sets the report's StopRequested. Returns
    // false when the window was cancelled.
    std::function<bool(TfrReport& report, const std::string& caption,
                       const std::function<void()>& work)>
        runWithProgress;
    // The progress window's label while runWithProgress runs.
    std::function<void(const std::string& text)> setProgressText;
    // Shows the preview window over the report's prepared pages.
    std::function<void(TfrReport& report)> showPreview;
};

// The program-wide hooks; each is empty until output/ fills it.
ReportWindows& reportWindows();

}  // namespace quor
