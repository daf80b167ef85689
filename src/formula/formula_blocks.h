#pragma once

// If blocks of formula sections: lines `if(c)`, `elseif(c)`, `else` and `endif` become
// statements with jumps. The condition of `if(c)` and `elseif(c)` is compiled as a statement
// whose expression ends with JumpIfFalse to the next branch; before `elseif` and `else` the
// branch just finished ends with a statement holding only Jump to the end of the block. An
// `endif` adds no statement. Jump targets are statement indices within the section.

#include "formula/formula_statement.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

enum class BlockWord : std::uint8_t { None, If, ElseIf, Else, EndIf };

// What a preprocessed line (lower case, no blanks) is; `condition` gets the text after `if`
// or `elseif` (starting with its bracket).
BlockWord blockWordOf(std::string_view line, std::string_view& condition);

// Deepest nesting of if blocks.
inline constexpr std::size_t kMaxBlockDepth = 64;

// Compiles the lines of one section in order into its statement list.
class BlockCompiler {
public:
    BlockCompiler(VariableList& variables, std::vector<CompiledStatement>& out)
        : variables_(variables), out_(out) {}

    CompileError line(std::string_view text);
    // BlockStructure when an if block is still open.
    CompileError finish() const;

private:
    struct OpenBlock {
        std::optional<std::size_t> pendingCondition; // statement whose JumpIfFalse is open
        std::vector<std::size_t> endJumps;           // statements whose Jump goes to the end
        bool sawElse = false;
    };

    CompileError condition(std::string_view text);
    void endBranch();
    void patch(std::size_t statement, std::uint32_t target);

    VariableList& variables_;
    std::vector<CompiledStatement>& out_;
    std::vector<OpenBlock> open_;
};

// The jump that ends a statement's expression: its code (JumpIfFalse or Jump) and target.
struct StatementJump {
    std::uint32_t code = 0;
    std::uint32_t target = 0;
};
std::optional<StatementJump> statementJump(const CompiledStatement& statement);

} // namespace vortimax
