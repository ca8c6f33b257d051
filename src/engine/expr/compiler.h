#pragma once

// The expression language compiled into postfix order. The compiled form is
// a byte string: every operator is one byte (the single-character ones are
// their own character, the others the codes below), every operand is
// kOperand, its kind, the number of its parts and the parts, each a 32-bit
// little-endian length and the bytes. Operands stay text; they are resolved
// when evaluated.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quor {

using CompiledExpression = std::string;

enum OperatorCode : unsigned char {
    kOpNotEqual = 1,
    kOpLessEqual = 2,
    kOpGreaterEqual = 3,
    kOpOr = 4,
    kOpAnd = 5,
    kOpNot = 6,
    kOpMod = 7,
    kOpInt = 8,
    kOpFrac = 9,
    kOpRound = 10,
    kOpStr = 11,
    kOpNegate = 12,
    kOpPlusSign = 13,
    kOperand = 0x1F,
};

enum class OperandKind : unsigned char {
    Number = 1,   // the token as written
    String = 2,   // the literal's text
    Boolean = 3,  // "1" or "0"
    Name = 4,     // the name as written, with a "%" prefix if it had one
    Bracket = 5,  // the content of a bare [..]
    Function = 6, // upper-cased name, then up to three argument texts
};

struct Operand {
    OperandKind kind = OperandKind::Name;
    std::array<std::string_view, 4> parts{};  // views into the compiled text
    int partCount = 0;
};

// Throws quor::Error with an empty message on unbalanced parentheses.
CompiledExpression CompileExpression(std::string_view text);

bool isUnaryOperator(unsigned char op);

// Walks a compiled expression; malformed input raises the expression error.
class CompiledReader {
public:
    explicit CompiledReader(std::string_view code) : code_(code) {}
    bool atEnd() const { return pos_ >= code_.size(); }
    // The next byte; for kOperand, `operand` is filled.
    unsigned char next(Operand& operand);

private:
    std::uint32_t length();
    std::string_view code_;
    std::size_t pos_ = 0;
};

// Splits a function's argument text at the top-level commas (not inside
// parentheses or single quotes).
std::array<std::string, 3> splitArguments(std::string_view text);

}  // namespace quor
