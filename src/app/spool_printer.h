#pragma once

// One printout of the spool folder from start to end: the journal entry
// written before its job, the job itself, and the move into printed/ or,
// with its messages as NAME.log, into failed/. Also what a watch does at
// start with the file a stopped run left in the journal.

#include <string>

#include "app/spool_files.h"

namespace quor {

// Where a watch's printouts go.
struct SpoolTarget {
    std::string folder;       // the watched folder: absolute, "/"-terminated
    std::string pdfFolder;    // absolute, "/"-terminated; empty: a printer
    std::string printerName;  // empty: the default printer at the time of each job
    std::string settingsFile;
};

// One line of the watch's log on standard error, after the local time.
void spoolLog(const std::string& text);

class SpoolPrinter {
public:
    explicit SpoolPrinter(SpoolTarget target) : t_(std::move(target)) {}

    // "into OUTDIR" or "on PRINTER", for the log.
    std::string destination() const;

    // Settles the file of the journal's record, if any; raises quor::Error.
    void recover();

    // Prints the file `name`, which settled as `stamp`, and files it away.
    // A failed job is no error; a journal or a folder that fails is
    // (printing on could then print a file twice): quor::Error.
    void print(const std::string& name, const FileStamp& stamp);

private:
    struct Outcome {
        bool printed = false;
        int pages = 0;
        std::string messages;
    };
    Outcome runJob(const std::string& name, const std::string& pdfName) const;
    void finish(const std::string& name, const std::string& pdfName, const Outcome& outcome);
    void fileAway(const std::string& name, const std::string& subfolder, const std::string& log);

    SpoolTarget t_;
    // The file that the last run left half printed, printed once more.
    std::string retrying_;
};

}  // namespace quor
