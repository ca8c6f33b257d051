#pragma once

// The platform's number pattern language ("##0.##", "#,##0.00", "0.00E+00",
// sections "positive;negative;zero", quoted literals), with the separators
// of formatSettings().

#include <string>
#include <string_view>

namespace quor {

std::string formatFloat(std::string_view pattern, double value);

}  // namespace quor
