#pragma once

// One build of a report: the passes over its template pages, the events it
// raises on the report, the prepared pages it fills and the values it gives
// expressions. `TfrReport::Prepare` runs it between its snapshot and its
// restore.

#include <exception>
#include <string>

#include "engine/build_state.h"
#include "engine/build_values.h"
#include "engine/data_loop.h"
#include "report/report_names.h"

namespace quor {

class TfrReport;

class ReportBuilder : public BuildHost {
public:
    explicit ReportBuilder(TfrReport& report);
    ~ReportBuilder() override;
    ReportBuilder(const ReportBuilder&) = delete;
    ReportBuilder& operator=(const ReportBuilder&) = delete;

    // Building a report: one pass, or two for a two-pass report. An error
    // of the OnBeginBand handler passes through; any other error of the
    // build is recorded (see state()).
    bool run();

    BuildState& state() { return state_; }
    // The progress label for page `pageNo`: the pass's prefix, two blanks
    // and the number, in the final pass of two followed by the page count
    // of the first.
    std::string progressText(int pageNo) const;
    BuildValuesOf& values() { return values_; }

    // BuildHost
    bool& stopFlag() override;
    int preparedCount() const override;
    void addPreparedPage(const TfrPage& page) override;
    void writeView(int index, TfrView& view) override;
    void beginBand(TfrBand& band) override;
    void endBand(TfrBand& band) override;
    void endPage(int pageNo) override;
    void progress(int pageNo) override;
    bool hasManualBuild() const override;
    void manualBuild(TfrPage& page) override;
    bool printIfEmpty() const override;
    void runScript(const std::vector<std::string>& script, TfrView* view) override;
    void afterPrint() override {}
    TfrPage* templatePage(int index) override;
    void beginColumn(TfrBand& band) override;
    void printColumn(int column, int& width) override;
    std::string dictionaryField(const std::string& name) override;

private:
    void pass();
    // Every page template once, in order.
    void formPages();
    void doneBuild();

    TfrReport& report_;
    BuildState state_;
    BuildValuesOf values_{state_};
    BuildValues* previousValues_ = nullptr;
    TfrDataLoop dataLoop_{state_};
    AggregateHost* previousAggregates_ = nullptr;
    ReportNamesConnection names_{report_};

public:
    // Set when the OnBeginBand handler raised the error that ended the build.
    bool handlerFailed = false;
};

}  // namespace quor
