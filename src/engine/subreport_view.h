#pragma once

// A sub-report view: a place in a band where another template page is built.

#include <cstdint>
#include <string>

#include "engine/view.h"

namespace quor {

class TfrSubReportView : public TfrView {
public:
    TfrSubReportView();
    std::string className() const override { return "TfrSubReportView"; }

    // Index of the template page the view shows.
    std::int32_t SubPage = 0;

    // The sub-report's page is built into the band; the view draws nothing.
    void Draw(Canvas&) override {}

    void LoadFromStream(StreamReader& in) override;
    void SaveToStream(StreamWriter& out) override;
};

}  // namespace quor
