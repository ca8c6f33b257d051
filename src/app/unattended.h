#pragma once

// The unattended run: one document printed into a PDF file, on a named
// CUPS queue and/or saved as prepared pages, without any window. Every
// message goes to standard error.

#include "app/command_line.h"

namespace quor {

enum ExitStatus : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Picks Qt's offscreen platform when there is no display to use; call it
// before the application object is made.
void chooseHeadlessPlatform();

// Runs the job of `line` (which must be unattended) under an existing
// application object; the exit status.
int runUnattended(const CommandLine& line);

}  // namespace quor
