#pragma once

// The one surface all measuring during a report build uses: a canvas over a
// small 96-dpi image, created on first use and kept for the whole run.
// The engine reaches it through its engine-wide state, which tests may point
// at another canvas.

#include "platform/canvas.h"

namespace quor {

Canvas& measureCanvas();

}  // namespace quor
