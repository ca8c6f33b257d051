#pragma once

// Shared by the view body fuzz targets: the first input byte picks the
// stream version (21 to 24) and template or prepared mode, the rest is a
// view body. Whatever a reader accepts must write and read back to the same
// bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_state.h"
#include "engine/stream.h"
#include "platform/error.h"

namespace fuzzing {

struct BodyInput {
    int version = 0;
    bool prepared = false;
    std::string_view body;
};

inline bool splitInput(const std::uint8_t* data, std::size_t size, BodyInput& out) {
    if (size < 1) return false;
    out.version = 21 + (data[0] & 3);
    out.prepared = (data[0] & 4) != 0;
    out.body = std::string_view(reinterpret_cast<const char*>(data + 1), size - 1);
    return true;
}

template <class View>
std::string writeBody(View& v) {
    quor::StreamWriter w(quor::kCurrentStreamVersion);
    v.SaveToStream(w);
    return w.take();
}

// Reads `v` from the body and checks the round trip; traps on a fault.
// Returns false when the writer refused what was read (old-layout lists may
// hold more or longer lines than the counted layout can).
template <class View>
bool readAndRoundTrip(View& v, const BodyInput& input) {
    quor::engine().streamVersion = input.version;
    quor::StreamReader in(input.body);
    v.preparedMode = input.prepared;
    v.LoadFromStream(in);
    if (in.position() > input.body.size() && !in.ranShort()) __builtin_trap();

    std::string first;
    try {
        first = writeBody(v);
    } catch (const quor::FormatError&) {
        return false;
    }
    quor::engine().streamVersion = quor::kCurrentStreamVersion;
    quor::StreamReader again(first);
    View back;
    back.preparedMode = input.prepared;
    back.LoadFromStream(again);
    if (again.ranShort() || again.position() != first.size()) __builtin_trap();
    if (writeBody(back) != first) __builtin_trap();
    return true;
}

}  // namespace fuzzing
