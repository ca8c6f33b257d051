#pragma once

#include <cstdint>

namespace quor {

// Largest raster picture we decode (pixels). Logos and stamps are far
// smaller; the limit keeps a damaged header from asking for gigabytes.
inline constexpr std::uint64_t kMaxPicturePixels = 25'000'000;

}  // namespace quor
