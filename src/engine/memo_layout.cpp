#include "engine/memo_layout.h"

#include <algorithm>
#include <cstdlib>

#include "platform/error.h"
#include "platform/messages.h"
#include "platform/numbers.h"

namespace quor {
namespace {

// "Межстрочный интервал ... недопустим": a line spacing that does not move down.
constexpr int kMsgLineSpacingTooSmall = 55410;

constexpr char kCR = '\r';
constexpr char kLF = '\n';

bool isBreak(char c) { return c == kCR || c == kLF; }

// Windows-1251 upper case: Latin a-z, Cyrillic а-я and ё.
unsigned char upper1251(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0) return static_cast<unsigned char>(c - 32);
    if (c == 0xB8) return 0xA8;
    return c;
}

bool isVowel1251(unsigned char c) {
    switch (c) {
        case 0xA8:  // Ё
        case 0xC0:  // А
        case 0xC5:  // Е
        case 0xC8:  // И
        case 0xCE:  // О
        case 0xD3:  // У
        case 0xDB:  // Ы
        case 0xDD:  // Э
        case 0xDE:  // Ю
        case 0xDF:  // Я
            return true;
        default:
            return false;
    }
}

bool isSign1251(unsigned char c) { return c == 0xDA /* Ъ */ || c == 0xDC /* Ь */; }

// 1-based inclusive slice s[from..to]; empty when to < from.
std::string slice(std::string_view s, std::size_t from, std::size_t to) {
    if (to < from || from < 1) return {};
    return std::string(s.substr(from - 1, to - from + 1));
}

}  // namespace

void appendAsText(std::vector<std::string>& list, std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isBreak(text[i])) continue;
        list.emplace_back(text.substr(start, i - start));
        if (text[i] == kCR && i + 1 < text.size() && text[i + 1] == kLF) ++i;
        start = i + 1;
    }
    if (start < text.size()) list.emplace_back(text.substr(start));
}

void PendingLines::dropFront(std::size_t n) {
    n = std::min(n, size());
    // Printed lines give their memory back at once.
    for (std::size_t i = head_; i < head_ + n; ++i) std::string().swap(lines_[i]);
    head_ += n;
    if (head_ == lines_.size()) clear();
}

std::vector<int> BreakPoints(std::string_view word) {
    std::vector<int> result;
    const int n = static_cast<int>(word.size());
    if (n <= 3) return result;
    std::string up(word);
    for (char& c : up) c = static_cast<char>(upper1251(static_cast<unsigned char>(c)));
    auto at = [&](int i) { return static_cast<unsigned char>(up[static_cast<std::size_t>(i - 1)]); };
    for (int i = 2; i <= n - 2; ++i) {
        const bool v0 = isVowel1251(at(i));
        const bool v1 = isVowel1251(at(i + 1));
        const bool v2 = isVowel1251(at(i + 2));
        if ((v0 && (v1 || v2)) || (!v0 && !v1 && !isSign1251(at(i + 1)) && v2)) result.push_back(i);
    }
    return result;
}

LineWrapper::LineWrapper(Canvas& canvas, int maxWidth, bool wordBreak, std::vector<std::string>& out)
    : canvas_(canvas), maxWidth_(maxWidth), wordBreak_(wordBreak), out_(out) {}

void LineWrapper::WrapLine(std::string_view s) {
    const std::size_t len = s.size();
    const bool hasBreaks = std::any_of(s.begin(), s.end(), isBreak);
    if (!hasBreaks && (len <= 1 || width(s) <= maxWidth_)) {
        add(std::string(s) + kLineEndMarker);
        return;
    }
    auto at = [&](std::size_t p) { return s[p - 1]; };

    std::size_t start = 1, lastSpace = 1, pos = 1;
    std::size_t lastGiveUpPos = 0;  // pos of the previous unhyphenated WordBreak cut
    while (pos <= len) {
        if (isBreak(at(pos))) {
            add(slice(s, start, pos - 1) + kLineEndMarker);
            while (pos < len && isBreak(at(pos))) ++pos;
            start = lastSpace = pos;
            if (isBreak(at(pos))) break;  // the line ends in breaks
            continue;
        }
        if (at(pos) != ' ' && width(slice(s, start, pos)) > maxWidth_) {
            bool hyphenated = false;
            std::size_t cut = 0;
            if (wordBreak_) {
                const std::size_t overflowPos = pos;
                std::size_t j = pos;
                while (j <= len && at(j) != ' ' && at(j) != ',' && at(j) != '-' && at(j) != '.') ++j;
                const std::vector<int> points = BreakPoints(slice(s, lastSpace + 1, j - 1));
                cut = lastSpace;
                if (!points.empty()) {
                    pos = lastSpace;
                    for (int k : points) {
                        const std::size_t candidate = lastSpace + static_cast<std::size_t>(k);
                        if (width(slice(s, start, candidate) + "-") > maxWidth_) break;
                        hyphenated = true;
                        cut = pos = candidate;
                    }
                }
                if (!hyphenated && lastSpace <= start) {
                    // The line holds no space (lastSpace may sit just before
                    // start after a word was moved down) and the word gives
                    // no hyphen: cut before the overflowing character, as
                    // without WordBreak, instead of adding empty lines.
                    pos = overflowPos;
                    cut = pos;
                }
            } else {
                cut = lastSpace == start ? pos : lastSpace;
            }

            if (hyphenated) {
                add(slice(s, start, cut) + "-");
            } else if (at(cut) == ' ') {
                add(slice(s, start, cut - 1));
            } else {
                add(slice(s, start, cut - 1));
                cut = cut - 1;
            }

            if (wordBreak_ && !hyphenated && pos == cut + 1) {
                if (pos == lastGiveUpPos) {
                    start = pos + 1;
                    pos = len;
                    break;
                }
                lastGiveUpPos = pos;
            }
            start = lastSpace = cut + 1;
        }
        if (at(pos) == ' ') lastSpace = pos;
        ++pos;
    }
    if (pos != start) add(slice(s, start, len) + kLineEndMarker);
}

int designFontHeight(int pointSize) { return clampToInt(-std::int64_t{roundClamped(pointSize * 96.0 / 72.0)}); }

int checkedLineStep(int lineSpacing, int fontPixelHeight) {
    const long long step = static_cast<long long>(lineSpacing) - fontPixelHeight;
    if (step <= 0) {
        std::string text = message(kMsgLineSpacingTooSmall);
        auto put = [&](std::string_view key, const std::string& value) {
            auto p = text.find(key);
            if (p != std::string::npos) text.replace(p, key.size(), value);
        };
        put("%1", std::to_string(lineSpacing));
        // The bound is the negated height in the text; a font sized from its
        // cell (a positive height) makes that bound a plain negative number.
        put("-%2", std::to_string(fontPixelHeight));
        put("%2", std::to_string(std::llabs(static_cast<long long>(fontPixelHeight))));
        throw Error(text);
    }
    return clampToInt(step);
}

TextLayout WrapText(Canvas& measure, const std::vector<std::string>& source, const WrapTextInput& in) {
    TextLayout layout;
    FontSpec font = in.font;
    font.height = designFontHeight(in.font.pointSize);
    if (in.turned) font.escapement = 900;
    measure.setFont(font);
    measure.setTextCharacterExtra(in.charSpacing);

    layout.lineStep = in.acceptAnyStep ? clampToInt(std::int64_t{in.lineSpacing} - font.height)
                                       : checkedLineStep(in.lineSpacing, font.height);
    const int gap = in.turned ? in.box.gapX : in.box.gapY;
    const int maxWidth = in.turned ? clampToInt(std::int64_t{in.box.height} - 2LL * in.box.gapY)
                                   : clampToInt(std::int64_t{in.box.width} - 2LL * in.box.gapX);

    layout.lines.reserve(source.size());
    LineWrapper wrapper(measure, maxWidth, in.wordBreak, layout.lines);
    const bool keepBracketLine = in.editing && in.wordWrap && source.size() == 1 &&
                                 !source[0].empty() && source[0][0] == '[' &&
                                 measure.textWidth(source[0]) > maxWidth;
    for (const std::string& line : source) {
        if (in.textIsPrepared) {
            layout.lines.push_back(line);
        } else if (keepBracketLine) {
            layout.lines.push_back(in.turned ? line : line + kLineEndMarker);
        } else if (in.wordWrap) {
            wrapper.WrapLine(line);
        } else {
            layout.lines.push_back(in.turned ? line : line + kLineEndMarker);
        }
    }
    // Every line moves the pen on by one step; the gaps frame the block.
    const long long height = static_cast<long long>(layout.lines.size()) * layout.lineStep + 2LL * gap;
    layout.textHeight = clampToInt(height);
    return layout;
}

}  // namespace quor
