#pragma once

// Positions and sizes read from a stream, kept within a range no real page
// comes near (over a kilometre of design pixels), so that the sums a build
// makes of them cannot overflow, whatever a damaged stream holds.

#include <algorithm>
#include <cstdint>

namespace quor {

inline constexpr std::int32_t kMaxStoredCoordinate = 1 << 22;

inline std::int32_t storedCoordinate(std::int32_t v) {
    return std::clamp(v, -kMaxStoredCoordinate, kMaxStoredCoordinate);
}

}  // namespace quor
