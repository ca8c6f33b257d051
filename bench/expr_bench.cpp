// Bracket expansion is applied to every line of a DOS print file: lines
// without brackets must pass almost for free, and a line with a few
// expressions must stay cheap.

#include <benchmark/benchmark.h>

#include <string>

#include "engine/expr/compiler.h"
#include "engine/expr/expression_engine.h"

namespace {

void PlainLine(benchmark::State& state) {
    const std::string line(static_cast<std::size_t>(state.range(0)), 'x');
    quor::ExpressionEngine& engine = quor::expressionEngine();
    for (auto _ : state) benchmark::DoNotOptimize(engine.ExpandBrackets(line));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(PlainLine)->Arg(80)->Arg(132)->Arg(4096);

void LineWithExpressions(benchmark::State& state) {
    const std::string line = "Total [1+2] pcs, sum [COPY('abcdef', 2, 3)], [IF(2 > 1, 10 / 4, 0) #N2.2]";
    quor::ExpressionEngine& engine = quor::expressionEngine();
    for (auto _ : state) benchmark::DoNotOptimize(engine.ExpandBrackets(line));
}
BENCHMARK(LineWithExpressions);

void CompiledCondition(benchmark::State& state) {
    const quor::CompiledExpression code = quor::CompileExpression("(3 * 4 + 1) MOD 5 <> 2 AND 7");
    quor::ExpressionEngine& engine = quor::expressionEngine();
    for (auto _ : state) benchmark::DoNotOptimize(engine.EvaluateCompiled(code));
}
BENCHMARK(CompiledCondition);

}  // namespace
