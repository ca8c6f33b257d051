#pragma once

// Connects a report's names and user functions to the expression engine
// while one of its builds runs; the previous connection comes back after.

#include <array>
#include <string>

#include "engine/expr/expression_engine.h"

namespace quor {

class TfrReport;

class ReportNamesConnection {
public:
    explicit ReportNamesConnection(TfrReport& report);
    ~ReportNamesConnection();
    ReportNamesConnection(const ReportNamesConnection&) = delete;
    ReportNamesConnection& operator=(const ReportNamesConnection&) = delete;

private:
    class UserFunctions : public FunctionLibrary {
    public:
        explicit UserFunctions(TfrReport& report) : report_(report) {}
        bool call(ExpressionEngine& engine, const std::string& name, const std::array<std::string, 3>& args,
                  Variant& result) override;

    private:
        TfrReport& report_;
    };

    UserFunctions functions_;
    ReportNames* previous_;
};

}  // namespace quor
