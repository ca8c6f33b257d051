#pragma once

// The ordered template pages of a report. Each page owns its views.

#include <cstddef>
#include <memory>
#include <vector>

#include "engine/page.h"

namespace quor {

class TfrReport;

class TfrPages {
public:
    explicit TfrPages(TfrReport& report) : report_(report) {}

    TfrReport& report() const { return report_; }
    std::size_t Count() const { return pages_.size(); }
    bool empty() const { return pages_.empty(); }
    TfrPage& operator[](std::size_t i) const { return *pages_.at(i); }

    // A new page on the printer device's default paper, appended.
    TfrPage& Add();
    void Delete(std::size_t i);
    void Clear();

    // The index of a page of this list, or -1.
    int indexOf(const TfrPage* page) const;

private:
    TfrReport& report_;
    std::vector<std::unique_ptr<TfrPage>> pages_;
};

}  // namespace quor
