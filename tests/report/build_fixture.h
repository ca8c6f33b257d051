#pragma once

// A report built through Prepare with the expressions of its memos
// evaluated, no progress window and no windows installed; the engine state
// and the window hooks are given back afterwards.

#include "engine/engine_state.h"
#include "engine/expr/view_bridge.h"
#include "report/report_windows.h"
#include "report_fixture.h"

namespace quor::test {

class BuildTest : public ReportTest {
protected:
    void SetUp() override {
        saved_ = engine();
        savedWindows_ = reportWindows();
        reportWindows() = ReportWindows{};
        engine().expandBrackets = expandBracketsForView;
        report_.ShowProgress = false;
    }
    void TearDown() override {
        reportWindows() = savedWindows_;
        engine() = saved_;
    }

    EngineState saved_;
    ReportWindows savedWindows_;
};

}  // namespace quor::test
