#pragma once

// The record loop of a page pass: data bands of three levels with their
// headers, footers and groups, the pending-band stack that shows a header
// only together with the first record below it, the accumulators behind
// SUM, AVG, MIN, MAX and COUNT, subreports recorded and replayed inside a
// band, and cross cells printed across a band.

#include <string>
#include <vector>

#include "engine/build_state.h"
#include "engine/expr/hosts.h"

namespace quor {

class TfrBand;
class TfrPage;
struct AggregateEntry;

// Bands waiting to be shown, in order. No push is ever lost: the list grows
// as needed.
class PendingBands {
public:
    explicit PendingBands(TfrPage& page) : page_(page) {}
    void Push(TfrBand* band);
    // Shows every pushed band that exists, in order, then empties the list.
    void Flush();
    void dropTop() { bands_.pop_back(); }
    bool empty() const { return bands_.empty(); }

private:
    TfrPage& page_;
    std::vector<TfrBand*> bands_;
};

class TfrDataLoop : public DataLoop, public AggregateHost {
public:
    explicit TfrDataLoop(BuildState& state) : state_(state) {}

    // DataLoop
    void run(TfrPage& page, int depth) override;
    void accumulate(TfrBand& band) override;
    void resetAggregates(TfrBand& band) override;
    bool drawSubreports(TfrBand& band, std::size_t index) override;
    void drawCrossCells(TfrBand& band) override;
    void prepareSources(TfrPage& page) override;

    // AggregateHost
    bool collecting() const override { return preparing_ != nullptr; }
    void registerCall(const AggregateCall& call) override;
    Variant accumulator(const AggregateCall& call) override;
    int recordCount(const AggregateCall& call) override;

    // Step 2 of running subreports, again after a page break; false while
    // some are unfinished. Replay continues a resumed band with it.
    bool runSubreports(TfrBand& band);

private:
    class Pass;
    // The data band a calling band's aggregate call reports on.
    TfrBand* dataBandOf(TfrBand& calling, const AggregateCall& call) const;
    const AggregateEntry* entryOf(const AggregateCall& call);
    void registerBandCalls(TfrBand& data, TfrBand& calling);
    void finishSubreports(TfrBand& band, int lowest);

    BuildState& state_;
    // The data band whose accumulators are being registered, else null.
    TfrBand* preparing_ = nullptr;
};

// Evaluates a group header's condition.
Variant groupValue(const TfrBand& header);

}  // namespace quor
