#pragma once

// Small stand-ins for the report, page and band a view talks to, a concrete
// view that draws background and frame, and a fixture that puts the
// engine-wide state back after every test.

#include <gtest/gtest.h>

#include "engine/engine_state.h"
#include "engine/view.h"
#include "engine/view_context.h"

namespace quor::viewtest {

class BoxView : public TfrView {
public:
    BoxView() { baseName = "Box"; }
    std::string className() const override { return "TBoxView"; }
    void Draw(Canvas& c) override {
        AttachCanvas(c);
        ApplyScale();
        DrawBackground();
        DrawFrame();
        RestoreGeometry();
    }
};

class FakeReport : public ReportContext {
public:
    std::vector<TfrView*> objects;
    std::vector<std::string> scriptsRun;
    std::vector<std::pair<TfrView*, int>> exported;  // view, Left
    ExportSink* sink = nullptr;

    std::vector<TfrView*> allObjects() const override { return objects; }
    void beforePrint(std::vector<std::string>& lines, TfrView&) override { lines.push_back("hooked"); }
    void runScript(const std::vector<std::string>& script, TfrView&) override {
        for (const auto& l : script) scriptsRun.push_back(l);
    }
    ExportSink* exportSink() override { return sink; }
};

class FakePage : public PageContext {
public:
    int left = 10, right = 710;
    std::vector<TfrView*> views;
    int printableLeft() const override { return left; }
    int printableRight() const override { return right; }
    std::vector<TfrView*> objects() const override { return views; }
};

class FakeBand : public BandContext {
public:
    Rect rect{0, 100, 700, 140};
    bool cross = false;
    Rect bandRect() const override { return rect; }
    bool isCrossBand() const override { return cross; }
    Point placementShift() const override { return Point{}; }
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = engine(); }
    void TearDown() override { engine() = saved_; }

private:
    EngineState saved_;
};

}  // namespace quor::viewtest
