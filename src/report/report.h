#pragma once

// The report component, template side: it owns the template pages and the
// data dictionary, loads and saves templates and finds template objects.
// Building, showing and printing extend it in later layers.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/expr/hosts.h"
#include "engine/prepared_pages.h"
#include "engine/variant.h"
#include "engine/view_context.h"
#include "report/data_dictionary.h"
#include "report/pages.h"

namespace quor {

class AtomicFile;

class StreamReader;
class StreamWriter;
class TfrView;
class TfrBand;
class TfrPage;

enum class InitialZoom : std::uint8_t { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };
enum class ReportType : std::uint8_t { rtSimple, rtMultiple };
// Which pages of a print run go to the printer, by 1-based page number.
enum class PageFilter : std::uint8_t { allPages = 0, oddPages = 1, evenPages = 2 };

// Buttons of the preview window, as a set of bits.
enum PreviewButton : std::uint32_t {
    pbZoom = 1u << 0,
    pbLoad = 1u << 1,
    pbSave = 1u << 2,
    pbPrint = 1u << 3,
    pbFind = 1u << 4,
    pbHelp = 1u << 5,
    pbExit = 1u << 6,
    pbPageSetup = 1u << 7,
};

class ReportBuilder;
class BandDataSource;
class TfrComponentOwner;

class TfrReport : public ReportContext, public PreparedPagesHost, public ReportNames {
public:
    explicit TfrReport(std::string name = "frReport1");
    ~TfrReport() override;
    TfrReport(const TfrReport&) = delete;
    TfrReport& operator=(const TfrReport&) = delete;

    std::string Name;  // the component's name
    TfrPages TemplatePages{*this};
    TfrDataDictionary Dictionary;

    // From the template header.
    std::string PrinterName;
    bool UseDefaultPrinter = true;
    bool TwoPass = false;

    bool StopRequested = false;
    std::string Title;

    // Published properties with their defaults.
    std::int32_t DefaultCopies = 1;
    bool DefaultCollate = true;
    bool GrayedButtons = false;
    InitialZoom initialZoom = InitialZoom::pzDefault;
    bool MDIPreview = false;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    std::uint32_t PreviewButtons = pbZoom | pbLoad | pbSave | pbPrint | pbFind | pbHelp | pbExit;
    bool PrintIfEmpty = true;
    ReportType reportType = ReportType::rtSimple;
    bool ShowPrintDialog = true;
    bool ShowProgress = true;
    // A build error names the failing object's text: the whole text when
    // negative, else the failing line with this many lines around it.
    int ErrorEchoContext = -1;
    bool StoreInDFM = false;
    // The records an rtMultiple report is built once for, and those of a
    // master-data band without a source of its own in an rtSimple one; not
    // owned.
    BandDataSource* Dataset = nullptr;
    // The form that owns the report, where data bands find their sources by
    // plain name; not owned.
    TfrComponentOwner* Owner = nullptr;

    // Classes a template named that are not registered: each name followed
    // by a carriage return.
    std::string missingClasses;
    bool classesMissing = false;

    // Reads a template from the stream's position on. Never throws: every
    // failure is reported in a message box (see template_reader.h).
    void LoadFromStream(StreamReader& in);
    // Writes the template in the current layout.
    void SaveToStream(StreamWriter& out) const;

    // The first template object with this name (letter case ignored).
    TfrView* FindView(std::string_view name) const;

    // Makes the named printer current unless the template keeps the default
    // printer; remembers the name in every case.
    void SelectPrinterByName(const std::string& name);

    // The before-print hook: offered a view's working lines just before the
    // view is printed. Raised only when assigned.
    std::function<void(std::vector<std::string>& lines, TfrView& view)> OnBeforePrint;

    // Runs a view's script. The built-in templates carry none; without an
    // interpreter only empty scripts run, any other raises an error.
    std::function<void(const std::vector<std::string>& script, TfrView& view)> scriptInterpreter;

    // The sink of an export in progress, else null.
    ExportSink* activeExport = nullptr;

    // The pages of the last build.
    TfrEMFPages PreparedPages{this};
    // The date and time of the last build (days since 1899-12-30).
    double reportDateTime = 0;
    // Pages counted by the first pass of the last two-pass build.
    int firstPassPageCount = 0;

    // Events of a build, each raised only when assigned. An error raised by
    // OnBeginBand ends the build and reaches the caller of Prepare.
    std::function<void()> OnBeginDoc;
    std::function<void()> OnEndDoc;
    std::function<void(int pageNo)> OnBeginPage;
    std::function<void(int pageNo)> OnEndPage;
    std::function<void(TfrBand& band)> OnBeginBand;
    std::function<void(TfrBand& band)> OnEndBand;
    std::function<void(int pageNo)> OnProgress;
    std::function<void(TfrPage& page)> OnManualBuild;
    // Cross cells: before the columns of a band, and once per column with
    // its number and a width the handler may change.
    std::function<void(TfrBand& band)> OnBeginColumn;
    std::function<void(int column, int& width)> OnPrintColumn;

    // Names the report resolves for the expressions of its build, in this
    // order: the handler, the dictionary's variables (whose values are
    // expressions), then `Variables`. The handler leaves `value` empty for
    // a name it does not know.
    std::function<void(const std::string& name, Variant& value)> OnGetValue;
    std::vector<std::pair<std::string, Variant>> Variables;
    // Functions of the application's own, asked after the standard ones:
    // upper-cased name and the arguments' unevaluated texts; returns false
    // for a function it does not know.
    std::function<bool(const std::string& name, const std::array<std::string, 3>& args, Variant& result)>
        OnUserFunction;

    // Builds the prepared pages from the template, which is restored
    // afterwards; changes made before stay. A build error is shown in a
    // message box and leaves no pages; the result is then false.
    bool Prepare();

    // Opens the preview window over the prepared pages (modal with
    // ModalPreview); nothing when there are none or no window is installed.
    void ShowPrepared();

    // A prepared-report file into PreparedPages, and PreparedPages into one.
    // Errors (a missing or damaged file, a failed write) are raised; a
    // damaged file leaves no pages. Loaded pages no longer match the
    // template: CanRebuild is cleared.
    void LoadPreparedReport(const std::string& fileName);
    void SavePreparedReport(const std::string& fileName);
    // The file SavePreparedReport writes, complete but not yet in place.
    std::unique_ptr<AtomicFile> WritePreparedReport(const std::string& fileName);
    bool CanRebuild = true;

    // Raised when a prepared object is clicked in the preview.
    std::function<void(TfrView& view)> OnObjectClick;

    // Prints the prepared pages: pageList names pages and ranges ("1,3,5-12",
    // "5-"; empty: every page), copies <= 0 prints one. Runs from the
    // progress window when ShowProgress is set, no OnProgress handler is
    // assigned and a window is installed. Errors of the printer and of the
    // list pass to the caller; Cancel aborts the job after its current page.
    void PrintPrepared(const std::string& pageList, int copies, bool collate, PageFilter filter);
    // The print run itself (see report_print.cpp).
    virtual void PerformPrint(const std::string& pageList, int copies, bool collate, PageFilter filter);

    // The request of the print run in progress, as PrintPrepared stored it.
    std::string printPageList;
    std::int32_t printCopies = 1;
    bool printCollate = false;
    PageFilter printFilter = PageFilter::allPages;

    // Raised just before a print job starts.
    std::function<void()> OnPrintReport;
    // Raised when the mouse rests on a view of a prepared page; the handler
    // may change the cursor shape. Suspended while a print run holds the
    // thread.
    std::function<void(TfrView& view, int& cursor)> OnMouseOverObject;

    // ReportContext
    std::vector<TfrView*> allObjects() const override;
    void beforePrint(std::vector<std::string>& lines, TfrView& view) override;
    void runScript(const std::vector<std::string>& script, TfrView& view) override;
    ExportSink* exportSink() override { return activeExport; }

    // ReportNames
    std::optional<Variant> handlerValue(const std::string& name) override;
    std::optional<Variant> dictionaryValue(const std::string& name) override;
    std::optional<Variant> variableValue(const std::string& name) override;

    // PreparedPagesHost: a page added by the build raises OnBeginPage.
    void pageAdded() override;
    void selectPrinterByName(const std::string& name) override { SelectPrinterByName(name); }
    bool objectClick(TfrView& view) override;
    bool mouseOverObject(TfrView& view, int& cursor) override {
        if (!OnMouseOverObject) return false;
        OnMouseOverObject(view, cursor);
        return true;
    }

private:
    // The build, from the progress window when one is to be shown; false
    // when that window was cancelled.
    bool runBuild(ReportBuilder& builder);

    // The build in progress, else null.
    ReportBuilder* activeBuild_ = nullptr;
};

}  // namespace quor
