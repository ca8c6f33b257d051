#include "report/report_windows.h"

namespace quor {

ReportWindows& reportWindows() {
    static ReportWindows windows;
    return windows;
}

}  // namespace quor
