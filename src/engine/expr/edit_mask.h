#pragma once

// The platform's edit-mask formatter (FORMATTEXT): mask characters
// L l A a C c 0 9 # take the next character of the text, > < <> switch
// case, \ quotes the next character, : and / are the time and date
// separators, anything else is a literal. After the mask, ";" separates the
// literal-saving flag ('0': the text holds no literals) and the blank
// character used when the text runs out.

#include <string>
#include <string_view>

namespace quor {

std::string formatMaskText(std::string_view mask, std::string_view text);

}  // namespace quor
