#pragma once

// The picture container of report pictures: holds at most one graphic and
// picks the graphic's class by the file extension.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/graphic.h"

namespace quor {

// "bmp", "ico", "wmf", "emf", "jpg", "jpeg" in any letter case.
std::optional<GraphicKind> graphicKindForExtension(std::string_view extension);

// The extension of the file name in `path` without its dot ("" when none).
std::string fileExtension(std::string_view path);

// Decodes `bytes` as a graphic of `kind`; raises FormatError naming `sourceName`.
std::unique_ptr<Graphic> decodeGraphic(GraphicKind kind, std::string bytes, const std::string& sourceName);

class Picture {
public:
    Picture() = default;
    Picture(Picture&&) noexcept = default;
    Picture& operator=(Picture&&) noexcept = default;

    bool isEmpty() const { return graphic_ == nullptr; }
    const Graphic* graphic() const { return graphic_.get(); }
    void clear() { graphic_.reset(); }
    void setGraphic(std::unique_ptr<Graphic> graphic) { graphic_ = std::move(graphic); }

    // Loads a picture file chosen by its extension. Raises FormatError
    // "Unknown picture file extension (.ext)", Error "Cannot open file path",
    // or the decoder's FormatError; the picture keeps its previous graphic
    // when loading fails.
    void loadFromFile(const std::string& path);

    // Loads a graphic of a known kind from bytes (stored pictures); same
    // failure rule as loadFromFile.
    void loadFromBytes(GraphicKind kind, std::string bytes, const std::string& sourceName);

private:
    std::unique_ptr<Graphic> graphic_;
};

}  // namespace quor
