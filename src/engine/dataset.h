#pragma once

// The data sources that data bands iterate: a component that the
// application places on a form and drives with its events, and the count
// source a band makes from a description such as "3". Components are found
// by name on the report's own form or, as Form.Component and
// Form.Frame.Component, on the forms the application lists.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/build_state.h"

namespace quor {

// Something placed on a form that can be found by name.
class TfrComponent {
public:
    virtual ~TfrComponent() = default;
    std::string Name;
};

// A form or a frame: a component holding components (not owned).
class TfrComponentOwner : public TfrComponent {
public:
    std::vector<TfrComponent*> Components;
    // The first component with this name, letter case ignored; none if absent.
    TfrComponent* FindComponent(std::string_view name) const;
};

enum class RangeBegin : std::uint8_t { rbFirst, rbCurrent };
enum class RangeEnd : std::uint8_t { reLast, reCurrent, reCount };

class TfrDataset : public TfrComponent, public BandDataSource {
public:
    RangeBegin rangeBegin = RangeBegin::rbFirst;
    RangeEnd rangeEnd = RangeEnd::reLast;
    std::int32_t RangeEndCount = 0;

    // Events, each raised only when assigned.
    std::function<void(const TfrDataset& sender, bool& eof)> OnCheckEOF;
    std::function<void(TfrDataset& sender)> OnFirst;
    std::function<void(TfrDataset& sender)> OnNext;
    std::function<void(TfrDataset& sender)> OnPrior;

    // Records moved over since First.
    std::int32_t RecNo = 0;

    void Init() override {}
    void Exit() override {}
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() const override;

    bool countReached() const { return rangeEnd == RangeEnd::reCount && RecNo >= RangeEndCount; }
};

// The data source the application places on a form and drives with the
// events; the band-made count source is one too.
class TfrUserDataset : public TfrDataset {};

// A count source of `count` records with no events.
std::unique_ptr<TfrUserDataset> makeCountSource(std::int32_t count);

}  // namespace quor
