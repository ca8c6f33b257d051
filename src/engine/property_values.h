#pragma once

// How named properties take their values from scripts, expressions and the
// report component: numbers, booleans and text arrive as any Variant.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/expr/variant_ops.h"
#include "engine/variant.h"

namespace quor {
class TfrView;
}

namespace quor::props {

// The expression language's conversions: strings must read as numbers
// (else Error); empty and null are 0; true is -1; integers round ties to even.
using quor::variantToInt;
using quor::variantToText;
inline double toDouble(const Variant& v) { return variantToDouble(v); }
int toInt(const Variant& v);
// "True"/"False" in any case, else a number that is not 0.
bool toBool(const Variant& v);
// An enumeration takes its number or one of its names.
int toEnum(const Variant& v, const std::vector<std::string>& names);

// A method argument taken as an expression and evaluated for `view`.
Variant evaluateArgument(TfrView& view, const Variant& arg);

}  // namespace quor::props
