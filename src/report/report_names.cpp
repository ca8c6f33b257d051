// The report's own names for expressions: the value handler, the
// dictionary's variables and the variables list; and its user functions.

#include "report/report_names.h"

#include "engine/expr/expression_engine.h"
#include "report/report.h"

namespace quor {

std::optional<Variant> TfrReport::handlerValue(const std::string& name) {
    if (!OnGetValue) return std::nullopt;
    Variant value;
    OnGetValue(name, value);
    if (value.isEmpty()) return std::nullopt;
    return value;
}

std::optional<Variant> TfrReport::dictionaryValue(const std::string& name) {
    for (const DictionaryEntry& e : Dictionary.variableList) {
        if (e.name != name) continue;
        // A variable holds an expression; one that names itself, directly
        // or through others, ends at the evaluator's nesting limit.
        if (e.value.empty()) return Variant();
        return expressionEngine().Evaluate(e.value);
    }
    return std::nullopt;
}

std::optional<Variant> TfrReport::variableValue(const std::string& name) {
    for (const auto& [variable, value] : Variables)
        if (variable == name) return value;
    return std::nullopt;
}

bool ReportNamesConnection::UserFunctions::call(ExpressionEngine&, const std::string& name,
                                                const std::array<std::string, 3>& args, Variant& result) {
    return report_.OnUserFunction && report_.OnUserFunction(name, args, result);
}

ReportNamesConnection::ReportNamesConnection(TfrReport& report)
    : functions_(report), previous_(expressionEngine().report) {
    expressionEngine().report = &report;
    expressionEngine().addLibrary(&functions_);
}

ReportNamesConnection::~ReportNamesConnection() {
    expressionEngine().removeLibrary(&functions_);
    expressionEngine().report = previous_;
}

}  // namespace quor
