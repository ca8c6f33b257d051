#pragma once

// The spool folder's journal: one small file in the watched folder that
// says which file is being printed, written down before the job starts and
// after it ended. A watch that starts after a crash reads it and decides
// what became of that file, so that no file is printed twice and none is
// lost.

#include <optional>
#include <string>
#include <string_view>

namespace quor {

// Hidden, so the watch never takes it for a printout.
inline constexpr char kSpoolJournalName[] = ".quorprn-journal";

struct SpoolRecord {
    // `retrying`: printing again after a run that stopped in the middle of it.
    enum class State { printing, retrying, printed };
    State state = State::printing;
    std::string file;    // name in the watched folder
    std::string output;  // name of the PDF in the output folder; empty for a printer
    friend bool operator==(const SpoolRecord&, const SpoolRecord&) = default;
};

std::string encodeSpoolRecord(const SpoolRecord& record);
// Nothing for text that is not a record (damaged, or of another version).
std::optional<SpoolRecord> parseSpoolRecord(std::string_view text);

// What a starting watch does with the file of the record it found.
enum class Recovery {
    nothing,       // the file is no longer in the folder: it was dealt with
    markPrinted,   // it printed: move it to printed/
    printAgain,    // nothing came out of it: print it once more (as `retrying`)
    markFailed,    // it may have reached the printer, or it stopped the program
                   // twice: failed/, with a log saying so
};
Recovery recoveryFor(const SpoolRecord& record, bool fileStillThere, bool outputThere);

// The journal file of `folder` ("/"-terminated path): read (nothing when
// absent or damaged), written atomically (raises quor::Error when it
// cannot be), removed.
std::optional<SpoolRecord> readSpoolJournal(const std::string& folder);
void writeSpoolJournal(const std::string& folder, const SpoolRecord& record);
void clearSpoolJournal(const std::string& folder);

}  // namespace quor
