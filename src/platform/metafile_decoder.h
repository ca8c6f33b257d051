#pragma once

// The one place where a metafile graphic is made from file bytes: the picture
// container calls it for ".wmf" and ".emf" files and for stored metafiles.

#include <memory>
#include <string>

#include "platform/graphic.h"

namespace quor {

// `bytes` is a plain or placeable WMF file or an EMF file. The result keeps
// the bytes unchanged. Raises FormatError naming `sourceName` when the data
// cannot be played.
std::unique_ptr<Graphic> decodeMetafile(std::string bytes, const std::string& sourceName);

}  // namespace quor
