#include "engine/expr/aggregate_names.h"

namespace quor {

std::string aggregateEntryName(const AggregateCall& call, const std::string& callingBand,
                               const std::optional<std::string>& columnPart) {
    constexpr char kSep = '\x01';
    std::string name;
    if (columnPart) name += *columnPart + kSep;
    name += callingBand;
    name += kSep;
    name += static_cast<char>(call.code);
    name += kSep;
    name += call.expression;
    name += kSep;
    name += call.option;
    name += kSep;
    return name;
}

double aggregateStartValue(int code) { return code == kAggregateMin ? 1e300 : 0.0; }

std::optional<int> reportedDataKind(int callingKind) {
    switch (callingKind) {
    case 1: case 3: case 6: case 17:
        return 5;
    case 9:
        return 8;
    case 12:
        return 11;
    case 20:
        return 19;
    default:
        return std::nullopt;
    }
}

}  // namespace quor
