// Feeds arbitrary lines to bracket expansion and arbitrary expressions to
// the compiler and evaluator, with every host in place. The first byte
// picks the view's display format, its character set, HideZeros and whether
// aggregates are being collected; the rest is the text. Errors are
// expected; crashes, hangs and reads outside the input are not.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/expr/compiler.h"
#include "engine/expr/expression_engine.h"
#include "platform/error.h"

namespace {

using quor::Variant;

struct View : quor::ExpressionView {
    std::uint32_t code = 0x22E;
    bool zeros = false;
    int charset = 204;
    std::uint32_t displayFormatCode() const override { return code; }
    std::string displayFormatString() const override { return "#,##0.00;(0);zero"; }
    bool hideZeros() const override { return zeros; }
    int textCharset() const override { return charset; }
    int calcWidth() override { return 100; }
};

struct Names : quor::ReportNames {
    std::optional<Variant> handlerValue(const std::string&) override { return std::nullopt; }
    std::optional<Variant> dictionaryValue(const std::string&) override { return std::nullopt; }
    std::optional<Variant> variableValue(const std::string& name) override {
        if (name == "A") return Variant(1);
        if (name == "S") return Variant("text");
        if (name == "D") return Variant::dateTime(46364.5);
        if (name == "SELF") return Variant("[SELF]");
        return std::nullopt;
    }
};

struct Build : quor::BuildValues {
    int pageNumber() const override { return 3; }
    int totalPages() const override { return 9; }
    double buildDateTime() const override { return 46364.75; }
    int lineNumber() const override { return 1; }
    int lineThrough() const override { return 2; }
    int columnNumber() const override { return 1; }
    int currentNumber() const override { return 4; }
    int cursorY() const override { return 100; }
    int freeSpace() const override { return 900; }
    bool finalPass() const override { return true; }
    int pageHeight() const override { return 1000; }
    int pageWidth() const override { return 700; }
    void setCursorY(int) override {}
    void stopReport() override {}
    void newPage() override {}
    void newColumn() override {}
    void showBand(const std::string&) override {}
};

struct Aggregates : quor::AggregateHost {
    bool collect = false;
    bool collecting() const override { return collect; }
    void registerCall(const quor::AggregateCall&) override {}
    Variant accumulator(const quor::AggregateCall&) override { return Variant(12.5); }
    int recordCount(const quor::AggregateCall&) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const std::uint32_t codes[] = {0x22E,      0x0100022E, 0x0101032C, 0x0102012E, 0x0103022E, 0x0104002E,
                                          0x02000000, 0x02030000, 0x02040000, 0x03010000, 0x04010000, 0x04040000,
                                          0x0F7F7F7F, 0x01FF7F00, 0x03FF0000, 0x04FF0000};
    static View view;
    static Names names;
    static Build build;
    static Aggregates aggregates;
    const std::uint8_t mode = data[0];
    view.code = codes[mode & 0x0F];
    view.zeros = mode & 0x10;
    view.charset = (mode & 0x20) ? 255 : 204;
    aggregates.collect = mode & 0x40;

    quor::ExpressionEngine& engine = quor::expressionEngine();
    engine.currentView = &view;
    engine.report = &names;
    engine.build = &build;
    engine.aggregates = &aggregates;
    engine.currentName.clear();

    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        engine.ExpandBrackets(text);
    } catch (const quor::Error&) {
    }
    try {
        if (mode & 0x80) engine.EvaluateCompiled(text);
        else engine.EvaluateCompiled(quor::CompileExpression(text));
    } catch (const quor::Error&) {
    }
    return 0;
}
