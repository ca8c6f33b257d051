#pragma once

// Where a PDF puts its glyphs: the page content streams are inflated and
// their text operators followed (q/Q, cm, BT, Tf, Tm, Td, Tj), so that every
// glyph comes out with its page, font size, glyph code and origin in points.
// Glyphs are kept as text blocks (the glyphs of one baseline), which can be
// written compactly (the steps between glyphs run-length coded, the codes
// hashed) and read back, so a PDF can be compared with one made earlier.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace quor::test {

struct PdfTextBlock {
    int page = 0;
    double fontSize = 0;
    std::vector<std::uint16_t> glyphs;  // codes (not kept in the written form)
    std::uint64_t glyphHash = 0;        // of the codes, in order
    std::vector<double> x, y;           // origin of each glyph

    void hashGlyphs() {
        glyphHash = 1469598103934665603ull;
        for (std::uint16_t g : glyphs) glyphHash = (glyphHash ^ g) * 1099511628211ull;
    }
};

namespace pdfglyphs {

// a b c d e f, applied to row vectors as PDF does.
using Matrix = std::array<double, 6>;
inline constexpr Matrix kIdentity{1, 0, 0, 1, 0, 0};

inline Matrix multiply(const Matrix& m, const Matrix& n) {  // m then n
    return {m[0] * n[0] + m[1] * n[2], m[0] * n[1] + m[1] * n[3], m[2] * n[0] + m[3] * n[2],
            m[2] * n[1] + m[3] * n[3], m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
}

inline QByteArray inflate(const QByteArray& deflated) {
    // qUncompress wants the expected size in front; it grows as needed.
    QByteArray framed(4, '\0');
    const quint32 guess = static_cast<quint32>(std::min<qsizetype>(deflated.size() * 8, 1 << 26));
    for (int i = 0; i < 4; ++i) framed[i] = static_cast<char>((guess >> (24 - 8 * i)) & 0xFF);
    return qUncompress(framed + deflated);
}

// The inflated content streams of the pages, in file order.
inline std::vector<QByteArray> contentStreams(const QByteArray& pdf) {
    std::vector<QByteArray> out;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype s = pdf.indexOf("stream", pos);
        if (s < 0) break;
        if (s >= 3 && pdf.mid(s - 3, 3) == "end") {
            pos = s + 6;
            continue;
        }
        qsizetype begin = s + 6;
        if (begin < pdf.size() && pdf[begin] == '\r') ++begin;
        if (begin < pdf.size() && pdf[begin] == '\n') ++begin;
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0) break;
        const qsizetype dict = pdf.lastIndexOf("<<", s);
        const bool flate = dict >= 0 && pdf.mid(dict, s - dict).contains("/FlateDecode");
        QByteArray data = pdf.mid(begin, end - begin);
        if (flate) data = inflate(data);
        if (data.contains("BT\n") && data.contains(" Tj")) out.push_back(data);
        pos = end + 9;
    }
    return out;
}

inline void readPage(const QByteArray& content, int page, std::vector<PdfTextBlock>& blocks) {
    std::vector<Matrix> stack;
    Matrix ctm = kIdentity, tm = kIdentity, tlm = kIdentity;
    double fontSize = 0;
    std::vector<double> nums;
    std::string hex;
    qsizetype i = 0;
    const qsizetype n = content.size();
    auto isDelim = [](char c) { return std::string_view(" \t\r\n\f/<>[]()%").find(c) != std::string_view::npos; };
    while (i < n) {
        const char c = content[i];
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f') {
            ++i;
        } else if (c == '%') {
            while (i < n && content[i] != '\n') ++i;
        } else if (c == '<' && i + 1 < n && content[i + 1] == '<') {
            i += 2;
        } else if (c == '>' && i + 1 < n && content[i + 1] == '>') {
            i += 2;
        } else if (c == '<') {
            const qsizetype e = content.indexOf('>', i);
            hex = content.mid(i + 1, (e < 0 ? n : e) - i - 1).toStdString();
            i = e < 0 ? n : e + 1;
        } else if (c == '(') {
            int depth = 0;
            for (; i < n; ++i) {
                if (content[i] == '\\') ++i;
                else if (content[i] == '(') ++depth;
                else if (content[i] == ')' && --depth == 0) break;
            }
            ++i;
        } else if (c == '/' || c == '[' || c == ']') {
            ++i;
            while (c == '/' && i < n && !isDelim(content[i])) ++i;
        } else {
            qsizetype e = i;
            while (e < n && !isDelim(content[e])) ++e;
            const QByteArray word = content.mid(i, e - i);
            i = e;
            bool ok = false;
            const double v = word.toDouble(&ok);
            if (ok) {
                nums.push_back(v);
                continue;
            }
            auto last = [&](size_t k) { return nums.size() >= k ? &nums[nums.size() - k] : nullptr; };
            if (word == "q") {
                stack.push_back(ctm);
            } else if (word == "Q") {
                if (!stack.empty()) ctm = stack.back(), stack.pop_back();
            } else if (word == "cm" || word == "Tm") {
                if (const double* a = last(6)) {
                    const Matrix m{a[0], a[1], a[2], a[3], a[4], a[5]};
                    if (word == "cm") ctm = multiply(m, ctm);
                    else tm = tlm = m;
                }
            } else if (word == "BT") {
                tm = tlm = kIdentity;
                blocks.push_back(PdfTextBlock{page, fontSize, {}, {}, {}});
            } else if (word == "Tf") {
                if (const double* a = last(1)) fontSize = a[0];
                if (!blocks.empty() && blocks.back().glyphs.empty()) blocks.back().fontSize = fontSize;
            } else if (word == "Td") {
                if (const double* a = last(2)) tm = tlm = multiply(Matrix{1, 0, 0, 1, a[0], a[1]}, tlm);
            } else if (word == "Tj" && !blocks.empty()) {
                const Matrix m = multiply(tm, ctm);
                PdfTextBlock& b = blocks.back();
                b.glyphs.push_back(static_cast<std::uint16_t>(std::stoul(hex.empty() ? "0" : hex, nullptr, 16)));
                b.x.push_back(m[4]);
                b.y.push_back(m[5]);
            }
            nums.clear();
        }
    }
}

}  // namespace pdfglyphs

namespace pdfglyphs {

// Whether block b starts where block a's line goes on: ahead of a's last
// glyph, in the direction of a's last step (across the page when a holds
// one glyph).
inline bool continues(const PdfTextBlock& a, const PdfTextBlock& b) {
    const size_t n = a.x.size();
    const double dx = n > 1 ? a.x[n - 1] - a.x[n - 2] : 1, dy = n > 1 ? a.y[n - 1] - a.y[n - 2] : 0;
    const double vx = b.x.front() - a.x.back(), vy = b.y.front() - a.y.back();
    return std::abs(dx * vy - dy * vx) < 1e-6 * (std::abs(dx) + std::abs(dy) + 1) * (std::abs(vx) + std::abs(vy) + 1) &&
           dx * vx + dy * vy > 0;
}

}  // namespace pdfglyphs

// Every text block of the PDF file; empty when it cannot be read.
inline std::vector<PdfTextBlock> pdfTextBlocks(const QString& path) {
    QFile f(path);
    std::vector<PdfTextBlock> blocks;
    if (!f.open(QIODevice::ReadOnly)) return blocks;
    const std::vector<QByteArray> pages = pdfglyphs::contentStreams(f.readAll());
    for (size_t p = 0; p < pages.size(); ++p) pdfglyphs::readPage(pages[p], static_cast<int>(p) + 1, blocks);
    std::erase_if(blocks, [](const PdfTextBlock& b) { return b.glyphs.empty(); });
    // Glyphs that go on along one baseline form one block, however many text
    // objects the writer cut them into (one per script, say).
    std::vector<PdfTextBlock> lines;
    for (PdfTextBlock& b : blocks) {
        if (!lines.empty()) {
            PdfTextBlock& l = lines.back();
            if (l.page == b.page && l.fontSize == b.fontSize && pdfglyphs::continues(l, b)) {
                l.glyphs.insert(l.glyphs.end(), b.glyphs.begin(), b.glyphs.end());
                l.x.insert(l.x.end(), b.x.begin(), b.x.end());
                l.y.insert(l.y.end(), b.y.begin(), b.y.end());
                continue;
            }
        }
        lines.push_back(std::move(b));
    }
    for (PdfTextBlock& l : lines) l.hashGlyphs();
    return lines;
}

// One line per block: page, font size, glyph count, glyph hash, first origin,
// then the steps to each next glyph as "dx,dy*count".
inline std::string writeTextBlocks(const std::vector<PdfTextBlock>& blocks) {
    std::ostringstream out;
    out.setf(std::ios::fixed);
    for (const PdfTextBlock& b : blocks) {
        out.precision(4);
        out << b.page << ' ' << b.fontSize << ' ' << b.x.size() << ' ' << std::hex << b.glyphHash
            << std::dec << ' ' << b.x[0] << ' ' << b.y[0];
        out.precision(6);
        for (size_t i = 1; i < b.x.size();) {
            const double dx = std::round((b.x[i] - b.x[i - 1]) * 1e6) / 1e6;
            const double dy = std::round((b.y[i] - b.y[i - 1]) * 1e6) / 1e6;
            size_t run = 1;
            while (i + run < b.x.size() &&
                   std::round((b.x[i + run] - b.x[i + run - 1]) * 1e6) / 1e6 == dx &&
                   std::round((b.y[i + run] - b.y[i + run - 1]) * 1e6) / 1e6 == dy)
                ++run;
            out << ' ' << dx << ',' << dy << '*' << run;
            i += run;
        }
        out << '\n';
    }
    return out.str();
}

// Blocks as written above; the glyph codes are known only by their hash.
inline std::vector<PdfTextBlock> readTextBlocks(const std::string& text) {
    std::vector<PdfTextBlock> blocks;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        PdfTextBlock b;
        size_t count = 0;
        double x = 0, y = 0;
        if (!(l >> b.page >> b.fontSize >> count >> std::hex >> b.glyphHash >> std::dec >> x >> y)) continue;
        b.x.push_back(x);
        b.y.push_back(y);
        std::string step;
        while (l >> step) {
            double dx = 0, dy = 0;
            size_t run = 0;
            if (std::sscanf(step.c_str(), "%lf,%lf*%zu", &dx, &dy, &run) != 3) break;
            for (size_t r = 0; r < run; ++r) {
                x += dx;
                y += dy;
                b.x.push_back(x);
                b.y.push_back(y);
            }
        }
        if (b.x.size() != count) b.x.clear();  // damaged line: compares as different
        blocks.push_back(std::move(b));
    }
    return blocks;
}

}  // namespace quor::test
