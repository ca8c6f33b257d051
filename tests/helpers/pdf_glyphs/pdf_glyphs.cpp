// Prints the text blocks of a PDF: page, font size, glyph count, glyph hash,
// first origin and the steps to the next glyphs (points).

#include <cstdio>

#include "support/pdf_glyphs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pdf_glyphs FILE.pdf\n");
        return 2;
    }
    const auto blocks = quor::test::pdfTextBlocks(QString::fromLocal8Bit(argv[1]));
    if (blocks.empty()) {
        std::fprintf(stderr, "pdf_glyphs: no text in %s\n", argv[1]);
        return 1;
    }
    std::fputs(quor::test::writeTextBlocks(blocks).c_str(), stdout);
    return 0;
}
