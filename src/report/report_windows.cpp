#include "report/report_windows.h"

namespace quor {
namespace {
ReportWindows* registered = nullptr;
}

ReportWindows* reportWindows() { return registered; }
void setReportWindows(ReportWindows* windows) { registered = windows; }

}  // namespace quor
