#include "engine/dataset.h"

#include <memory>

#include "engine/view.h"

namespace quor {

TfrComponent* TfrComponentOwner::FindComponent(std::string_view name) const {
    for (TfrComponent* c : Components)
        if (c && sameName(c->Name, name)) return c;
    return nullptr;
}

void TfrDataset::First() {
    RecNo = 0;
    if (OnFirst) OnFirst(*this);
}

void TfrDataset::Next() {
    ++RecNo;
    if (OnNext && !countReached()) OnNext(*this);
}

void TfrDataset::Prior() {
    --RecNo;
    if (OnPrior) OnPrior(*this);
}

bool TfrDataset::Eof() const {
    bool eof = countReached();
    if (OnCheckEOF) OnCheckEOF(*this, eof);
    return eof;
}

std::unique_ptr<TfrUserDataset> makeCountSource(std::int32_t count) {
    auto source = std::make_unique<TfrUserDataset>();
    source->rangeEnd = RangeEnd::reCount;
    source->RangeEndCount = count;
    return source;
}

}  // namespace quor
