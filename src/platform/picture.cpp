#include "platform/picture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

#include "platform/error.h"
#include "platform/metafile_decoder.h"
#include "platform/raster_graphic.h"

namespace quor {
namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// The whole of a regular file; nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) return std::nullopt;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

}  // namespace

std::optional<GraphicKind> graphicKindForExtension(std::string_view extension) {
    const std::string ext = lowerCase(extension);
    if (ext == "bmp") return GraphicKind::Bitmap;
    if (ext == "ico") return GraphicKind::Icon;
    if (ext == "wmf" || ext == "emf") return GraphicKind::Metafile;
    if (ext == "jpg" || ext == "jpeg") return GraphicKind::Jpeg;
    return std::nullopt;
}

std::string fileExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
    return std::string(path.substr(dot + 1));
}

std::unique_ptr<Graphic> decodeGraphic(GraphicKind kind, std::string bytes, const std::string& sourceName) {
    switch (kind) {
        case GraphicKind::Bitmap: return decodeBitmap(std::move(bytes), sourceName);
        case GraphicKind::Icon: return decodeIcon(std::move(bytes), sourceName);
        case GraphicKind::Jpeg: return decodeJpegGraphic(std::move(bytes), sourceName);
        case GraphicKind::Metafile: return decodeMetafile(std::move(bytes), sourceName);
    }
    throw FormatError("Cannot decode picture " + sourceName + ": unknown graphic kind");
}

void Picture::loadFromFile(const std::string& path) {
    // The extension is judged before the file is opened.
    const std::string extension = fileExtension(path);
    const std::optional<GraphicKind> kind = graphicKindForExtension(extension);
    if (!kind) throw FormatError("Unknown picture file extension (." + extension + ")");
    std::optional<std::string> bytes = readFile(path);
    if (!bytes) throw Error("Cannot open file " + path);
    graphic_ = decodeGraphic(*kind, std::move(*bytes), path);
}

void Picture::loadFromBytes(GraphicKind kind, std::string bytes, const std::string& sourceName) {
    graphic_ = decodeGraphic(kind, std::move(bytes), sourceName);
}

}  // namespace quor
