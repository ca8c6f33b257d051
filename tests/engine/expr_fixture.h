#pragma once

// A test stand for the expression engine: a current view, a report with
// variables and objects, build values, accumulators and dialogs, all
// plugged into the engine-wide instance and unplugged afterwards.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/expr/expression_engine.h"
#include "engine/expr/format_settings.h"
#include "engine/expr/variant_ops.h"
#include "platform/error.h"

namespace quor::test {

struct FakeView : ExpressionView {
    std::uint32_t code = 0x22E;  // text, 2 decimals, "."
    std::string format;
    bool zeros = false;
    int charset = 204;
    int width = 77;
    std::uint32_t displayFormatCode() const override { return code; }
    std::string displayFormatString() const override { return format; }
    bool hideZeros() const override { return zeros; }
    int textCharset() const override { return charset; }
    int calcWidth() override { return width; }
};

struct FakeReport : ReportNames {
    std::map<std::string, Variant> handler, dictionary, variables;
    std::vector<std::string> variableQueries;
    static std::optional<Variant> find(const std::map<std::string, Variant>& m, const std::string& k) {
        auto it = m.find(k);
        if (it == m.end()) return std::nullopt;
        return it->second;
    }
    std::optional<Variant> handlerValue(const std::string& n) override { return find(handler, n); }
    std::optional<Variant> dictionaryValue(const std::string& n) override { return find(dictionary, n); }
    std::optional<Variant> variableValue(const std::string& n) override {
        variableQueries.push_back(n);
        return find(variables, n);
    }
};

struct FakeBuild : BuildValues {
    int page = 3, total = 7, line = 4, through = 9, column = 2, current = 5;
    int cury = 120, free = 880, height = 1000, width = 700;
    bool final = true;
    double when = 46364.75;  // 2026-12-08 18:00
    int pageNumber() const override { return page; }
    int totalPages() const override { return total; }
    double buildDateTime() const override { return when; }
    int lineNumber() const override { return line; }
    int lineThrough() const override { return through; }
    int columnNumber() const override { return column; }
    int currentNumber() const override { return current; }
    int cursorY() const override { return cury; }
    int freeSpace() const override { return free; }
    bool finalPass() const override { return final; }
    int pageHeight() const override { return height; }
    int pageWidth() const override { return width; }
    void setCursorY(int y) override { cury = y; }
    void stopReport() override {}
    void newPage() override {}
    void newColumn() override {}
    void showBand(const std::string&) override {}
};

struct FakeAggregates : AggregateHost {
    bool collect = false;
    std::vector<AggregateCall> registered;
    Variant value = Variant(30.0);
    int count = 4;
    bool collecting() const override { return collect; }
    void registerCall(const AggregateCall& c) override { registered.push_back(c); }
    Variant accumulator(const AggregateCall&) override { return value; }
    int recordCount(const AggregateCall&) override { return count; }
};

struct FakeDialogs : DialogHost {
    std::vector<std::string> asked;
    std::string answer = "typed";
    int button = 7;
    std::string input(const std::string& prompt, const std::string&, int) override {
        asked.push_back(prompt);
        return answer;
    }
    int messageBox(const std::string& text, const std::string& caption, int, int) override {
        asked.push_back(text + "|" + caption);
        return button;
    }
};

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine().currentView = &view;
        engine().report = &report;
        engine().build = &build;
        engine().aggregates = nullptr;
        engine().dialogs = nullptr;
        engine().currentName.clear();
        engine().lastValue = Variant();
    }
    void TearDown() override {
        engine().currentView = nullptr;
        engine().report = nullptr;
        engine().build = nullptr;
        engine().aggregates = nullptr;
        engine().dialogs = nullptr;
        formatSettings().charset = 204;
    }
    static ExpressionEngine& engine() { return expressionEngine(); }
    std::string expand(std::string_view text) { return engine().ExpandBrackets(text); }
    Variant eval(std::string_view text) { return engine().Evaluate(text); }
    // The text form of an evaluated expression.
    std::string show(std::string_view text) { return variantToText(eval(text)); }
    // The message of the error `text` raises, or "<no error>".
    std::string errorOf(std::string_view text) {
        try {
            expand(text);
        } catch (const Error& e) {
            return e.what();
        }
        return "<no error>";
    }

    FakeView view;
    FakeReport report;
    FakeBuild build;
};

}  // namespace quor::test
