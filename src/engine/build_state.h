#pragma once

// The state one report build shares between its pages and bands, and what
// the band engine asks of the report it builds (prepared pages, events,
// scripts, progress, the data loop).

#include <exception>
#include <string>
#include <vector>

namespace quor {

class TfrBand;
class TfrPage;
class TfrView;

// Where a data band takes its records from. The data loop supplies them.
class BandDataSource {
public:
    virtual ~BandDataSource() = default;
    virtual void Init() = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    // Moves back one record; raises an error when the source cannot.
    virtual void Prior();
    // Ends the use of the records; a source holding nothing open ignores it.
    virtual void Close() {}
    // The band that took the source lets it go.
    virtual void Exit() {}
};

class TfrComponentOwner;

// The record loop of data bands, groups, aggregates and subreports. The
// page engine calls it at the points of a page pass where data is shown.
class DataLoop {
public:
    virtual ~DataLoop() = default;
    // Runs the data levels 1 to `depth` of the page (depth >= 1).
    virtual void run(TfrPage& page, int depth) = 0;
    // The band's values are added to the aggregates it feeds.
    virtual void accumulate(TfrBand& band) = 0;
    // The band's own (or its footer's) aggregates start again.
    virtual void resetAggregates(TfrBand& band) = 0;
    // Starts and runs the subreports of `band` from its view at `index`;
    // false when they must continue on a later page.
    virtual bool drawSubreports(TfrBand& band, std::size_t index) = 0;
    // Draws the cross cells of a band holding views of cross bands.
    virtual void drawCrossCells(TfrBand& band) = 0;
    // Once per page at build start: field references and the accumulators
    // of the aggregate calls.
    virtual void prepareSources(TfrPage& page) = 0;
};

class BuildHost {
public:
    virtual ~BuildHost() = default;
    // The report's stop flag; set by the user, the application or an error.
    virtual bool& stopFlag() = 0;
    // Prepared pages.
    virtual int preparedCount() const = 0;
    // Appends a page for `page`'s paper and raises OnBeginPage.
    virtual void addPreparedPage(const TfrPage& page) = 0;
    // Prints `view` into the object stream of prepared page `index`.
    virtual void writeView(int index, TfrView& view) = 0;
    // Events (raised only when the application assigned them). An error of
    // the OnBeginBand handler passes through the build to the caller.
    virtual void beginBand(TfrBand& band) = 0;
    virtual void endBand(TfrBand& band) = 0;
    virtual void endPage(int pageNo) = 0;
    virtual void progress(int pageNo) = 0;
    // OnManualBuild: false when it is not assigned.
    virtual bool hasManualBuild() const = 0;
    virtual void manualBuild(TfrPage& page) = 0;
    virtual bool printIfEmpty() const = 0;
    // Runs a page, band or view script with `view` as its object.
    virtual void runScript(const std::vector<std::string>& script, TfrView* view) = 0;
    // After a memo is printed: the after-print hooks of the views that
    // registered one.
    virtual void afterPrint() = 0;
    // The template page with this 0-based index (a subreport's page), or
    // null.
    virtual TfrPage* templatePage(int /*index*/) { return nullptr; }
    // OnBeginColumn and OnPrintColumn of cross cells.
    virtual void beginColumn(TfrBand& /*band*/) {}
    virtual void printColumn(int /*column*/, int& /*width*/) {}
    // The "dataset.field" the data dictionary gives a name, or "" when it
    // defines none.
    virtual std::string dictionaryField(const std::string& /*name*/) { return {}; }
};

// A page that the overlay, page header and column header fill so that a
// split band gets no room is started at most this many times in a row.
inline constexpr int kMaxPagesWithoutProgress = 100;

struct BuildState {
    BuildHost* host = nullptr;
    DataLoop* dataLoop = nullptr;
    std::string reportName;
    // Lines of the failing view's text echoed in an error around the line
    // that failed; negative: the whole text.
    int errorEchoContext = -1;
    // Where plain source names are looked up: the form owning the report.
    TfrComponentOwner* ownerForm = nullptr;
    // The report's own records for a master-data band without a source.
    BandDataSource* reportDataset = nullptr;

    int CurrentPageIndex = 0;
    bool AppendMode = false;
    bool FooterDone = false;
    int SavedCursorY = 0;
    int SavedBottomLimit = 0;
    bool twoPass = false;
    int firstPassPageCount = 0;
    // The report date and time: days since 1899-12-30.
    double reportDateTime = 0;
    TfrBand* CurrentBand = nullptr;
    TfrPage* CurrentPage = nullptr;
    TfrView* errorView = nullptr;
    bool ErrorFlag = false;
    std::string ErrorText;

    bool stopped() const { return host->stopFlag(); }
    // The error routine: records the error, composes its text and stops.
    void recordError(const std::exception& error);
};

}  // namespace quor
