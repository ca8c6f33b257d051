#include "report/page_list.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "platform/numbers.h"

namespace quor {

bool PageSet::contains(int page) const {
    if (!named_) return true;
    return page >= 1 && page <= static_cast<int>(pages_.size()) && pages_[static_cast<std::size_t>(page - 1)];
}

void PageSet::addRange(int from, int to) {
    if (to < from) return;
    named_ = true;
    const int first = std::max(from, 1);
    const int last = std::min<std::int64_t>(to, static_cast<std::int64_t>(pages_.size()));
    for (int p = first; p <= last; ++p) pages_[static_cast<std::size_t>(p - 1)] = true;
}

PageSet parsePageList(const std::string& text, int pageCount) {
    PageSet set;
    set.pages_.assign(static_cast<std::size_t>(std::max(pageCount, 0)), false);
    std::string s;
    for (char c : text)
        if (c != ' ') s.push_back(c);
    if (s.empty()) return set;
    if (s.back() == '-') s += std::to_string(pageCount);
    s.push_back(',');

    std::size_t start = 0;
    bool range = false;
    int rangeStart = 0;
    const auto part = [&](std::size_t end) { return std::string_view(s).substr(start, end - start); };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ',') {
            const int n = integerTextToInt(part(i));
            set.addRange(range ? rangeStart : n, n);
            range = false;
            start = i + 1;
        } else if (s[i] == '-') {
            range = true;
            rangeStart = integerTextToInt(part(i));
            start = i + 1;
        }
    }
    return set;
}

}  // namespace quor
