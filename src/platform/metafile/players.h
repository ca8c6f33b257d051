#pragma once

// The two record players. Both walk the records in file order and stop at
// the end record or at the first record whose size does not fit the file
// (what came before it stays drawn); a record whose own fields are short or
// inconsistent is skipped.

#include <cstddef>

#include "platform/metafile/byte_view.h"
#include "platform/metafile/gdi_context.h"

namespace quor::metafile {

// WMF records start at `start` (after the standard header).
void playWmf(ByteView file, std::size_t start, GdiContext& g);

// The window a WMF sets first in an isotropic or anisotropic mapping, as
// its picture frame when it has no placeable header.
struct WmfWindow {
    bool found = false;
    double orgX = 0, orgY = 0, extX = 0, extY = 0;
};
WmfWindow findWmfWindow(ByteView file, std::size_t start);

// EMF records from the header on, up to `end`.
void playEmf(ByteView file, std::size_t end, GdiContext& g);

}  // namespace quor::metafile
