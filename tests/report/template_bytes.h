#pragma once

// Builds template streams byte by byte, in any of the versions the reader
// accepts, so that tests do not depend on the writer they check.

#include <cstdint>
#include <string>
#include <vector>

namespace quor::test {

class TemplateBytes {
public:
    explicit TemplateBytes(int version = 24) : version_(version) {}

    int version() const { return version_; }
    const std::string& str() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

    TemplateBytes& u8(int v) {
        bytes_.push_back(static_cast<char>(v & 0xFF));
        return *this;
    }
    TemplateBytes& u16(int v) { return u8(v).u8(v >> 8); }
    TemplateBytes& i32(std::int64_t v) {
        auto u = static_cast<std::uint32_t>(v);
        return u16(static_cast<int>(u & 0xFFFF)).u16(static_cast<int>(u >> 16));
    }
    TemplateBytes& flag16(bool v) { return u16(v ? 0xFFFF : 0); }
    TemplateBytes& raw(const std::string& s) {
        bytes_ += s;
        return *this;
    }
    TemplateBytes& text16(const std::string& s) {
        u16(static_cast<int>(s.size()));
        raw(s);
        return u8(0);
    }
    TemplateBytes& vtext(const std::string& s) {
        if (version_ >= 23) return text16(s);
        raw(s);
        return u8(0);
    }
    TemplateBytes& lines16(const std::vector<std::string>& lines) {
        u16(static_cast<int>(lines.size()));
        if (lines.empty()) return u8(0);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            u16(static_cast<int>(lines[i].size()));
            raw(lines[i]);
            u8(i + 1 < lines.size() ? 13 : 0);
        }
        return *this;
    }
    TemplateBytes& vlines(const std::vector<std::string>& lines) {
        if (version_ >= 23) return lines16(lines);
        for (const std::string& l : lines) raw(l).u8(13);
        return u8(0);
    }

    // A placeholder for an end position, filled by patchEnd.
    std::size_t placeholder() {
        std::size_t at = bytes_.size();
        i32(0);
        return at;
    }
    void patchEnd(std::size_t at) {
        auto v = static_cast<std::uint32_t>(bytes_.size());
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }

private:
    int version_;
    std::string bytes_;
};

}  // namespace quor::test

namespace quor::test {

// The fields of a view body as a test writes them.
struct BodyFields {
    std::string name;
    int left = 0, top = 0, width = 0, height = 0;
    int flags = 0;
    int frameTyp = 0;
    int frameWidth = 1;
    std::uint32_t frameColor = 0;
    int frameStyle = 0;
    std::uint32_t fillColor = 0x1FFFFFFF;
    std::int32_t formatCode = 0;
    std::string formatString;
    std::vector<std::string> memo;
    std::vector<std::string> script;
    bool visible = true;
    int versionLow = 0;
    int gapX = 2, gapY = 1;
    std::string tag;
};

// The common body of a view in template mode, in the builder's version.
inline void writeCommonBody(TemplateBytes& b, const BodyFields& f) {
    const int v = b.version();
    if (v >= 23) b.vtext(f.name);
    if (v >= 24) b.u8(2).u8(f.versionLow);
    b.i32(f.left).i32(f.top).i32(f.width).i32(f.height);
    b.u16(f.flags).u16(f.frameTyp).i32(f.frameWidth).i32(f.frameColor).u16(f.frameStyle);
    b.i32(f.fillColor).i32(f.formatCode).vtext(f.formatString).vlines(f.memo);
    if (v >= 23) b.vlines(f.script).flag16(f.visible);
    if (v >= 24) b.u16(0).vtext(f.tag).i32(f.gapX).i32(f.gapY).u8(0);
}

// The stream header; versions below 21 write no version byte.
inline void writeHeader(TemplateBytes& b, bool useDefaultPrinter, bool twoPass,
                        const std::string& printer, bool versionByte = true) {
    if (versionByte) b.u8(b.version());
    b.flag16(useDefaultPrinter).flag16(twoPass).vtext(printer);
}

// A page record with the tag, in the builder's version, marker form.
inline void writePage(TemplateBytes& b, int paper = 9, int width = 2100, int height = 2970,
                      int orientation = 0) {
    const int v = b.version();
    b.u8(0xFF);
    if (v >= 24) b.i32(-1);
    b.i32(paper).i32(width).i32(height).i32(0).i32(0).i32(0).i32(0).u8(orientation);
    if (v <= 22) b.raw(std::string(6, '\0'));
    if (v >= 24) b.i32(0xFFFF);
    b.flag16(false).flag16(true).i32(1).i32(0);
    if (v >= 24) {
        b.u8(0).text16("").u8(3).text16("Form").i32(0x8000000F);
        b.i32(220).i32(120).i32(380).i32(300).u8(4).lines16({});
    }
}

// A band view record (tag, page index, end position in version 24).
inline void writeBand(TemplateBytes& b, const BodyFields& f, int pageIndex = 0) {
    b.u8(2).u8(pageIndex);
    std::size_t end = 0;
    if (b.version() >= 24) end = b.placeholder();
    writeCommonBody(b, f);
    if (b.version() >= 24) {
        b.text16("").i32(1).i32(200).i32(20).i32(1);
        if (f.versionLow >= 1) b.text16("");
        b.patchEnd(end);
    }
}

inline void writeEmptyDictionary(TemplateBytes& b) {
    b.u8(0xFE).u16(0xFFFE).i32(0).i32(0).i32(0);
}

}  // namespace quor::test
