#pragma once

// Saved prepared pages (*.frp) opened from the command line into the
// preview window, without the main window: `quorprn --open-prepared FILE`.

#include "app/command_line.h"

namespace quor {

// Runs under an existing application object, printer device and preview
// window until the preview closes; the
// exit status (1 with a message box when the file cannot be read).
int showPreparedReport(const CommandLine& line);

}  // namespace quor
