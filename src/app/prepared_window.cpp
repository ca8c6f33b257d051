#include "app/prepared_window.h"

#include <clocale>

#include "app/form_storage.h"
#include "app/print_job.h"
#include "app/settings_place.h"
#include "app/unattended.h"
#include "platform/message_box.h"

namespace quor {

int showPreparedReport(const CommandLine& line) {
    std::setlocale(LC_NUMERIC, "C");
    TFormStorage settings("TfQuorPrint");
    settings.setIniSection("Quor Print");
    QuorPrintJob job(settings);
    job.output = JobOutput::preview;
    try {
        job.QuorPreparedPrint(line.openPrepared,
                              line.arguments.empty() ? defaultSettingsFile() : line.arguments.front());
    } catch (const std::exception& e) {
        showException(e);
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace quor
