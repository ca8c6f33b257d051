#include "platform/metafile_decoder.h"

#include "platform/error.h"

namespace quor {

// The metafile player (platform/metafile/) takes this function over. Until it
// is part of the build a metafile logo is refused loudly, so a missing logo
// is never mistaken for an empty one.
std::unique_ptr<Graphic> decodeMetafile(std::string, const std::string& sourceName) {
    throw FormatError("Cannot decode picture " + sourceName +
                      ": this build has no metafile player (WMF, EMF)");
}

}  // namespace quor
