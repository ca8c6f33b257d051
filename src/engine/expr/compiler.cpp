#include "engine/expr/compiler.h"

#include "engine/expr/brackets.h"
#include "engine/expr/expression_messages.h"
#include "platform/error.h"

#include <cctype>
#include <vector>

namespace quor {
namespace {

constexpr unsigned char kOpenParen = '(';

bool isDelimiter(char c) {
    switch (c) {
    case '\r': case ' ': case '(': case ')': case '*': case '+': case '-': case '/':
    case '<': case '=': case '>': case '[':
        return true;
    default:
        return false;
    }
}

int precedence(unsigned char op) {
    switch (op) {
    case kOpInt: case kOpFrac: case kOpRound: case kOpStr:
        return 0;
    case '*': case '/': case kOpMod: case kOpAnd: case kOpOr: case kOpNot:
        return 1;
    case '+': case '-': case kOpNegate: case kOpPlusSign:
        return 2;
    default:  // comparisons
        return 3;
    }
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

void putLength(std::string& out, std::size_t n) {
    auto v = static_cast<std::uint32_t>(n);
    for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

class Compiler {
public:
    explicit Compiler(std::string_view s) : s_(s) {}

    CompiledExpression run() {
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == ' ' || c == '\r') {
                ++i_;
            } else if (c == ';') {
                break;
            } else if (c == '(') {
                ops_.push_back(kOpenParen);
                lastOperand_ = false;
                ++i_;
            } else if (c == ')') {
                closeParen();
                ++i_;
            } else if (c == '+' || c == '-') {
                if (lastOperand_) binary(static_cast<unsigned char>(c));
                else prefix(c == '-' ? kOpNegate : kOpPlusSign);
                ++i_;
            } else if (c == '*' || c == '/' || c == '=') {
                binary(static_cast<unsigned char>(c));
                ++i_;
            } else if (c == '<') {
                unsigned char op = '<';
                if (peek(1) == '>') op = kOpNotEqual;
                else if (peek(1) == '=') op = kOpLessEqual;
                binary(op);
                i_ += op == '<' ? 1 : 2;
            } else if (c == '>') {
                unsigned char op = peek(1) == '=' ? static_cast<unsigned char>(kOpGreaterEqual) : '>';
                binary(op);
                i_ += op == '>' ? 1 : 2;
            } else if (c == '\'') {
                stringLiteral();
            } else if (c == '[') {
                bracket();
            } else if (c == '%') {
                namePrefix_ = std::string(s_.substr(i_, 2));
                i_ += namePrefix_.size();
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == ',' || c == '.') {
                number();
            } else {
                nameOrWord();
            }
        }
        while (!ops_.empty()) {
            if (ops_.back() == kOpenParen) throw Error("");
            out_ += static_cast<char>(ops_.back());
            ops_.pop_back();
        }
        return std::move(out_);
    }

private:
    char peek(std::size_t ahead) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }

    void binary(unsigned char op) {
        int p = precedence(op);
        while (!ops_.empty() && ops_.back() != kOpenParen && precedence(ops_.back()) <= p) {
            out_ += static_cast<char>(ops_.back());
            ops_.pop_back();
        }
        ops_.push_back(op);
        lastOperand_ = false;
    }

    // Prefix operators take the operand that follows; nothing is popped.
    void prefix(unsigned char op) {
        ops_.push_back(op);
        lastOperand_ = false;
    }

    void closeParen() {
        while (!ops_.empty() && ops_.back() != kOpenParen) {
            out_ += static_cast<char>(ops_.back());
            ops_.pop_back();
        }
        if (ops_.empty()) throw Error("");
        ops_.pop_back();
        lastOperand_ = true;
    }

    void operand(OperandKind kind, std::initializer_list<std::string_view> parts) {
        out_ += static_cast<char>(kOperand);
        out_ += static_cast<char>(kind);
        out_ += static_cast<char>(parts.size());
        for (std::string_view p : parts) {
            putLength(out_, p.size());
            out_.append(p);
        }
        lastOperand_ = true;
        namePrefix_.clear();
    }

    void stringLiteral() {
        std::string text;
        ++i_;
        while (i_ < s_.size()) {
            if (s_[i_] == '\'') {
                if (peek(1) != '\'') {
                    ++i_;
                    break;
                }
                ++i_;
            }
            text += s_[i_++];
        }
        operand(OperandKind::String, {text});
    }

    // The content of [..] starting at i_; an unclosed one takes the rest.
    std::string_view bracketContent() {
        bool closed = false;
        std::size_t j = findBracketEnd(s_, i_, &closed);
        std::string_view content = closed ? s_.substr(i_ + 1, j - i_ - 1) : s_.substr(i_ + 1);
        i_ = j + 1;
        return content;
    }

    void bracket() { operand(OperandKind::Bracket, {bracketContent()}); }

    void number() {
        std::size_t start = i_;
        while (i_ < s_.size() && !isDelimiter(s_[i_]) && s_[i_] != ';') ++i_;
        operand(OperandKind::Number, {s_.substr(start, i_ - start)});
    }

    void nameOrWord() {
        std::size_t start = i_;
        while (i_ < s_.size() && !isDelimiter(s_[i_])) {
            if (s_[i_] == '"') {
                std::size_t end = s_.find('"', i_ + 1);
                i_ = end == std::string_view::npos ? s_.size() : end + 1;
            } else {
                ++i_;
            }
        }
        std::string_view name = s_.substr(start, i_ - start);
        std::string upper = upperAscii(name);
        if (upper == "OR") return binary(kOpOr);
        if (upper == "AND") return binary(kOpAnd);
        if (upper == "MOD") return binary(kOpMod);
        if (upper == "NOT") return prefix(kOpNot);
        if (upper == "INT") return prefix(kOpInt);
        if (upper == "FRAC") return prefix(kOpFrac);
        if (upper == "ROUND") return prefix(kOpRound);
        if (upper == "STR") return prefix(kOpStr);
        if (peek(0) == '(') return functionCall(name);
        if (peek(0) == '[') {
            std::string_view index = bracketContent();
            return operand(OperandKind::Function, {"GETARRAY", name, index});
        }
        if (upper == "TRUE" || upper == "FALSE") return operand(OperandKind::Boolean, {upper == "TRUE" ? "1" : "0"});
        std::string full = namePrefix_ + std::string(name);
        operand(OperandKind::Name, {full});
    }

    void functionCall(std::string_view name) {
        std::size_t open = i_;
        int depth = 0;
        bool quoted = false;
        std::size_t k = open;
        for (; k < s_.size(); ++k) {
            char c = s_[k];
            if (c == '\'') quoted = !quoted;
            if (quoted) continue;
            if (c == '(') ++depth;
            else if (c == ')' && --depth == 0) break;
        }
        if (k >= s_.size()) throw Error("");
        std::array<std::string, 3> args = splitArguments(s_.substr(open + 1, k - open - 1));
        i_ = k + 1;
        operand(OperandKind::Function, {name, args[0], args[1], args[2]});
    }

    std::string_view s_;
    std::size_t i_ = 0;
    std::string out_;
    std::vector<unsigned char> ops_;
    bool lastOperand_ = false;
    std::string namePrefix_;
};

}  // namespace

CompiledExpression CompileExpression(std::string_view text) { return Compiler(text).run(); }

bool isUnaryOperator(unsigned char op) {
    switch (op) {
    case kOpNot: case kOpInt: case kOpFrac: case kOpRound: case kOpStr: case kOpNegate: case kOpPlusSign:
        return true;
    default:
        return false;
    }
}

std::uint32_t CompiledReader::length() {
    if (code_.size() - pos_ < 4) throwExpressionError();
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(code_[pos_ + k])) << (8 * k);
    pos_ += 4;
    return v;
}

unsigned char CompiledReader::next(Operand& operand) {
    auto b = static_cast<unsigned char>(code_[pos_++]);
    if (b != kOperand) return b;
    if (code_.size() - pos_ < 2) throwExpressionError();
    operand.kind = static_cast<OperandKind>(code_[pos_]);
    int count = static_cast<unsigned char>(code_[pos_ + 1]);
    pos_ += 2;
    if (count < 1 || count > static_cast<int>(operand.parts.size())) throwExpressionError();
    operand.partCount = count;
    for (int p = 0; p < count; ++p) {
        std::uint32_t n = length();
        if (code_.size() - pos_ < n) throwExpressionError();
        operand.parts[static_cast<std::size_t>(p)] = code_.substr(pos_, n);
        pos_ += n;
    }
    for (std::size_t p = static_cast<std::size_t>(count); p < operand.parts.size(); ++p) operand.parts[p] = {};
    return b;
}

std::array<std::string, 3> splitArguments(std::string_view text) {
    std::array<std::string, 3> args;
    std::size_t index = 0, start = 0;
    int depth = 0;
    bool quoted = false;
    for (std::size_t k = 0; k < text.size() && index < args.size(); ++k) {
        char c = text[k];
        if (c == '\'') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ',' && depth == 0) {
            args[index++] = std::string(text.substr(start, k - start));
            start = k + 1;
        }
    }
    if (index < args.size()) args[index] = std::string(text.substr(start));
    return args;
}

}  // namespace quor
