#pragma once

// The page and band engine run over a loaded template with a host that
// records every page, every printed view and every event.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/engine_state.h"
#include "engine/memo_layout.h"
#include "engine/memo_view.h"
#include "engine/page.h"
#include "engine/picture_view.h"
#include "platform/numbers.h"
#include "report/builtin_templates.h"
#include "report_fixture.h"

namespace quor::test {

struct PrintedView {
    std::string name;
    int left = 0, top = 0, width = 0, height = 0;
    int lines = 0;  // memo lines written
};

class RecordingHost : public BuildHost {
public:
    bool stop = false;
    std::vector<std::vector<PrintedView>> pages;
    std::vector<std::string> events;
    std::function<void(TfrBand&)> onBeginBand;
    bool ifEmpty = true;

    bool& stopFlag() override { return stop; }
    int preparedCount() const override { return static_cast<int>(pages.size()); }
    void addPreparedPage(const TfrPage&) override {
        pages.emplace_back();
        events.push_back("BeginPage " + std::to_string(state->CurrentPageIndex));
    }
    void writeView(int index, TfrView& view) override {
        auto* memo = dynamic_cast<TfrMemoView*>(&view);
        const bool part = memo && memo->drawMode == DrawMode::drawPart;
        StreamWriter out;
        view.WriteToPage(out);
        PrintedView p{view.Name, view.Left, view.Top, view.Width, view.Height, 0};
        if (memo) p.lines = part ? memo->linesDrawn : static_cast<int>(memo->workLines.size());
        pages.at(static_cast<std::size_t>(index)).push_back(p);
    }
    void beginBand(TfrBand& band) override {
        events.push_back("BeginBand " + std::to_string(band.Kind) + " " + band.Name);
        if (onBeginBand) onBeginBand(band);
    }
    void endBand(TfrBand& band) override { events.push_back("EndBand " + std::to_string(band.Kind)); }
    void endPage(int n) override { events.push_back("EndPage " + std::to_string(n)); }
    void progress(int) override {}
    bool hasManualBuild() const override { return false; }
    void manualBuild(TfrPage&) override {}
    bool printIfEmpty() const override { return ifEmpty; }
    void runScript(const std::vector<std::string>&, TfrView*) override {}
    void afterPrint() override {}

    BuildState* state = nullptr;
};

class BandBuildTest : public ReportTest {
protected:
    void SetUp() override {
        saved_ = engine();
        engine().documentMode = true;
        engine().expandBrackets = [](TfrView&, const std::string& text) { return text; };
        state_.host = &host_;
        state_.reportName = "frRep";
        host_.state = &state_;
    }
    void TearDown() override { engine() = saved_; }

    // A built-in template with FM1 set up as the print job does.
    void loadBuiltin(const char* type, int lines, int columns = 80) {
        load(openBuiltinTemplate(type, kBuiltinTemplateName));
        page().Margins.top = 36;
        memo().LineSpacing = 2;
        memo().Font.pointSize = 10;
        memo().Font.charset = 255;
        memo().Memo.clear();
        for (int i = 0; i < lines; ++i) {
            std::string line = std::to_string(i);
            line.resize(static_cast<std::size_t>(columns), '.');
            memo().Memo.push_back(line);
        }
    }
    // A new host and build state for another build.
    void fresh() {
        host_ = RecordingHost{};
        host_.state = &state_;
        state_ = BuildState{};
        state_.host = &host_;
        state_.reportName = "frRep";
    }
    // A template of our own: one empty report page with margins of 36.
    TfrPage& blankPage() {
        report_.TemplatePages.Clear();
        TfrPage& p = report_.TemplatePages.Add();
        p.Margins = PageMargins{36, 36, 36, 36};
        return p;
    }
    TfrBandView& addBand(const std::string& name, int kind, int top, int height, std::uint16_t flags = 0) {
        auto v = std::make_unique<TfrBandView>();
        v->Name = name;
        v->FrameTyp = static_cast<std::uint16_t>(kind);
        v->SetBounds(0, top, 700, height);
        v->Flags = flags;
        return static_cast<TfrBandView&>(*page().addObject(std::move(v)));
    }
    // A memo of `lines` numbered lines in the engine's default font.
    TfrMemoView& addMemo(const std::string& name, int left, int top, int width, int height, int lines) {
        auto v = std::make_unique<TfrMemoView>();
        v->Name = name;
        v->SetBounds(left, top, width, height);
        for (int i = 0; i < lines; ++i) v->Memo.push_back("line " + std::to_string(i));
        return static_cast<TfrMemoView&>(*page().addObject(std::move(v)));
    }
    // An empty picture (prints its frame only); not stretched with the band.
    TfrPictureView& addPicture(const std::string& name, int left, int top, int width, int height) {
        auto v = std::make_unique<TfrPictureView>();
        v->Name = name;
        v->SetBounds(left, top, width, height);
        v->Flags = 0;
        return static_cast<TfrPictureView&>(*page().addObject(std::move(v)));
    }
    // The step between two lines of a memo.
    static int stepOf(TfrMemoView& m) { return m.SmallestHeight() - roundInt(2 * m.FrameWidth) - 2 * m.GapY; }

    TfrPage& page() { return report_.TemplatePages[0]; }
    TfrMemoView& memo() { return dynamic_cast<TfrMemoView&>(*report_.FindView("FM1")); }
    // The memo's step between lines (its smallest piece less frame and gaps).
    int lineStep() { return memo().SmallestHeight() - 4; }

    // One build of page 0.
    void build() {
        TfrPage& p = page();
        p.InitBuild(state_);
        state_.CurrentPage = &p;
        p.FormPage();
        p.DoneBuild();
    }

    // Memo lines printed on each page.
    std::vector<int> memoLines() const {
        std::vector<int> out;
        for (const auto& pg : host_.pages) {
            int n = 0;
            for (const auto& v : pg)
                if (v.name == "FM1") n += v.lines;
            out.push_back(n);
        }
        return out;
    }
    static const PrintedView* find(const std::vector<PrintedView>& pg, const std::string& name) {
        for (const auto& v : pg)
            if (v.name == name) return &v;
        return nullptr;
    }

    EngineState saved_;
    RecordingHost host_;
    BuildState state_;
};

}  // namespace quor::test
