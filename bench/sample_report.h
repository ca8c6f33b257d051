#pragma once

// The portrait built-in template with a document poured into FM1 in the DOS
// character set, as the print job sets it up, ready for Prepare.

#include <string>
#include <vector>

#include "engine/memo_view.h"
#include "engine/stream.h"
#include "report/builtin_templates.h"
#include "report/report.h"

inline void loadSampleReport(quor::TfrReport& report, const std::vector<std::string>& doc) {
    using namespace quor;
    report.ShowProgress = false;
    const std::string bytes = openBuiltinTemplate(kPortraitTemplateType, kBuiltinTemplateName);
    StreamReader in(bytes);
    report.LoadFromStream(in);
    report.TemplatePages[0].Margins.top = 36;
    auto& fm1 = dynamic_cast<TfrMemoView&>(*report.FindView("FM1"));
    fm1.Font.charset = kOemCharset;
    fm1.Memo = doc;
}
