// The data-source component: its operations, the count range and the
// events that let the application move and end it.

#include <gtest/gtest.h>

#include <string>

#include "engine/dataset.h"
#include "platform/error.h"

namespace quor::test {
namespace {

// Steps: F first, N next, P prior; after each, the record number, whether
// the source is at its end, and the events raised so far.
TEST(DatasetTest, OperationsMoveTheRecordAndRaiseTheEvents) {
    struct Case {
        const char* name;
        RangeEnd end;
        int count;
        bool eofAtTwo;  // OnCheckEOF ends the source at record 2
        const char* steps;
        const char* expected;  // per step: RecNo, "e" when at its end, then the events
    };
    const Case cases[] = {
        {"count 2", RangeEnd::reCount, 2, false, "FNNN", "0f 1n 2e 3e"},
        {"count 0", RangeEnd::reCount, 0, false, "FN", "0fe 1e"},
        {"last, ended by the event", RangeEnd::reLast, 0, true, "FNNP", "0f 1n 2ne 1p"},
        {"last, never ended", RangeEnd::reLast, 0, false, "FNN", "0f 1n 2n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TfrUserDataset ds;
        ds.rangeEnd = c.end;
        ds.RangeEndCount = c.count;
        std::string events;
        ds.OnFirst = [&](TfrDataset&) { events += "f"; };
        ds.OnNext = [&](TfrDataset&) { events += "n"; };
        ds.OnPrior = [&](TfrDataset&) { events += "p"; };
        if (c.eofAtTwo) ds.OnCheckEOF = [](const TfrDataset& d, bool& eof) { eof = d.RecNo >= 2; };
        std::string got;
        for (const char* s = c.steps; *s; ++s) {
            events.clear();
            if (*s == 'F') ds.First();
            if (*s == 'N') ds.Next();
            if (*s == 'P') ds.Prior();
            if (!got.empty()) got += " ";
            got += std::to_string(ds.RecNo) + events + (ds.Eof() ? "e" : "");
        }
        EXPECT_EQ(got, c.expected);
    }
}

TEST(DatasetTest, CountSourcesAndFormsFindTheirParts) {
    auto three = makeCountSource(3);
    int records = 0;
    for (three->First(); !three->Eof(); three->Next()) ++records;
    EXPECT_EQ(records, 3);

    TfrUserDataset rows;
    rows.Name = "Rows";
    TfrComponentOwner form;
    form.Components = {nullptr, &rows};
    EXPECT_EQ(form.FindComponent("ROWS"), &rows);
    EXPECT_EQ(form.FindComponent("Other"), nullptr);

    // A source that cannot go back says so.
    struct Forward : BandDataSource {
        void Init() override {}
        void First() override {}
        void Next() override {}
        bool Eof() const override { return true; }
    } forward;
    EXPECT_THROW(forward.Prior(), Error);
}

}  // namespace
}  // namespace quor::test
