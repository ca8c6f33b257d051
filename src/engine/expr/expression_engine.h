#pragma once

// The engine-wide expression state and its operations: bracket expansion
// for the view being printed, name resolution, evaluation.

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/expr/compiler.h"
#include "engine/expr/hosts.h"
#include "engine/variant.h"

namespace quor {

class ExpressionEngine;

// A set of functions the evaluator may call. Names come upper-cased; the
// arguments are their unevaluated texts ("" when absent).
class FunctionLibrary {
public:
    virtual ~FunctionLibrary() = default;
    // False when the library does not know the function.
    virtual bool call(ExpressionEngine& engine, const std::string& name,
                      const std::array<std::string, 3>& args, Variant& result) = 0;
};

class ExpressionEngine {
public:
    ExpressionEngine();
    ~ExpressionEngine();
    ExpressionEngine(const ExpressionEngine&) = delete;
    ExpressionEngine& operator=(const ExpressionEngine&) = delete;

    // Hosts; each may be absent.
    ExpressionView* currentView = nullptr;
    ReportNames* report = nullptr;
    BuildValues* build = nullptr;
    AggregateHost* aggregates = nullptr;
    DialogHost* dialogs = nullptr;  // absent: the platform's dialogs (PlatformDialogs)

    // Replaces every bracketed expression of `text` by its formatted value.
    std::string ExpandBrackets(std::string_view text);
    // One bracket's content, resolved and formatted for `currentView`.
    std::string BracketValue(std::string_view inner);
    Variant LookUpValue(const std::string& name);
    Variant Evaluate(std::string_view text);
    Variant EvaluateCompiled(std::string_view compiled);

    // The engine's global constants ("btBMP" = 0, ...), found by rule 7 of
    // the name lookup regardless of case.
    void setGlobalConstant(const std::string& name, const Variant& value);

    // Libraries are asked after the standard one, in the order added.
    void addLibrary(FunctionLibrary* library);
    void removeLibrary(FunctionLibrary* library);

    bool collectingAggregates() const { return aggregates && aggregates->collecting(); }
    // Code page of the text being evaluated: the current view's font.
    int textCharset() const;

    // The name being resolved (guards against a name that evaluates to
    // itself) and the last looked-up value ("VALUE").
    std::string currentName;
    Variant lastValue;

    // Nested evaluations allowed before the "too deep" error; keeps the
    // stack bounded for any input.
    static constexpr int kMaxDepth = 96;

private:
    Variant operandValue(const Operand& operand);
    Variant callFunction(const Operand& operand);
    std::optional<Variant> buildValue(const std::string& name) const;
    std::optional<Variant> internalName(const std::string& name);

    std::map<std::string, Variant> globals_;  // keys upper-cased
    std::unique_ptr<FunctionLibrary> standard_;
    std::vector<FunctionLibrary*> libraries_;
    int depth_ = 0;
};

// The one engine of the process (the engine is single-threaded).
ExpressionEngine& expressionEngine();

}  // namespace quor
