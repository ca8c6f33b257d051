#pragma once

namespace quor {

// Registers the compiled-in Qt resources (":/messages.tsv", templates, ...).
// They live in the static library quorcore, so a program must register them
// before the first ":/" path is opened. Safe to call any number of times.
void initResources();

}  // namespace quor
