#pragma once

// The compressor of prepared-report files: a replaceable object with an
// Enabled flag and two operations. The one the program installs is
// disabled and does nothing, so files are written uncompressed; a file
// marked compressed then reads as pages without content.

#include <string_view>

namespace quor {

class StreamWriter;

class TfrCompressor {
public:
    virtual ~TfrCompressor() = default;

    bool Enabled = false;

    // Appends the packed or unpacked form of `source` to `dest`.
    virtual void Compress(std::string_view source, StreamWriter& dest);
    virtual void DeCompress(std::string_view source, StreamWriter& dest);
};

// The compressor in use: engine().compressor when one is installed, else
// the program's disabled one.
TfrCompressor& activeCompressor();

}  // namespace quor
