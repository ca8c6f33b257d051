#pragma once

// The report's data dictionary: variables, field aliases and band sources.
// The built-in templates carry an empty one; the lists are kept so that a
// template that has entries saves them back unchanged.

#include <string>
#include <vector>

namespace quor {

class StreamReader;
class StreamWriter;

struct DictionaryEntry {
    std::string name;
    std::string value;
    friend bool operator==(const DictionaryEntry&, const DictionaryEntry&) = default;
};

using DictionaryList = std::vector<DictionaryEntry>;

class TfrDataDictionary {
public:
    DictionaryList variableList;
    DictionaryList aliasList;
    DictionaryList bandSourceList;

    void Clear();
    bool isEmpty() const;

    // The dictionary record without its tag. Only the current layouts
    // (markers -1 and -2) are read; anything else raises FormatError.
    void LoadFromStream(StreamReader& in);
    // Always the layout with marker -2.
    void SaveToStream(StreamWriter& out) const;

    friend bool operator==(const TfrDataDictionary&, const TfrDataDictionary&) = default;
};

}  // namespace quor
