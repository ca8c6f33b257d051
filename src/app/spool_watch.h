#pragma once

// The spool folder: `quorprn --watch DIR` prints every file that appears in
// DIR (and every one already there, oldest first) once it has been complete
// for the settle time, then moves it to DIR/printed/, or to DIR/failed/
// with NAME.log beside it when its job failed. The folder is watched with
// inotify; a journal in the folder keeps a file from printing twice across
// a crash; SIGTERM and SIGINT stop the watch after the current job (a
// second one ends it at once, which the journal makes safe).

#include "app/command_line.h"

namespace quor {

// Runs under an existing application object until stopped; the exit
// status (0 after a clean stop, 1 when the folder cannot be watched, 2 for
// an output folder that is the watched folder).
int runSpoolWatch(const CommandLine& line);

}  // namespace quor
