#include "engine/expr/expression_messages.h"

#include "engine/expr/format_settings.h"
#include "platform/error.h"
#include "platform/messages.h"

namespace quor {
namespace {

[[noreturn]] void throwWithName(int id, std::string_view name) {
    throw Error(message(id) + " \"" + textForMessage(name, formatSettings().charset) + "\"");
}

}  // namespace

void throwUndefinedName(std::string_view name) { throwWithName(kMsgUndefinedVariable, name); }
void throwUnknownFunction(std::string_view name) { throwWithName(kMsgUnknownFunction, name); }
void throwExpressionError() { throw Error(message(kMsgExpressionError)); }
void throwExpressionTooDeep() { throw Error(message(kMsgExpressionTooDeep)); }

}  // namespace quor
