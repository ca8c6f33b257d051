#pragma once

// Upper and lower case of byte text in the code page of a font character
// set (255: CP866, 204 and 1: CP1251, others: CP1252). Bytes that are no
// letters stay as they are, so box drawing and control bytes survive.

#include <string>
#include <string_view>

namespace quor {

std::string upperCaseText(std::string_view text, int charset);
std::string lowerCaseText(std::string_view text, int charset);

}  // namespace quor
