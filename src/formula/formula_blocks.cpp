#include "formula/formula_blocks.h"

#include "formula/formula_postfix.h"
#include "formula/formula_token_codes.h"

namespace vortimax {

namespace {

// The index of the word 0 that ends the expression, or the size when there is none.
std::size_t expressionEnd(const std::vector<std::uint32_t>& words) {
    std::size_t at = 0;
    while (at < words.size() && words[at] != kTokEnd) {
        at += tokenWidth(words, at);
    }
    return at < words.size() ? at : words.size();
}

} // namespace

BlockWord blockWordOf(std::string_view line, std::string_view& condition) {
    if (line == "else") {
        return BlockWord::Else;
    }
    if (line == "endif") {
        return BlockWord::EndIf;
    }
    if (line.starts_with("if(")) {
        condition = line.substr(2);
        return BlockWord::If;
    }
    if (line.starts_with("elseif(")) {
        condition = line.substr(6);
        return BlockWord::ElseIf;
    }
    return BlockWord::None;
}

CompileError BlockCompiler::line(std::string_view text) {
    std::string_view conditionText;
    const BlockWord word = blockWordOf(text, conditionText);
    if (word == BlockWord::None) {
        CompiledStatement statement;
        const CompileError error = compileStatement(text, variables_, statement);
        if (error == CompileError::None) {
            out_.push_back(std::move(statement));
        }
        return error;
    }
    if (word == BlockWord::If) {
        if (open_.size() >= kMaxBlockDepth) {
            return CompileError::TooLong;
        }
        open_.emplace_back();
        return condition(conditionText);
    }
    if (open_.empty() || (word != BlockWord::EndIf && open_.back().sawElse)) {
        return CompileError::BlockStructure;
    }
    const auto here = [&] { return static_cast<std::uint32_t>(out_.size()); };
    switch (word) {
    case BlockWord::ElseIf:
        endBranch();
        return condition(conditionText);
    case BlockWord::Else:
        endBranch();
        open_.back().sawElse = true;
        return CompileError::None;
    default: // EndIf
        if (open_.back().pendingCondition) {
            patch(*open_.back().pendingCondition, here());
        }
        for (const std::size_t jump : open_.back().endJumps) {
            patch(jump, here());
        }
        open_.pop_back();
        return CompileError::None;
    }
}

CompileError BlockCompiler::finish() const {
    return open_.empty() ? CompileError::None : CompileError::BlockStructure;
}

// A condition may not assign: its statement ends with JumpIfFalse and no targets.
CompileError BlockCompiler::condition(std::string_view text) {
    CompiledStatement statement;
    const CompileError error = compileStatement(text, variables_, statement);
    if (error != CompileError::None) {
        return error;
    }
    std::vector<std::uint32_t>& words = statement.words;
    const std::size_t end = expressionEnd(words);
    if (end + 2 != words.size()) {
        return CompileError::BlockStructure;
    }
    words.insert(words.begin() + static_cast<std::ptrdiff_t>(end), {kTokJumpIfFalse, 0});
    open_.back().pendingCondition = out_.size();
    out_.push_back(std::move(statement));
    return CompileError::None;
}

// The branch that just ended jumps to the end of the block; the open condition jumps here.
void BlockCompiler::endBranch() {
    OpenBlock& block = open_.back();
    CompiledStatement jump;
    jump.words = {kTokJump, 0, kTokEnd, kTokEnd};
    block.endJumps.push_back(out_.size());
    out_.push_back(std::move(jump));
    if (block.pendingCondition) {
        patch(*block.pendingCondition, static_cast<std::uint32_t>(out_.size()));
        block.pendingCondition.reset();
    }
}

void BlockCompiler::patch(std::size_t statement, std::uint32_t target) {
    std::vector<std::uint32_t>& words = out_[statement].words;
    const std::size_t end = expressionEnd(words);
    words[end - 1] = target;
}

std::optional<StatementJump> statementJump(const CompiledStatement& statement) {
    const std::vector<std::uint32_t>& words = statement.words;
    std::size_t at = 0;
    std::size_t last = words.size();
    while (at < words.size() && words[at] != kTokEnd) {
        last = at;
        at += tokenWidth(words, at);
    }
    if (at >= words.size() || last >= words.size() || last + 2 != at) {
        return std::nullopt;
    }
    const std::uint32_t code = words[last];
    if (code != kTokJumpIfFalse && code != kTokJump) {
        return std::nullopt;
    }
    return StatementJump{code, words[last + 1]};
}

} // namespace vortimax
