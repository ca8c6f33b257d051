#include "report/pages.h"

#include "device/printer_device.h"

namespace quor {

TfrPage& TfrPages::Add() {
    pages_.push_back(std::make_unique<TfrPage>(defaultPaperCode(), 0, 0, -1, 0));
    return *pages_.back();
}

void TfrPages::Delete(std::size_t i) {
    if (i < pages_.size()) pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TfrPages::Clear() { pages_.clear(); }

int TfrPages::indexOf(const TfrPage* page) const {
    for (std::size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i].get() == page) return static_cast<int>(i);
    return -1;
}

}  // namespace quor
