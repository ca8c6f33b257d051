#pragma once

// A DOS-like print file for the benchmarks: numbered lines of 80 CP866 bytes.

#include <string>
#include <vector>

inline std::vector<std::string> sampleDocument(int lines) {
    std::vector<std::string> doc;
    doc.reserve(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
        std::string line = "  " + std::to_string(i) + " ";
        while (line.size() < 80) line += static_cast<char>(0xB0 + (line.size() % 32));  // CP866 letters
        doc.push_back(std::move(line));
    }
    return doc;
}
