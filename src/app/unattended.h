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

// What a job leaves for a caller that keeps its own log (the spool folder).
struct JobTranscript {
    std::string messages;  // every message, as it would have gone to standard error
    int pages = 0;         // pages prepared or loaded
};

// Runs the job of `line` (which must be unattended) under an existing
// application object; the exit status. With a transcript the messages go
// into it instead of standard error.
int runUnattended(const CommandLine& line, JobTranscript* transcript = nullptr);

}  // namespace quor
