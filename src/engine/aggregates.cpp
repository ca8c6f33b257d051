// The accumulators behind SUM, AVG, MIN, MAX and COUNT: registered once per
// page at build start from the aggregate calls of the bands that report on
// a data band, added to per record, reset when the band showing them
// finishes; and the field references of memos.

#include <algorithm>
#include <cctype>
#include <optional>

#include "engine/band.h"
#include "engine/data_loop.h"
#include "engine/engine_state.h"
#include "engine/expr/aggregate_names.h"
#include "engine/expr/brackets.h"
#include "engine/expr/compiler.h"
#include "engine/expr/expression_engine.h"
#include "engine/expr/variant_ops.h"
#include "engine/page.h"

namespace quor {
namespace {

// Memo flag: the text is not a field reference.
constexpr std::uint16_t kFlagNoFieldReference = 0x0010;

bool identifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool isAggregateName(std::string_view word) {
    for (const char* name : {"AVG", "COUNT", "MAX", "MIN", "SUM"})
        if (sameName(word, name)) return true;
    return false;
}

// The aggregate calls in a text: "SUM(...)" and the like, with their
// arguments up to the matching parenthesis (quotes respected).
std::vector<std::string> aggregateCalls(std::string_view text) {
    std::vector<std::string> calls;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!identifierChar(text[i]) || (i > 0 && identifierChar(text[i - 1]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && identifierChar(text[end])) ++end;
        std::size_t open = end;
        while (open < text.size() && text[open] == ' ') ++open;
        if (!isAggregateName(text.substr(i, end - i)) || open >= text.size() || text[open] != '(') {
            i = end;
            continue;
        }
        int depth = 0;
        bool quoted = false;
        std::size_t j = open;
        for (; j < text.size(); ++j) {
            if (text[j] == '\'') quoted = !quoted;
            if (quoted) continue;
            if (text[j] == '(') ++depth;
            if (text[j] == ')' && --depth == 0) break;
        }
        if (j >= text.size()) break;
        calls.emplace_back(text.substr(i, j + 1 - i));
        i = j + 1;
    }
    return calls;
}

AggregateEntry makeEntry(const AggregateCall& call, const std::string& callingBand,
                         const std::optional<std::string>& column) {
    AggregateEntry e;
    e.name = aggregateEntryName(call, callingBand, column);
    e.value = Variant(aggregateStartValue(call.code));
    e.hasColumn = column.has_value();
    e.column = column.value_or(std::string());
    e.resetBand = callingBand;
    e.code = call.code;
    e.expression = call.expression;
    e.compiled = call.code == kAggregateCount ? std::string() : CompileExpression(call.expression);
    e.option = call.option;
    return e;
}

AggregateCall callOf(const AggregateEntry& e) {
    AggregateCall call;
    call.code = e.code;
    call.expression = e.expression;
    call.option = e.option;
    return call;
}

std::optional<std::string> columnPart(const TfrBand& calling, const std::string& column) {
    if (!calling.holdsCrossViews()) return std::nullopt;
    return column;
}

AggregateEntry* findEntry(TfrBand& data, const std::string& name) {
    for (AggregateEntry& e : data.Aggregates)
        if (e.name == name) return &e;
    return nullptr;
}

void addValue(AggregateEntry& e, const Variant& value) {
    switch (e.code) {
    case kAggregateSum:
    case kAggregateAvg:
        e.value = variantAdd(e.value, value);
        break;
    case kAggregateMin:
        if (auto c = variantCompare(value, e.value); c && *c < 0) e.value = value;
        break;
    case kAggregateMax:
        if (auto c = variantCompare(value, e.value); c && *c > 0) e.value = value;
        break;
    case kAggregateCount:
        e.value = variantAdd(e.value, Variant(1));
        break;
    default:
        break;
    }
}

// Every band a data band's accumulators are shown in, for each data kind.
std::vector<int> reportingKinds(int dataKind) {
    switch (dataKind) {
    case kBandMasterData:
        return {kBandPageFooter, kBandColumnFooter, kBandMasterFooter, kBandGroupFooter, kBandReportSummary};
    case kBandDetailData:
        return {kBandPageFooter, kBandColumnFooter, kBandMasterFooter, kBandDetailFooter, kBandGroupFooter,
                kBandReportSummary};
    case kBandSubDetailData:
        return {kBandPageFooter,   kBandColumnFooter, kBandMasterFooter, kBandDetailFooter, kBandSubDetailFooter,
                kBandGroupFooter, kBandReportSummary};
    case kBandCrossData:
        return {kBandCrossFooter};
    default:
        return {};
    }
}

}  // namespace

void TfrDataLoop::accumulate(TfrBand& band) {
    const bool cross = band.holdsCrossViews();
    const std::string column = std::to_string(band.Page->CrossColumn);
    if (cross) {
        // Each cross column keeps its own copy of a template entry.
        const std::size_t count = band.Aggregates.size();
        for (std::size_t i = 0; i < count; ++i) {
            const AggregateEntry& e = band.Aggregates[i];
            if (e.column != "0") continue;
            AggregateEntry copy = makeEntry(callOf(e), e.resetBand, column);
            if (findEntry(band, copy.name)) continue;
            copy.value = Variant(0);
            band.Aggregates.push_back(std::move(copy));
        }
    }
    const std::string* lastExpression = nullptr;
    Variant last;
    for (AggregateEntry& e : band.Aggregates) {
        if (cross && e.column != column) continue;
        Variant value;
        if (e.code != kAggregateCount) {
            if (!lastExpression || *lastExpression != e.expression) {
                last = expressionEngine().EvaluateCompiled(e.compiled);
                lastExpression = &e.expression;
            }
            value = last;
        }
        if (e.value.isEmpty()) e.value = Variant(0);
        if (value.isEmpty()) value = Variant(0);
        if (band.Visible || e.option == "1") {
            addValue(e, value);
            ++e.count;
        }
    }
    ++band.AggregateCount;
}

void TfrDataLoop::resetAggregates(TfrBand& band) {
    if (band.Kind == kBandGroupHeader) {
        for (TfrBand* g = &band; g; g = g->Next) g->GroupValue = groupValue(*g);
        return;
    }
    for (TfrBand* data : band.AggregateData) {
        for (AggregateEntry& e : data->Aggregates) {
            if (!sameName(e.resetBand, band.Name)) continue;
            e.value = Variant(aggregateStartValue(e.code));
            e.count = 0;
        }
        data->AggregateCount = 0;
    }
}

TfrBand* TfrDataLoop::dataBandOf(TfrBand& calling, const AggregateCall& call) const {
    TfrPage& page = *calling.Page;
    if (!call.dataBand.empty()) {
        for (int kind : {kBandMasterData, kBandDetailData, kBandSubDetailData, kBandCrossData})
            for (TfrBand* b = page.band(kind); b; b = b->Next)
                if (b->View && sameName(b->View->Name, call.dataBand)) return b;
        return nullptr;
    }
    const std::optional<int> kind = reportedDataKind(calling.Kind);
    return kind ? page.band(*kind) : nullptr;
}

void TfrDataLoop::registerCall(const AggregateCall& call) {
    TfrBand* calling = state_.CurrentBand;
    if (!calling || !preparing_ || dataBandOf(*calling, call) != preparing_) return;
    if (std::find(calling->AggregateData.begin(), calling->AggregateData.end(), preparing_) == calling->AggregateData.end())
        calling->AggregateData.push_back(preparing_);
    AggregateEntry entry = makeEntry(call, calling->Name, columnPart(*calling, "0"));
    if (!findEntry(*preparing_, entry.name)) preparing_->Aggregates.push_back(std::move(entry));
}

const AggregateEntry* TfrDataLoop::entryOf(const AggregateCall& call) {
    TfrBand* calling = state_.CurrentBand;
    TfrBand* data = calling ? dataBandOf(*calling, call) : nullptr;
    if (!data) return nullptr;
    const std::string column = std::to_string(calling->Page->CrossColumn);
    return findEntry(*data, aggregateEntryName(call, calling->Name, columnPart(*calling, column)));
}

Variant TfrDataLoop::accumulator(const AggregateCall& call) {
    const AggregateEntry* e = entryOf(call);
    return e ? e->value : Variant(0);
}

int TfrDataLoop::recordCount(const AggregateCall& call) {
    // Each average divides by the values it added. The data band's own
    // count is zeroed by every band that resets any of its accumulators: a
    // summary's average over all records, shown after the last group
    // footer, would divide the whole sum by 0; a page footer's reset would
    // shorten a group's average to the records of its last page.
    const AggregateEntry* e = entryOf(call);
    return e ? e->count : 0;
}

void TfrDataLoop::registerBandCalls(TfrBand& data, TfrBand& calling) {
    if (!calling.exists()) return;
    std::vector<std::string> calls;
    auto scan = [&calls](std::string_view text) {
        for (std::string& c : aggregateCalls(text)) calls.push_back(std::move(c));
    };
    for (TfrView* v : calling.Views) {
        for (const std::string& line : v->Memo)
            expandBracketsWith(line, [&scan](std::string_view inner) {
                scan(inner);
                return std::string();
            });
        for (const std::string& line : v->scriptLines) scan(line);
    }
    for (const std::string& line : calling.Script) scan(line);
    if (calls.empty()) return;

    preparing_ = &data;
    state_.CurrentBand = &calling;
    struct Done {
        TfrBand*& preparing;
        ~Done() { preparing = nullptr; }
    } done{preparing_};
    for (const std::string& call : calls) expressionEngine().Evaluate(call);
}

void TfrDataLoop::prepareSources(TfrPage& page) {
    for (const auto& view : page.Objects()) {
        TfrView& v = *view;
        if (v.objectKind == kKindMemo && (v.Flags & kFlagNoFieldReference)) continue;
        std::string text;
        for (std::size_t i = 0; i < v.Memo.size(); ++i) text += (i ? "\r\n" : "") + v.Memo[i];
        const std::size_t close = text.rfind(']');
        if (text.size() <= 2 || text.front() != '[' || close == std::string::npos) continue;
        const std::string reference = text.substr(1, close - 1);
        v.DataField.clear();
        const std::string aliased = state_.host->dictionaryField(reference);
        v.DataField = aliased.empty() ? reference : aliased;
    }

    try {
        for (int dataKind : {kBandMasterData, kBandDetailData, kBandSubDetailData, kBandCrossData})
            for (TfrBand* data = page.band(dataKind); data && data->Source; data = data->Next)
                for (int kind : reportingKinds(dataKind))
                    for (TfrBand* b = page.band(kind); b; b = b->Next)
                        for (TfrBand* c = b; c; c = c->ChildBand) registerBandCalls(*data, *c);
    } catch (const std::exception& e) {
        state_.recordError(e);
    }
}

}  // namespace quor
