#include "engine/expr/view_bridge.h"

#include "engine/engine_state.h"
#include "engine/expr/expression_engine.h"
#include "engine/view.h"
#include "engine/view_context.h"

namespace quor {
namespace {

constexpr std::uint16_t kFlagHideZeros = 0x40;  // memo flag "HideZeros"

class ViewForExpressions : public ExpressionView {
public:
    explicit ViewForExpressions(TfrView& view) : view_(view) {}
    std::uint32_t displayFormatCode() const override { return static_cast<std::uint32_t>(view_.formatCode); }
    std::string displayFormatString() const override { return view_.formatString; }
    bool hideZeros() const override { return view_.objectKind == kKindMemo && (view_.Flags & kFlagHideZeros); }
    int textCharset() const override { return view_.textCharset(); }
    int calcWidth() override { return view_.calcWidthValue(); }

private:
    TfrView& view_;
};

// Makes a view the expressions' current view and puts the previous one back.
class CurrentViewScope {
public:
    explicit CurrentViewScope(TfrView& view) : adapter_(view), saved_(expressionEngine().currentView) {
        expressionEngine().currentView = &adapter_;
    }
    ~CurrentViewScope() { expressionEngine().currentView = saved_; }
    CurrentViewScope(const CurrentViewScope&) = delete;
    CurrentViewScope& operator=(const CurrentViewScope&) = delete;

private:
    ViewForExpressions adapter_;
    ExpressionView* saved_;
};

}  // namespace

std::string expandBracketsForView(TfrView& view, const std::string& text) {
    CurrentViewScope scope(view);
    return expressionEngine().ExpandBrackets(text);
}

Variant evaluateForView(TfrView& view, const std::string& expression) {
    CurrentViewScope scope(view);
    return expressionEngine().Evaluate(expression);
}

Variant evaluateCompiledForView(TfrView& view, const std::string& compiled) {
    CurrentViewScope scope(view);
    return expressionEngine().EvaluateCompiled(compiled);
}

std::optional<Variant> reportObjectProperty(const std::string& object, const std::string& property) {
    ReportContext* report = engine().currentReport;
    if (!report) return std::nullopt;
    for (TfrView* view : report->allObjects()) {
        if (!view || !sameName(view->Name, object)) continue;
        Variant v = view->GetProperty(property);
        if (v.isNull()) return std::nullopt;
        return v;
    }
    return std::nullopt;
}

}  // namespace quor
