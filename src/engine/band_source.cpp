#include "engine/band_source.h"

#include <charconv>
#include <cstdint>

#include "engine/band.h"
#include "engine/build_state.h"
#include "engine/dataset.h"
#include "engine/engine_state.h"
#include "engine/expr/compiler.h"
#include "engine/page.h"
#include "platform/error.h"

namespace quor {
namespace {

std::vector<std::string> dottedParts(const std::string& name) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t dot; (dot = name.find('.', start)) != std::string::npos; start = dot + 1)
        parts.push_back(name.substr(start, dot - start));
    parts.push_back(name.substr(start));
    return parts;
}

// The component a name gives: Form.Component and Form.Frame.Component on
// the application's forms, a plain name on the report's own form. A form
// or frame that is not there is an error of the lookup.
TfrComponent* lookUp(const BuildState& st, const std::string& name) {
    if (name.find('.') == std::string::npos) return st.ownerForm ? st.ownerForm->FindComponent(name) : nullptr;
    const std::vector<std::string> parts = dottedParts(name);
    const TfrComponentOwner* owner = nullptr;
    for (TfrComponentOwner* form : engine().applicationForms)
        if (form && sameName(form->Name, parts.front())) {
            owner = form;
            break;
        }
    for (std::size_t i = 1; owner && i + 1 < parts.size(); ++i)
        owner = dynamic_cast<const TfrComponentOwner*>(owner->FindComponent(parts[i]));
    if (!owner) throw Error("Form or frame not found: " + name);
    return owner->FindComponent(parts.back());
}

std::int32_t countOf(const std::string& description) {
    std::int32_t n = 0;
    const char* end = description.data() + description.size();
    auto [ptr, ec] = std::from_chars(description.data(), end, n);
    if (ec != std::errc() || ptr != end) throw Error("'" + description + "' is not a valid integer value");
    return n;
}

// The source a description names; `owned` tells whether it was made here.
BandDataSource* sourceFor(const BuildState& st, const std::string& description, bool& owned) {
    owned = false;
    if (description.empty()) return nullptr;
    if (description.front() >= '1' && description.front() <= '9') {
        owned = true;
        return makeCountSource(countOf(description)).release();
    }
    TfrComponent* component = nullptr;
    try {
        component = lookUp(st, description);
    } catch (const std::exception&) {
        throw Error("Missing " + description);
    }
    if (!component) return nullptr;
    auto* dataset = dynamic_cast<TfrDataset*>(component);
    if (!dataset) throw Error("Компонент " + description + " не является источником данных");
    return dataset;
}

void freeOwned(BandDataSource*& source, bool& owned) {
    if (owned) delete source;
    source = nullptr;
    owned = false;
}

}  // namespace

void SetSource(TfrBand& band, const std::string& description) {
    if (band.Kind == kBandGroupHeader) {
        band.Condition = CompileExpression(description);
        return;
    }
    if (description.find(';') != std::string::npos) return;
    ReleaseSource(band);
    const BuildState& st = *band.Page->build;
    bool owned = false;
    BandDataSource* source = sourceFor(st, description, owned);
    if (source) source->Init();
    band.Source = source;
    band.OwnsSource = owned;
    if (!band.Source && band.Kind == kBandMasterData) band.Source = st.reportDataset;
}

void ReleaseSource(TfrBand& band) {
    for (auto [source, owned] : {std::pair{&band.Source, &band.OwnsSource},
                                 std::pair{&band.CrossSource, &band.OwnsCrossSource}}) {
        if (*source) (*source)->Exit();
        freeOwned(*source, *owned);
    }
}

void TfrPage::BindSources() {
    for (int kind = 0; kind < kBandKindCount - 1; ++kind)
        for (TfrBand* b = band(kind); b; b = b->Next)
            if (b->View) SetSource(*b, b->View->formatString);

    // The cross-data band may list per-band sources: name=source;...
    TfrBand* crossData = band(kBandCrossData);
    if (!crossData->View || crossData->View->formatString.find(';') == std::string::npos) return;
    const std::string& list = crossData->View->formatString;
    std::size_t start = 0;
    for (std::size_t end; (end = list.find(';', start)) != std::string::npos; start = end + 1) {
        const std::string item = list.substr(start, end - start);
        const std::size_t eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string name = item.substr(0, eq);
        for (int kind = kBandMasterHeader; kind <= kBandChild; ++kind)
            for (TfrBand* b = band(kind); b; b = b->Next) {
                if (!b->View || !sameName(b->View->Name, name)) continue;
                freeOwned(b->CrossSource, b->OwnsCrossSource);
                b->CrossSource = sourceFor(*build, item.substr(eq + 1), b->OwnsCrossSource);
                if (b->CrossSource) b->CrossSource->Init();
            }
    }
}

}  // namespace quor
