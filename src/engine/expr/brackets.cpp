#include "engine/expr/brackets.h"

namespace quor {

std::size_t findBracketEnd(std::string_view text, std::size_t start, bool* closed) {
    if (closed) *closed = false;
    if (start >= text.size()) return start;
    int depth = 0;
    bool single = false, dbl = false;
    std::size_t j = start;
    for (;;) {
        char c = text[j];
        if (!single && !dbl) {
            if (c == '[') ++depth;
            else if (c == ']') --depth;
        }
        if (!single && c == '"') dbl = !dbl;
        if (!dbl && c == '\'') single = !single;
        if (depth == 0) {
            if (closed) *closed = j > start;
            return j;
        }
        if (j + 1 >= text.size()) return j;
        ++j;
    }
}

std::string expandBracketsWith(std::string_view text, const std::function<std::string(std::string_view)>& value) {
    std::string out;
    std::size_t done = 0;  // text before this index is in `out`
    for (;;) {
        std::size_t i = done;
        while (i + 1 < text.size() && text[i] != '[') ++i;
        if (i >= text.size()) break;
        std::size_t j = findBracketEnd(text, i);
        if (j == i) break;
        out.append(text, done, i - done);
        out += value(text.substr(i + 1, j - i - 1));
        done = j + 1;
    }
    out.append(text, done);
    return out;
}

}  // namespace quor
