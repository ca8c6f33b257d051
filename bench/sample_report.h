#pragma once

// The portrait built-in template with a DOS-like document poured into FM1,
// as the print job sets it up, ready for Prepare.

#include <memory>
#include <string>

#include "sample_document.h"
#include "engine/engine_state.h"
#include "engine/memo_view.h"
#include "engine/stream.h"
#include "report/builtin_templates.h"
#include "report/report.h"

inline std::unique_ptr<quor::TfrReport> sampleReport(int lines) {
    using namespace quor;
    engine().expandBrackets = [](TfrView&, const std::string& text) { return text; };
    auto report = std::make_unique<TfrReport>("frRep");
    report->ShowProgress = false;
    const std::string bytes = openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName);
    StreamReader in(bytes);
    report->LoadFromStream(in);
    report->TemplatePages[0].Margins.top = 36;
    auto& fm1 = dynamic_cast<TfrMemoView&>(*report->FindView("FM1"));
    fm1.Font.charset = kOemCharset;
    fm1.Memo = sampleDocument(lines);
    return report;
}
