#include "engine/expr/edit_mask.h"

#include "engine/expr/format_settings.h"
#include "engine/expr/text_case.h"

namespace quor {

std::string formatMaskText(std::string_view mask, std::string_view text) {
    std::size_t fieldEnd = mask.find(';');
    std::string_view body = mask.substr(0, fieldEnd);
    bool saveLiterals = true;
    char blank = ' ';
    if (fieldEnd != std::string_view::npos) {
        std::string_view rest = mask.substr(fieldEnd + 1);
        if (!rest.empty()) saveLiterals = rest[0] != '0';
        std::size_t second = rest.find(';');
        if (second != std::string_view::npos && second + 1 < rest.size()) blank = rest[second + 1];
    }
    const FormatSettings& fs = formatSettings();
    enum { None, Upper, Lower } mode = None;
    std::string out;
    std::size_t next = 0;  // next character of the text
    auto literal = [&](char c) {
        out += c;
        if (saveLiterals && next < text.size()) ++next;
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        switch (c) {
        case '!':
            break;
        case '>':
            mode = Upper;
            break;
        case '<':
            if (i + 1 < body.size() && body[i + 1] == '>') {
                mode = None;
                ++i;
            } else {
                mode = Lower;
            }
            break;
        case '\\':
            if (i + 1 < body.size()) literal(body[++i]);
            break;
        case 'L': case 'l': case 'A': case 'a': case 'C': case 'c': case '0': case '9': case '#': {
            if (next >= text.size()) {
                out += blank;
                break;
            }
            std::string ch(1, text[next++]);
            if (mode == Upper) ch = upperCaseText(ch, fs.charset);
            else if (mode == Lower) ch = lowerCaseText(ch, fs.charset);
            out += ch;
            break;
        }
        case ':':
            literal(fs.timeSeparator);
            break;
        case '/':
            literal(fs.dateSeparator);
            break;
        default:
            literal(c);
            break;
        }
    }
    return out;
}

}  // namespace quor
