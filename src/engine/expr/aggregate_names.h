#pragma once

// How an aggregate call names its accumulator on a data band and which
// data band it belongs to; the data loop registers and reads accumulators
// with these.

#include <optional>
#include <string>

#include "engine/expr/hosts.h"

namespace quor {

// The entry name: parts separated by the character with code 1: the column
// part (only for a band that holds cross cells: "0" when registering, the
// cross column number when reading), the calling band's name, the function
// code as one character, the expression, the option, and a final separator.
std::string aggregateEntryName(const AggregateCall& call, const std::string& callingBand,
                               const std::optional<std::string>& columnPart = std::nullopt);

// Start value of an accumulator: 1e300 for MIN, 0 otherwise.
double aggregateStartValue(int code);

// The kind of the data band whose records a band of `callingKind` reports
// on when the call names none (1, 3, 6, 17: master data 5; 9: detail data 8;
// 12: subdetail data 11; 20: cross data 19); nothing for other kinds.
std::optional<int> reportedDataKind(int callingKind);

}  // namespace quor
