#pragma once

// Binding a band to the source of its records: a count source made from a
// description such as "3", a data-source component found by name, or the
// report's own records; a group header's description is its condition.

#include <string>

namespace quor {

class TfrBand;

// (Re)binds the band. A lookup that fails raises "Missing " and the
// description; a component that is not a data source raises a type error.
// A name that matches no component leaves the band without a source.
void SetSource(TfrBand& band, const std::string& description);
// Lets the band's sources go, freeing those it made.
void ReleaseSource(TfrBand& band);

}  // namespace quor
