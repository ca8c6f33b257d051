#pragma once

// The errors expressions raise, with their texts from the message table.

#include <string_view>

namespace quor {

inline constexpr int kMsgUndefinedVariable = 55439;  // "Переменная не определена:"
inline constexpr int kMsgExpressionError = 55430;    // an operator without operands, or operands left over
inline constexpr int kMsgExpressionTooDeep = 55431;  // nesting beyond the evaluation depth limit
inline constexpr int kMsgUnknownFunction = 55432;    // a function no library provides

// `name` is text of the view (bytes of its code page); the message shows
// it quoted.
[[noreturn]] void throwUndefinedName(std::string_view name);
[[noreturn]] void throwUnknownFunction(std::string_view name);
[[noreturn]] void throwExpressionError();
[[noreturn]] void throwExpressionTooDeep();

}  // namespace quor
