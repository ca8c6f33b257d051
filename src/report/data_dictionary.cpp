#include "report/data_dictionary.h"

#include "engine/stream.h"
#include "platform/error.h"

namespace quor {

namespace {

constexpr std::int16_t kMarkerWithCleanup = -1;
constexpr std::int16_t kMarkerCurrent = -2;

void readList(StreamReader& in, DictionaryList& list) {
    std::int32_t count = in.i32();
    // Each pair takes at least six bytes, so a damaged count ends with the
    // stream instead of running on over missing bytes.
    for (std::int32_t i = 0; i < count && !in.ranShort(); ++i) {
        DictionaryEntry e;
        e.name = in.text16();
        e.value = in.text16();
        if (in.ranShort()) break;
        list.push_back(std::move(e));
    }
}

void writeList(StreamWriter& out, const DictionaryList& list) {
    out.i32(static_cast<std::int32_t>(list.size()));
    for (const DictionaryEntry& e : list) {
        out.text16(e.name);
        out.text16(e.value);
    }
}

// Variable names that are category names carry a leading blank. A list
// whose first name has none comes from a layout without that convention.
void normaliseVariableNames(DictionaryList& vars) {
    if (vars.empty() || vars.front().name.empty() || vars.front().name[0] == ' ') return;
    for (DictionaryEntry& e : vars) {
        if (!e.name.empty() && e.name[0] == ' ')
            e.name.erase(0, 1);
        else
            e.name.insert(0, 1, ' ');
    }
}

}  // namespace

void TfrDataDictionary::Clear() {
    variableList.clear();
    aliasList.clear();
    bandSourceList.clear();
}

bool TfrDataDictionary::isEmpty() const {
    return variableList.empty() && aliasList.empty() && bandSourceList.empty();
}

void TfrDataDictionary::LoadFromStream(StreamReader& in) {
    Clear();
    std::int16_t marker = in.i16();
    if (marker != kMarkerWithCleanup && marker != kMarkerCurrent)
        throw FormatError("older data dictionary layout is not supported");
    readList(in, variableList);
    readList(in, aliasList);
    readList(in, bandSourceList);
    normaliseVariableNames(variableList);
}

void TfrDataDictionary::SaveToStream(StreamWriter& out) const {
    out.i16(kMarkerCurrent);
    writeList(out, variableList);
    writeList(out, aliasList);
    writeList(out, bandSourceList);
}

}  // namespace quor
