#pragma once

// The values and commands of a build in progress that expressions and
// scripts reach: page number, cursor, free space, the final-pass flag, and
// the commands that stop the report, break pages and columns and show a
// band by name.

#include <string>

#include "engine/expr/hosts.h"

namespace quor {

struct BuildState;

class BuildValuesOf : public BuildValues {
public:
    explicit BuildValuesOf(BuildState& state) : state_(state) {}

    int pageNumber() const override;
    int totalPages() const override;
    double buildDateTime() const override;
    int lineNumber() const override;
    int lineThrough() const override;
    int columnNumber() const override;
    int currentNumber() const override;
    int cursorY() const override;
    int freeSpace() const override;
    bool finalPass() const override;
    int pageHeight() const override;
    int pageWidth() const override;

    void setCursorY(int y) override;
    void stopReport() override;
    void newPage() override;
    void newColumn() override;
    void showBand(const std::string& name) override;

private:
    BuildState& state_;
};

}  // namespace quor
