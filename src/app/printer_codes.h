#pragma once

// Printer control sequences in a DOS printout: the Epson ESC/P and ESC/P2
// commands with their exact parameter lengths, the single control bytes
// that only switch a printer's mode, and PCL escape sequences. What is left
// once they are taken out is the text the printer printed.

#include <cstddef>
#include <string_view>

namespace quor {

// The length of the control sequence that starts at `at`, 0 when the byte
// there is text (line ends, form feeds, tabs and ^Z are text here). A
// sequence cut off by the end of `bytes` reaches exactly to the end: its
// missing parameters are never looked for beyond it.
std::size_t printerCodeLength(std::string_view bytes, std::size_t at);

}  // namespace quor
