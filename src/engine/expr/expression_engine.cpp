#include "engine/expr/expression_engine.h"

#include "engine/expr/brackets.h"
#include "engine/expr/date_time.h"
#include "engine/expr/expression_messages.h"
#include "engine/expr/format_settings.h"
#include "engine/expr/format_value.h"
#include "engine/expr/number_text.h"
#include "engine/expr/standard_functions.h"
#include "engine/expr/text_case.h"
#include "engine/expr/variant_ops.h"
#include "engine/expr/view_bridge.h"
#include "platform/error.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace quor {
namespace {

constexpr int kRussianCharset = 204;

class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) {
        if (depth_ >= ExpressionEngine::kMaxDepth) throwExpressionTooDeep();
        ++depth_;
    }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

std::string upperAscii(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

Variant truthAsInt(bool b) { return Variant(std::int64_t{b ? 1 : 0}); }

Variant applyUnary(unsigned char op, const Variant& v) {
    if (op == kOpStr) return Variant(variantToText(v));
    if (v.isNull()) return v;
    switch (op) {
    case kOpNegate:
        return variantNegate(v);
    case kOpPlusSign:
        return v;
    case kOpNot:
        return truthAsInt(variantIsZero(v));
    case kOpInt:
        return Variant(std::trunc(snapToInteger(variantToDouble(v))));
    case kOpFrac: {
        double x = snapToInteger(variantToDouble(v));
        return Variant(x - std::trunc(x));
    }
    case kOpRound:
        return Variant(doubleToInt(variantToDouble(v)));
    default:
        throwExpressionError();
    }
}

Variant applyBinary(unsigned char op, const Variant& a, const Variant& b) {
    switch (op) {
    case '+':
        return variantAdd(a, b);
    case '-':
        return variantSubtract(a, b);
    case '*':
    case kOpAnd:
        return variantMultiply(a, b);
    case '/':
        return variantDivide(a, b);
    case kOpMod:
        return variantModulo(a, b);
    case kOpOr:
        return variantBitOr(a, b);
    default:
        break;
    }
    std::optional<int> c = variantCompare(a, b);
    switch (op) {
    case '=':
        return truthAsInt(c == 0);
    case kOpNotEqual:
        return truthAsInt(c != 0);
    case '<':
        return truthAsInt(c && *c < 0);
    case '>':
        return truthAsInt(c && *c > 0);
    case kOpLessEqual:
        return truthAsInt(c && *c <= 0);
    case kOpGreaterEqual:
        return truthAsInt(c && *c >= 0);
    default:
        throwExpressionError();
    }
}

// A number token: every "," and "." in it is the decimal separator.
Variant numberValue(std::string_view token) {
    std::string norm(token);
    std::replace(norm.begin(), norm.end(), ',', '.');
    double v = 0;
    if (!tryTextToFloat(norm, '.', v)) throwNotANumber(token);
    return Variant(v);
}

int clampToInt(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(std::trunc(v), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

// Resets the guard name however the evaluation ends.
class NameScope {
public:
    NameScope(std::string& slot, const std::string& name) : slot_(slot) { slot_ = name; }
    ~NameScope() { slot_.clear(); }
    NameScope(const NameScope&) = delete;
    NameScope& operator=(const NameScope&) = delete;

private:
    std::string& slot_;
};

}  // namespace

ExpressionEngine::ExpressionEngine() : standard_(std::make_unique<StandardFunctions>()) {
    libraries_.push_back(standard_.get());
}

ExpressionEngine::~ExpressionEngine() = default;

ExpressionEngine& expressionEngine() {
    static ExpressionEngine engine;
    return engine;
}

int ExpressionEngine::textCharset() const { return currentView ? currentView->textCharset() : kRussianCharset; }

void ExpressionEngine::setGlobalConstant(const std::string& name, const Variant& value) {
    globals_[upperAscii(name)] = value;
}

void ExpressionEngine::addLibrary(FunctionLibrary* library) {
    if (library && std::find(libraries_.begin(), libraries_.end(), library) == libraries_.end())
        libraries_.push_back(library);
}

void ExpressionEngine::removeLibrary(FunctionLibrary* library) {
    if (library != standard_.get()) libraries_.erase(std::remove(libraries_.begin(), libraries_.end(), library), libraries_.end());
}

std::string ExpressionEngine::ExpandBrackets(std::string_view text) {
    return expandBracketsWith(text, [this](std::string_view inner) { return BracketValue(inner); });
}

std::string ExpressionEngine::BracketValue(std::string_view inner) {
    currentName.clear();
    formatSettings().charset = textCharset();
    std::uint32_t code = 0x200u | static_cast<unsigned char>(formatSettings().decimalSeparator);
    std::string format;
    if (currentView) {
        code = currentView->displayFormatCode();
        format = currentView->displayFormatString();
    }
    BracketFormat f = parseBracketFormat(inner, code, format);
    Variant value = LookUpValue(f.expression);
    if (currentView && currentView->hideZeros() && !value.isString()) {
        try {
            if (variantCompare(value, Variant(0)) == 0) value = Variant(std::string());
        } catch (const Error&) {
            // A value that cannot be compared with 0 is shown as it is.
        }
    }
    if (collectingAggregates()) return {};
    return FormatValue(value, f.code, f.formatString);
}

std::optional<Variant> ExpressionEngine::buildValue(const std::string& name) const {
    if (!build) return std::nullopt;
    if (name == "PAGE#") return Variant(build->pageNumber());
    if (name == "DATE") return Variant::dateTime(std::trunc(build->buildDateTime()));
    if (name == "TIME") {
        double d = build->buildDateTime();
        return Variant::dateTime(std::fabs(d - std::trunc(d)));
    }
    if (name == "LINE#") return Variant(build->lineNumber());
    if (name == "LINETHROUGH#") return Variant(build->lineThrough());
    if (name == "COLUMN#") return Variant(build->columnNumber());
    if (name == "CURRENT#") return Variant(build->currentNumber());
    if (name == "TOTALPAGES") return Variant(build->totalPages());
    return std::nullopt;
}

std::optional<Variant> ExpressionEngine::internalName(const std::string& name) {
    if (build) {
        if (name == "CURY") return Variant(build->cursorY());
        if (name == "FREESPACE") return Variant(build->freeSpace());
        if (name == "FINALPASS") return Variant(build->finalPass());
        if (name == "PAGEHEIGHT") return Variant(build->pageHeight());
        if (name == "PAGEWIDTH") return Variant(build->pageWidth());
    }
    std::size_t dot = name.find('.');
    if (dot != std::string::npos && dot > 0 && dot + 1 < name.size()) {
        if (auto v = reportObjectProperty(name.substr(0, dot), name.substr(dot + 1))) return v;
    }
    auto it = globals_.find(upperAscii(name));
    if (it != globals_.end()) return it->second;
    return std::nullopt;
}

Variant ExpressionEngine::LookUpValue(const std::string& name) {
    DepthGuard depth(depth_);
    auto found = [this](const Variant& v) {
        lastValue = v;
        return v;
    };
    if (report) {
        if (auto v = report->handlerValue(name)) return found(*v);
        if (auto v = report->dictionaryValue(name)) return found(*v);
    }
    if (name == "VALUE") return lastValue;
    if (auto v = buildValue(name)) return found(*v);
    if (name == "CALCWIDTH" && currentView) return found(Variant(currentView->calcWidth()));
    if (report) {
        if (auto v = report->variableValue(name)) return found(*v);
    }
    if (auto v = internalName(name)) return found(*v);
    if (name != currentName) {
        NameScope scope(currentName, name);
        return found(Evaluate(name));
    }
    if (collectingAggregates()) return Variant();
    throwUndefinedName(name);
}

Variant ExpressionEngine::Evaluate(std::string_view text) {
    return EvaluateCompiled(CompileExpression(text));
}

Variant ExpressionEngine::EvaluateCompiled(std::string_view compiled) {
    DepthGuard depth(depth_);
    formatSettings().charset = textCharset();
    std::vector<Variant> stack;
    CompiledReader reader(compiled);
    Operand operand;
    while (!reader.atEnd()) {
        unsigned char op = reader.next(operand);
        if (op == kOperand) {
            stack.push_back(operandValue(operand));
        } else if (isUnaryOperator(op)) {
            if (stack.empty()) throwExpressionError();
            stack.back() = applyUnary(op, stack.back());
        } else {
            if (stack.size() < 2) throwExpressionError();
            Variant right = std::move(stack.back());
            stack.pop_back();
            stack.back() = applyBinary(op, stack.back(), right);
        }
    }
    if (stack.empty()) return Variant();
    if (stack.size() > 1) throwExpressionError();
    return std::move(stack.back());
}

Variant ExpressionEngine::operandValue(const Operand& o) {
    std::string_view text = o.parts[0];
    switch (o.kind) {
    case OperandKind::Number:
        return numberValue(text);
    case OperandKind::String:
        return Variant(std::string(text));
    case OperandKind::Boolean:
        return Variant(text == "1");
    case OperandKind::Name:
        return LookUpValue(upperCaseText(text, textCharset()));
    case OperandKind::Bracket:
        return LookUpValue(std::string(text));
    case OperandKind::Function:
        return callFunction(o);
    }
    throwExpressionError();
}

Variant ExpressionEngine::callFunction(const Operand& o) {
    std::string name = upperCaseText(o.parts[0], textCharset());
    std::array<std::string, 3> args;
    for (std::size_t k = 0; k < args.size(); ++k) args[k] = std::string(o.parts[k + 1]);
    if (name == "COPY") {
        std::string s = variantToText(Evaluate(args[0]));
        int from = clampToInt(variantToDouble(Evaluate(args[1])));
        int count = clampToInt(variantToDouble(Evaluate(args[2])));
        std::size_t start = from < 1 ? 0 : static_cast<std::size_t>(from - 1);
        if (count <= 0 || start >= s.size()) return Variant(std::string());
        return Variant(s.substr(start, static_cast<std::size_t>(count)));
    }
    if (name == "IF") {
        Variant condition = Evaluate(args[0]);
        bool yes = false;
        if (condition.type() == Variant::Type::Bool) {
            yes = condition.boolValue();
        } else {
            std::string text = variantToText(condition);
            yes = !text.empty() && std::trunc(textToFloat(text, formatSettings().decimalSeparator)) != 0;
        }
        return Evaluate(yes ? args[1] : args[2]);
    }
    if (name == "STRTODATE") return Variant::dateTime(textToDate(variantToText(Evaluate(args[0]))));
    if (name == "STRTOTIME") return Variant::dateTime(textToTime(variantToText(Evaluate(args[0]))));
    Variant result;
    for (FunctionLibrary* library : std::vector<FunctionLibrary*>(libraries_))
        if (library->call(*this, name, args, result)) return result;
    throwUnknownFunction(name);
}

}  // namespace quor
