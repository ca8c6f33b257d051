#pragma once

// The print job: one DOS print file laid into a built-in template with the
// settings of one settings file, then printed or previewed; and the logo
// placement that the report calls at the start of every band.

#include <functional>
#include <string>
#include <vector>

#include "app/document_text.h"
#include "app/form_storage.h"
#include "report/report.h"

namespace quor {

class TfrBand;
class TfrPictureView;

// What a job does with the pages it prepared.
enum class JobOutput {
    // The preview when "Preview" is exactly "True", else the printer.
    asSettingsSay,
    // The printer, whatever "Preview" says (unattended runs).
    printer,
    // Nothing beyond OnPrepared (unattended runs that only save the pages).
    none,
    // The preview, whatever "Preview" says (--preview, opened prepared pages).
    preview,
};

class QuorPrintJob {
public:
    // `settings` is the window's settings reader; the job points it at the
    // settings file it is given.
    explicit QuorPrintJob(TFormStorage& settings);
    QuorPrintJob(const QuorPrintJob&) = delete;
    QuorPrintJob& operator=(const QuorPrintJob&) = delete;

    // Loads the template, applies the settings and the document, prepares
    // and previews or prints. Errors of the settings, the document and the
    // logo placement propagate; build errors are shown by the report. True
    // when pages were prepared.
    // A document "-" is standard input.
    bool QuorDocumentPrint(const std::string& document, const std::string& settingsFile);

    // Saved prepared pages instead of a document: loaded (a damaged file
    // raises the reader's error), then previewed (unless `output` says
    // otherwise) or printed with the settings file's copy count. True when
    // pages were loaded.
    bool QuorPreparedPrint(const std::string& preparedFile, const std::string& settingsFile);
    // Loads the template "Orientation" names and writes the settings, the
    // document's bytes (`documentBytes` is asked after the settings are
    // read; the DOS printer settings apply to them) and the title into it,
    // ready for Prepare. The settings file is FS's.
    void loadTemplate(const std::function<std::string()>& documentBytes, const std::string& title);

    // The report's band-start handler: shows, places, sizes and loads the
    // logos from the settings.
    void frRepBeginBand(TfrBand& band);

    TfrReport& report() { return frRep; }
    JobOutput output = JobOutput::asSettingsSay;
    // The report's title; empty: the document path ("stdin" for standard input).
    std::string title;
    // How the document is read: its bounds and the notice of a wait.
    DocumentReading documentReading;
    // Called after a successful Prepare, before the preview or the print run.
    std::function<void(TfrReport& report)> OnPrepared;

private:
    void checkCopies();
    // OnPrepared, then the preview or the print run as `output` says.
    void deliver(bool previewAsked);
    // `name` names the document in errors.
    void applyTextSettings(const std::function<std::string()>& documentBytes, const std::string& name);
    // Logo `logo` (1 or 2) into a picture of the title or summary band.
    void placeLogoInBand(TfrPictureView& view, int logo);
    // Logo `logo` into its picture of the overlay band, from the page's top.
    void placeLogoOnEveryPage(TfrBand& overlay, TfrPictureView& view, int logo);
    TfrPictureView& picture(const char* name) const;
    int number(const std::string& key, const char* defaultValue) const { return FS.ReadNumber(key, defaultValue); }

    TFormStorage& FS;
    TfrReport frRep{"frRep"};
};

}  // namespace quor
