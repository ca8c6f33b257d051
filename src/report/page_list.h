#pragma once

// The pages a print run is limited to, from a list such as "1,3,5-12" or
// "5-" (an open range runs to the last page).

#include <string>
#include <vector>

namespace quor {

class PageSet {
public:
    // No number named: every page is printed.
    bool empty() const { return !named_; }
    // Whether the 1-based page number was named (true for every page of an
    // empty set).
    bool contains(int page) const;

private:
    friend PageSet parsePageList(const std::string& text, int pageCount);
    void addRange(int from, int to);

    bool named_ = false;
    // Only the report's own pages are kept, so a huge range costs nothing;
    // a number beyond them still makes the set non-empty.
    std::vector<bool> pages_;
};

// Blanks are ignored; a part that is not a whole number (letters, an empty
// part, a part that begins with a dash) raises quor::Error "'...' is not a
// valid integer value". A range whose end is below its start adds nothing.
PageSet parsePageList(const std::string& text, int pageCount);

}  // namespace quor
