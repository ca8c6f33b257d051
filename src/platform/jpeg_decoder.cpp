#include "platform/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/error.h"
#include "platform/picture_limits.h"

namespace quor {
namespace {

// libjpeg's default error handler ends the process; ours jumps back to the
// decoder, which turns the message into an exception.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
    bool sawEnd;      // the source ran out of bytes
    bool sawMissing;  // the decoder needed bits that were not there
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->text);
    std::longjmp(errors->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level < 0) {
        // Corrupt entropy data is drawn as well as it goes. A file that stops
        // inside the picture data is refused, because the rest would be grey;
        // one that only lacks its end marker is whole.
        if (errors->base.msg_code == JWRN_JPEG_EOF) errors->sawEnd = true;
        if (errors->base.msg_code == JWRN_HIT_MARKER) errors->sawMissing = true;
        errors->base.num_warnings++;
    }
}

// Everything the decoder touches after setjmp lives here, behind a pointer,
// so a long jump leaves no half-updated local variables behind.
struct Session {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    bool created = false;
    RasterImage image;
    std::vector<JSAMPLE> row;
    const char* failure = nullptr;  // our own reason, when libjpeg has none

    ~Session() {
        if (created) jpeg_destroy_decompress(&info);
    }
};

inline std::uint32_t opaque(unsigned r, unsigned g, unsigned b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

void convertRow(const Session& s, std::uint32_t* out) {
    const JSAMPLE* in = s.row.data();
    const int width = s.image.width;
    switch (s.info.out_color_space) {
        case JCS_GRAYSCALE:
            for (int x = 0; x < width; ++x) out[x] = opaque(in[x], in[x], in[x]);
            break;
        case JCS_CMYK: {
            // Files with an Adobe marker store the inks inverted (255 = no ink).
            const bool inverted = s.info.saw_Adobe_marker;
            for (int x = 0; x < width; ++x, in += 4) {
                unsigned c = in[0], m = in[1], y = in[2], k = in[3];
                if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
                out[x] = opaque((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
            }
            break;
        }
        default:
            for (int x = 0; x < width; ++x, in += 3) out[x] = opaque(in[0], in[1], in[2]);
            break;
    }
}

// Returns false when libjpeg or our checks gave up; the reason is in `s`.
bool run(Session& s, const unsigned char* data, unsigned long size) {
    s.info.err = jpeg_std_error(&s.errors.base);
    s.errors.base.error_exit = onError;
    s.errors.base.emit_message = onMessage;
    if (setjmp(s.errors.jump)) return false;

    jpeg_create_decompress(&s.info);
    s.created = true;
    jpeg_mem_src(&s.info, data, size);
    jpeg_read_header(&s.info, TRUE);

    switch (s.info.jpeg_color_space) {
        case JCS_GRAYSCALE: s.info.out_color_space = JCS_GRAYSCALE; break;
        case JCS_CMYK:
        case JCS_YCCK: s.info.out_color_space = JCS_CMYK; break;
        default: s.info.out_color_space = JCS_RGB; break;
    }
    const unsigned long long pixels =
        static_cast<unsigned long long>(s.info.image_width) * s.info.image_height;
    if (pixels == 0 || pixels > kMaxPicturePixels) {
        s.failure = "the image is too large";
        return false;
    }

    jpeg_start_decompress(&s.info);
    const int expected = s.info.out_color_space == JCS_GRAYSCALE ? 1
                         : s.info.out_color_space == JCS_CMYK    ? 4
                                                                 : 3;
    if (s.info.output_components != expected) {
        s.failure = "unsupported colour layout";
        return false;
    }
    s.image.width = static_cast<int>(s.info.output_width);
    s.image.height = static_cast<int>(s.info.output_height);
    s.image.pixels.assign(static_cast<std::size_t>(s.image.width) * s.image.height, 0);
    s.row.assign(static_cast<std::size_t>(s.image.width) * expected, 0);

    while (s.info.output_scanline < s.info.output_height) {
        JSAMPROW rows[1] = {s.row.data()};
        const unsigned y = s.info.output_scanline;
        if (jpeg_read_scanlines(&s.info, rows, 1) != 1) {
            s.failure = "the data ends early";
            return false;
        }
        convertRow(s, s.image.pixels.data() + static_cast<std::size_t>(y) * s.image.width);
        if (s.errors.sawEnd && s.errors.sawMissing) {
            s.failure = "the data ends early";
            return false;
        }
    }
    // The trailer after the last row is of no interest; destroying the
    // session aborts the decompression.
    return true;
}

}  // namespace

RasterImage decodeJpeg(std::string_view bytes, const std::string& sourceName) {
    auto session = std::make_unique<Session>();
    if (!run(*session, reinterpret_cast<const unsigned char*>(bytes.data()),
             static_cast<unsigned long>(bytes.size()))) {
        const char* reason = session->failure ? session->failure : session->errors.text;
        throw FormatError("Cannot decode picture " + sourceName + ": " + reason);
    }
    return std::move(session->image);
}

}  // namespace quor
