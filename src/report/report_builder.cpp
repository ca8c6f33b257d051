#include "report/report_builder.h"

#include <QCoreApplication>

#include "engine/band.h"
#include "engine/engine_state.h"
#include "engine/expr/expression_engine.h"
#include "engine/page.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "report/report.h"
#include "report/report_windows.h"

namespace quor {

ReportBuilder::ReportBuilder(TfrReport& report) : report_(report) {
    state_.host = this;
    state_.reportName = report.Name;
    state_.errorEchoContext = report.ErrorEchoContext;
    state_.twoPass = report.TwoPass;
    previousValues_ = expressionEngine().build;
    expressionEngine().build = &values_;
    state_.dataLoop = &dataLoop_;
    state_.ownerForm = report.Owner;
    state_.reportDataset = report.reportType == ReportType::rtSimple ? report.Dataset : nullptr;
    previousAggregates_ = expressionEngine().aggregates;
    expressionEngine().aggregates = &dataLoop_;
}

ReportBuilder::~ReportBuilder() {
    doneBuild();
    expressionEngine().build = previousValues_;
    expressionEngine().aggregates = previousAggregates_;
    engine().firstPass = false;
}

void ReportBuilder::doneBuild() {
    engine().firstPass = false;
    for (std::size_t i = 0; i < report_.TemplatePages.Count(); ++i) report_.TemplatePages[i].DoneBuild();
    engine().currentBand = nullptr;
    engine().currentPage = nullptr;
}

bool ReportBuilder::run() {
    auto start = [this] {
        report_.StopRequested = false;
        state_.AppendMode = false;
        engine().firstPass = false;
        state_.CurrentPageIndex = 0;
        report_.PreparedPages.Clear();
    };
    start();
    if (report_.TwoPass) {
        engine().firstPass = true;
        pass();
        state_.firstPassPageCount = report_.PreparedPages.Count();
        report_.firstPassPageCount = state_.firstPassPageCount;
        if (report_.StopRequested) {
            report_.PreparedPages.Clear();
            return true;
        }
        start();
    }
    pass();
    return true;
}

void ReportBuilder::pass() {
    QCoreApplication::processEvents();
    state_.ErrorFlag = false;
    TfrPages& pages = report_.TemplatePages;
    // A multi-record report runs the page templates once per record.
    BandDataSource* records = report_.reportType == ReportType::rtMultiple ? report_.Dataset : nullptr;
    struct CloseRecords {
        BandDataSource* source;
        ~CloseRecords() {
            if (source) source->Close();
        }
    } closeRecords{nullptr};
    if (records) {
        records->Init();
        closeRecords.source = records;
        records->First();
    }
    const bool finalOfTwo = report_.TwoPass && !engine().firstPass;
    if (!finalOfTwo)
        for (std::size_t i = 0; i < pages.Count(); ++i) pages[i].IsSubreport = false;
    for (std::size_t i = 0; i < pages.Count(); ++i)
        if (pages[i].PageType == kReportPage && !pages[i].InitDone) pages[i].InitBuild(state_);
    for (std::size_t i = 0; i < pages.Count() && !report_.StopRequested; ++i)
        if (pages[i].PageType == kReportPage) dataLoop_.prepareSources(pages[i]);

    do {
        progress(state_.CurrentPageIndex + 1);
        formPages();
        progress(state_.CurrentPageIndex);
        if (records) records->Next();
    } while (records && !report_.StopRequested && !records->Eof());
    for (std::size_t i = 0; i < pages.Count(); ++i) pages[i].DoneBuild();
}

void ReportBuilder::formPages() {
    TfrPages& pages = report_.TemplatePages;
    for (std::size_t j = 0; j < pages.Count(); ++j) {
        TfrPage& page = pages[j];
        state_.CurrentPage = &page;
        engine().currentPage = &page;
        page.pageNumber = static_cast<int>(j) + 1;
        if (page.PageType != kReportPage) continue;
        if (!page.Visible) page.runPageScript();
        if (!page.IsSubreport && page.Visible) {
            page.buildMode = BuildMode::normal;
            page.FormPage();
            state_.AppendMode = false;
        }
        if (j + 1 < pages.Count() && pages[j + 1].PrintToPrevPage) {
            --state_.CurrentPageIndex;
            state_.AppendMode = true;
        } else {
            state_.CurrentPageIndex = report_.PreparedPages.Count();
            progress(state_.CurrentPageIndex);
        }
        if (report_.StopRequested) break;
    }
}

bool& ReportBuilder::stopFlag() { return report_.StopRequested; }

int ReportBuilder::preparedCount() const { return report_.PreparedPages.Count(); }

void ReportBuilder::addPreparedPage(const TfrPage& page) { report_.PreparedPages.Add(page); }

void ReportBuilder::writeView(int index, TfrView& view) {
    view.WriteToPage(report_.PreparedPages.Item(index).Stream);
}

void ReportBuilder::beginBand(TfrBand& band) {
    if (!report_.OnBeginBand) return;
    try {
        report_.OnBeginBand(band);
    } catch (...) {
        handlerFailed = true;
        throw;
    }
}

void ReportBuilder::endBand(TfrBand& band) {
    if (report_.OnEndBand) report_.OnEndBand(band);
}

void ReportBuilder::endPage(int pageNo) {
    if (report_.OnEndPage) report_.OnEndPage(pageNo);
}

std::string ReportBuilder::progressText(int pageNo) const {
    std::string text = message(engine().firstPass ? kMsgFirstPass : kMsgFinalPass) + "  " + std::to_string(pageNo);
    if (report_.TwoPass && !engine().firstPass)
        text += " " + message(kMsgPageOf) + " " + std::to_string(state_.firstPassPageCount);
    return text;
}

void ReportBuilder::progress(int pageNo) {
    if (report_.OnProgress) {
        report_.OnProgress(pageNo);
        return;
    }
    if (!report_.ShowProgress) return;
    if (const auto& setText = reportWindows().setProgressText) setText(progressText(pageNo));
    // Lets a click on Cancel arrive.
    QCoreApplication::processEvents();
}

TfrPage* ReportBuilder::templatePage(int index) {
    TfrPages& pages = report_.TemplatePages;
    return index >= 0 && static_cast<std::size_t>(index) < pages.Count() ? &pages[static_cast<std::size_t>(index)] : nullptr;
}

void ReportBuilder::beginColumn(TfrBand& band) {
    if (report_.OnBeginColumn) report_.OnBeginColumn(band);
}

void ReportBuilder::printColumn(int column, int& width) {
    if (report_.OnPrintColumn) report_.OnPrintColumn(column, width);
}

std::string ReportBuilder::dictionaryField(const std::string& name) {
    for (const DictionaryEntry& e : report_.Dictionary.aliasList)
        if (sameName(e.name, name)) return e.value;
    return {};
}

bool ReportBuilder::hasManualBuild() const { return static_cast<bool>(report_.OnManualBuild); }

void ReportBuilder::manualBuild(TfrPage& page) { report_.OnManualBuild(page); }

bool ReportBuilder::printIfEmpty() const { return report_.PrintIfEmpty; }

void ReportBuilder::runScript(const std::vector<std::string>& script, TfrView* view) {
    if (view) {
        report_.runScript(script, *view);
        return;
    }
    for (const std::string& line : script)
        if (line.find_first_not_of(" \t") != std::string::npos)
            throw Error("Сценарии страниц не поддерживаются");
}

}  // namespace quor
