#pragma once

// The windows a report component opens: the preview, and the progress
// window of a build or a print run. They are Qt widgets and live in
// output/; the program registers them once at start. Without them (tests,
// unattended runs) a preview opens nothing and long work runs directly.

#include <functional>
#include <string>

namespace quor {

class TfrReport;

class ReportWindows {
public:
    virtual ~ReportWindows() = default;

    // Runs `work` while the modal progress window is shown with this
    // caption; its Cancel button sets the report's StopRequested. Returns
    // false when the window was cancelled.
    virtual bool runWithProgress(TfrReport& report, const std::string& caption,
                                 const std::function<void()>& work) = 0;
    // The progress window's label while `runWithProgress` runs.
    virtual void setProgressText(const std::string& text) = 0;

    // Shows the preview window over the report's prepared pages.
    virtual void showPreview(TfrReport& report) = 0;
};

// The registered windows, else null.
ReportWindows* reportWindows();
void setReportWindows(ReportWindows* windows);

}  // namespace quor
