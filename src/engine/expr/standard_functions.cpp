#include "engine/expr/standard_functions.h"

#include "engine/expr/date_time.h"
#include "engine/expr/edit_mask.h"
#include "engine/expr/float_format.h"
#include "engine/expr/format_settings.h"
#include "engine/expr/text_case.h"
#include "engine/expr/variant_ops.h"
#include "platform/error.h"
#include "platform/input_box.h"
#include "platform/message_box.h"

#include <unordered_map>

namespace quor {
namespace {

using Args = std::array<std::string, 3>;
using Function = Variant (*)(ExpressionEngine&, const Args&);

std::string text(ExpressionEngine& e, const std::string& arg) { return variantToText(e.Evaluate(arg)); }

std::string trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return std::string(s);
}

DateTimeParts dateParts(ExpressionEngine& e, const std::string& arg) {
    DateTimeParts parts;
    if (!decodeDateTime(variantToDateTime(e.Evaluate(arg)), parts)) throw Error("Invalid argument to date encode");
    return parts;
}

Variant aggregate(ExpressionEngine& e, int code, const Args& a) {
    AggregateCall call;
    call.code = code;
    if (code == kAggregateCount) {
        call.expression = a[0];
        call.dataBand = trimmed(a[0]);
        call.option = trimmed(a[1]);
    } else {
        call.expression = a[0];
        call.dataBand = trimmed(a[1]);
        call.option = trimmed(a[2]);
    }
    // Without data bands there is nothing to aggregate over.
    if (!e.aggregates) return Variant(0);
    if (e.aggregates->collecting()) {
        e.aggregates->registerCall(call);
        return Variant();
    }
    Variant value = e.aggregates->accumulator(call);
    if (code == kAggregateAvg) return variantDivide(value, Variant(e.aggregates->recordCount(call)));
    return value;
}

DialogHost& dialogsOf(ExpressionEngine& e) {
    static PlatformDialogs platform;
    return e.dialogs ? *e.dialogs : platform;
}

const std::unordered_map<std::string, Function>& table() {
    static const std::unordered_map<std::string, Function> functions = {
        {"DAYOF", [](ExpressionEngine& e, const Args& a) { return Variant(dateParts(e, a[0]).day); }},
        {"MONTHOF", [](ExpressionEngine& e, const Args& a) { return Variant(dateParts(e, a[0]).month); }},
        {"YEAROF", [](ExpressionEngine& e, const Args& a) { return Variant(dateParts(e, a[0]).year); }},
        {"FORMATDATETIME",
         [](ExpressionEngine& e, const Args& a) {
             std::string pattern = text(e, a[0]);
             return Variant(formatDateTime(pattern, variantToDateTime(e.Evaluate(a[1]))));
         }},
        {"FORMATFLOAT",
         [](ExpressionEngine& e, const Args& a) {
             std::string pattern = text(e, a[0]);
             return Variant(formatFloat(pattern, variantToDouble(e.Evaluate(a[1]))));
         }},
        {"FORMATTEXT",
         [](ExpressionEngine& e, const Args& a) {
             std::string mask = text(e, a[0]) + ";0; ";
             return Variant(formatMaskText(mask, text(e, a[1])));
         }},
        {"INPUT",
         [](ExpressionEngine& e, const Args& a) {
             std::string prompt = text(e, a[0]);
             std::string initial = text(e, a[1]);
             return Variant(dialogsOf(e).input(prompt, initial, e.textCharset()));
         }},
        {"LENGTH",
         [](ExpressionEngine& e, const Args& a) {
             return Variant(static_cast<std::int64_t>(text(e, a[0]).size()));
         }},
        {"LOWERCASE",
         [](ExpressionEngine& e, const Args& a) { return Variant(lowerCaseText(text(e, a[0]), e.textCharset())); }},
        {"UPPERCASE",
         [](ExpressionEngine& e, const Args& a) { return Variant(upperCaseText(text(e, a[0]), e.textCharset())); }},
        {"TRIM", [](ExpressionEngine& e, const Args& a) { return Variant(trimmed(text(e, a[0]))); }},
        {"NAMECASE",
         [](ExpressionEngine& e, const Args& a) {
             std::string s = lowerCaseText(text(e, a[0]), e.textCharset());
             if (!s.empty()) s.replace(0, 1, upperCaseText(s.substr(0, 1), e.textCharset()));
             return Variant(s);
         }},
        {"POS",
         [](ExpressionEngine& e, const Args& a) {
             std::string part = text(e, a[0]);
             std::string whole = text(e, a[1]);
             std::size_t at = part.empty() ? std::string::npos : whole.find(part);
             return Variant(static_cast<std::int64_t>(at == std::string::npos ? 0 : at + 1));
         }},
        {"MAXNUM",
         [](ExpressionEngine& e, const Args& a) {
             Variant x = e.Evaluate(a[0]), y = e.Evaluate(a[1]);
             auto c = variantCompare(x, y);
             return c && *c > 0 ? x : y;
         }},
        {"MINNUM",
         [](ExpressionEngine& e, const Args& a) {
             Variant x = e.Evaluate(a[0]), y = e.Evaluate(a[1]);
             auto c = variantCompare(x, y);
             return c && *c < 0 ? x : y;
         }},
        {"MESSAGEBOX",
         [](ExpressionEngine& e, const Args& a) {
             std::string message = text(e, a[0]);
             std::string caption = text(e, a[1]);
             int flags = static_cast<int>(variantToInt(e.Evaluate(a[2])));
             return Variant(dialogsOf(e).messageBox(message, caption, flags, e.textCharset()));
         }},
        {"SUM", [](ExpressionEngine& e, const Args& a) { return aggregate(e, kAggregateSum, a); }},
        {"MIN", [](ExpressionEngine& e, const Args& a) { return aggregate(e, kAggregateMin, a); }},
        {"MAX", [](ExpressionEngine& e, const Args& a) { return aggregate(e, kAggregateMax, a); }},
        {"AVG", [](ExpressionEngine& e, const Args& a) { return aggregate(e, kAggregateAvg, a); }},
        {"COUNT", [](ExpressionEngine& e, const Args& a) { return aggregate(e, kAggregateCount, a); }},
    };
    return functions;
}

}  // namespace

bool StandardFunctions::call(ExpressionEngine& engine, const std::string& name, const Args& args, Variant& result) {
    auto it = table().find(name);
    if (it == table().end()) return false;
    result = it->second(engine, args);
    return true;
}

int defaultMessageBoxButton(int flags) {
    enum { kOk = 1, kCancel = 2, kAbort = 3, kRetry = 4, kIgnore = 5, kYes = 6, kNo = 7, kTryAgain = 10, kContinue = 11 };
    static const std::vector<int> sets[] = {
        {kOk}, {kOk, kCancel}, {kAbort, kRetry, kIgnore}, {kYes, kNo, kCancel},
        {kYes, kNo}, {kRetry, kCancel}, {kCancel, kTryAgain, kContinue}};
    int set = flags & 0xF;
    if (set > 6) set = 0;
    std::size_t button = static_cast<std::size_t>((flags >> 8) & 0xF);
    const std::vector<int>& buttons = sets[set];
    return buttons[button < buttons.size() ? button : 0];
}

std::string PlatformDialogs::input(const std::string& prompt, const std::string& defaultText, int charset) {
    std::optional<std::string> answer =
        askText(textForMessage(prompt, charset), std::string(), textForMessage(defaultText, charset));
    return answer ? localWord(*answer, charset) : defaultText;
}

int PlatformDialogs::messageBox(const std::string& text, const std::string& caption, int flags, int charset) {
    enum { kOk = 1, kCancel = 2, kYes = 6, kNo = 7 };
    MessageButtons buttons = MessageButtons::Ok;
    bool shown = true;
    switch (flags & 0xF) {
    case 0: buttons = MessageButtons::Ok; break;
    case 1: buttons = MessageButtons::OkCancel; break;
    case 3: buttons = MessageButtons::YesNoCancel; break;
    case 4: buttons = MessageButtons::YesNo; break;
    default: shown = false; break;  // button sets the platform box lacks
    }
    MessageIcon icon = MessageIcon::None;
    switch (flags & 0xF0) {
    case 0x10: icon = MessageIcon::Error; break;
    case 0x20: icon = MessageIcon::Question; break;
    case 0x30: icon = MessageIcon::Warning; break;
    case 0x40: icon = MessageIcon::Information; break;
    default: break;
    }
    MessageResult result =
        showMessage(textForMessage(text, charset), textForMessage(caption, charset), icon, buttons);
    if (!shown) return defaultMessageBoxButton(flags);
    switch (result) {
    case MessageResult::Ok: return kOk;
    case MessageResult::Cancel: return kCancel;
    case MessageResult::Yes: return kYes;
    case MessageResult::No: return kNo;
    }
    return kOk;
}

}  // namespace quor
