#include "app/spool_printer.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <vector>

#include "app/command_line.h"
#include "app/spool_journal.h"
#include "app/unattended.h"
#include "platform/cups_printer.h"

namespace quor {
namespace {

std::string localTime() {
    const std::time_t now = std::time(nullptr);
    std::tm parts {};
    localtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// The last line a job's messages hold: the text that says what went wrong.
std::string lastMessageLine(const std::string& messages) {
    const std::size_t end = messages.find_last_not_of("\n ");
    if (end == std::string::npos) return "no message";
    const std::size_t newline = messages.rfind('\n', end);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    return messages.substr(start, end + 1 - start);
}

// The name of the default CUPS queue now; empty when there is none.
std::string defaultPrinterName() {
    CupsPrinter cups;
    const std::vector<std::string>& names = cups.printers();
    const int index = cups.printerIndex();
    return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<std::size_t>(index)] : "";
}

}  // namespace

void spoolLog(const std::string& text) {
    const std::string line = localTime() + " " + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

std::string SpoolPrinter::destination() const {
    if (!t_.pdfFolder.empty()) return "into " + t_.pdfFolder;
    return "on " + (t_.printerName.empty() ? std::string("the default printer") : t_.printerName);
}

void SpoolPrinter::recover() {
    const std::optional<SpoolRecord> record = readSpoolJournal(t_.folder);
    if (!record) {
        const std::string journal = t_.folder + kSpoolJournalName;
        if (::access(journal.c_str(), F_OK) == 0) {
            const std::string aside = freeNameIn(t_.folder, std::string(kSpoolJournalName) + ".damaged");
            spoolLog("the journal " + journal + " is damaged; set aside as " + aside);
            std::rename(journal.c_str(), (t_.folder + aside).c_str());
        }
        return;
    }
    FileStamp stamp;
    const bool there = stampOf(t_.folder + record->file, stamp);
    const bool outputThere = !record->output.empty() && stampOf(t_.pdfFolder + record->output, stamp);
    switch (recoveryFor(*record, there, outputThere)) {
    case Recovery::nothing:
        break;
    case Recovery::printAgain:
        retrying_ = record->file;
        break;
    case Recovery::markPrinted:
        fileAway(record->file, "printed/", "");
        spoolLog(record->file + ": printed before the last stop, moved to printed/");
        break;
    case Recovery::markFailed:
        fileAway(record->file, "failed/",
                 record->output.empty()
                     ? "The watch stopped while this file was being printed, so it may have reached the printer.\n"
                       "It is not printed again by itself; move it back into the folder to print it.\n"
                     : "The watch stopped twice while this file was being printed.\n"
                       "Move it back into the folder to try again.\n");
        spoolLog(record->file + ": interrupted by the last stop, moved to failed/");
        break;
    }
    clearSpoolJournal(t_.folder);
}

void SpoolPrinter::print(const std::string& name, const FileStamp& stamp) {
    const std::string pdfName = t_.pdfFolder.empty() ? "" : freeNameIn(t_.pdfFolder, pdfNameFor(name));
    const bool again = !retrying_.empty() && name == retrying_;
    if (again) retrying_.clear();
    writeSpoolJournal(t_.folder, {again ? SpoolRecord::State::retrying : SpoolRecord::State::printing, name, pdfName});
    Outcome outcome = runJob(name, pdfName);
    FileStamp after;
    if (outcome.printed && stampOf(t_.folder + name, after) && !(after == stamp)) {
        outcome.printed = false;
        outcome.messages += "The file changed while it was printed: what came later is not on the printout.\n"
                            "Move it back into the folder to print it whole.\n";
    }
    finish(name, pdfName, outcome);
    clearSpoolJournal(t_.folder);
}

SpoolPrinter::Outcome SpoolPrinter::runJob(const std::string& name, const std::string& pdfName) const {
    CommandLine job;
    if (!pdfName.empty())
        job.pdfFile = t_.pdfFolder + pdfName;
    else
        job.printerName = t_.printerName.empty() ? defaultPrinterName() : t_.printerName;
    Outcome outcome;
    if (job.pdfFile.empty() && job.printerName.empty()) {
        outcome.messages = "No printer is installed.\n";
        return outcome;
    }
    job.arguments = {t_.folder + name, t_.settingsFile};
    JobTranscript transcript;
    outcome.printed = runUnattended(job, &transcript) == kExitDone;
    outcome.pages = transcript.pages;
    outcome.messages = std::move(transcript.messages);
    return outcome;
}

void SpoolPrinter::finish(const std::string& name, const std::string& pdfName, const Outcome& outcome) {
    const std::string pages = std::to_string(outcome.pages) + (outcome.pages == 1 ? " page" : " pages");
    if (outcome.printed) {
        writeSpoolJournal(t_.folder, {SpoolRecord::State::printed, name, pdfName});
        fileAway(name, "printed/", "");
        spoolLog(name + ": " + pages + ", printed " + (pdfName.empty() ? destination() : "into " + t_.pdfFolder + pdfName));
    } else {
        fileAway(name, "failed/", outcome.messages);
        spoolLog(name + ": " + pages + ", failed: " + lastMessageLine(outcome.messages));
    }
}

// Into the subfolder, numbered on a clash; a failed file's log beside it.
void SpoolPrinter::fileAway(const std::string& name, const std::string& subfolder, const std::string& log) {
    const std::string moved = moveIntoFolder(t_.folder + name, t_.folder + subfolder, name);
    if (subfolder == "failed/") writeTextFile(t_.folder + subfolder + moved + ".log", log);
}

}  // namespace quor
