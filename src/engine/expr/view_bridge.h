#pragma once

// Where expressions meet the views: the two hooks of engine() (bracket
// expansion and evaluation for a view) and object.property names.

#include <optional>
#include <string>

#include "engine/variant.h"

namespace quor {

class TfrView;

// `view` is the current view for the duration of the call.
std::string expandBracketsForView(TfrView& view, const std::string& text);
Variant evaluateForView(TfrView& view, const std::string& expression);
// A condition compiled once (CompileExpression) and evaluated per printing.
Variant evaluateCompiledForView(TfrView& view, const std::string& compiled);

// The named property of the current report's object called `object`
// (names compared without regard to case), if both exist.
std::optional<Variant> reportObjectProperty(const std::string& object, const std::string& property);

}  // namespace quor
