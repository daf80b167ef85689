#include "formula/formula_lane_program.h"

#include "formula/complex_functions.h"
#include "formula/formula_blocks.h"
#include "formula/formula_eval.h"
#include "formula/formula_token_codes.h"
#include "formula/formula_tokenizer.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>

namespace vortimax {

namespace {

constexpr double kFormulaE = 2.718281828;
// Temporaries are numbered from this mark while translating and moved behind the
// constants at the end.
constexpr std::uint16_t kTemporaryMark = 0x8000;

// What a word of the expression does, as in the one-pixel handler table.
// Nothing: an operand, or a code without a run-time meaning.
enum class WordRole : std::uint8_t { Nothing, Binary, Unary, Srand, Rand };

struct WordRow {
    std::uint32_t code;
    WordRole role;
    LaneOpKind kind; // Binary, Unary
    ComplexFunction function = nullptr;
};

constexpr WordRow kWordRows[] = {
    {kTokPlus, WordRole::Binary, LaneOpKind::Add},
    {kTokMinus, WordRole::Binary, LaneOpKind::Subtract},
    {kTokTimes, WordRole::Binary, LaneOpKind::Multiply},
    {kTokDivide, WordRole::Binary, LaneOpKind::Divide},
    {kTokPower, WordRole::Binary, LaneOpKind::Power},
    {kTokEqual, WordRole::Binary, LaneOpKind::Equal},
    {kTokNotEqual, WordRole::Binary, LaneOpKind::NotEqual},
    {kTokLess, WordRole::Binary, LaneOpKind::Less},
    {kTokGreater, WordRole::Binary, LaneOpKind::Greater},
    {kTokLessEqual, WordRole::Binary, LaneOpKind::LessEqual},
    {kTokGreaterEqual, WordRole::Binary, LaneOpKind::GreaterEqual},
    {kTokAnd, WordRole::Binary, LaneOpKind::And},
    {kTokOr, WordRole::Binary, LaneOpKind::Or},
    {kTokNegate, WordRole::Unary, LaneOpKind::Negate},
    {kTokNot, WordRole::Unary, LaneOpKind::Not},
    {kTokSrand, WordRole::Srand, LaneOpKind::Copy},
    {kTokRand, WordRole::Rand, LaneOpKind::Rand},
    {kTokFn1, WordRole::Unary, LaneOpKind::Function},
    {kTokFn2, WordRole::Unary, LaneOpKind::Function},
    {kTokFn3, WordRole::Unary, LaneOpKind::Function},
    {kTokFn4, WordRole::Unary, LaneOpKind::Function},
    {kTokSin, WordRole::Unary, LaneOpKind::Function, complexSin},
    {kTokCos, WordRole::Unary, LaneOpKind::Function, complexCos},
    {kTokTan, WordRole::Unary, LaneOpKind::Function, complexTan},
    {kTokAsin, WordRole::Unary, LaneOpKind::Function, complexAsin},
    {kTokAcos, WordRole::Unary, LaneOpKind::Function, complexAcos},
    {kTokAtan, WordRole::Unary, LaneOpKind::Function, complexAtan},
    {kTokAbs, WordRole::Unary, LaneOpKind::Abs},
    {kTokLn, WordRole::Unary, LaneOpKind::Function, complexLog},
    {kTokExp, WordRole::Unary, LaneOpKind::Function, complexExp},
    {kTokLog, WordRole::Unary, LaneOpKind::Function, complexLog},
    {kTokSinh, WordRole::Unary, LaneOpKind::Function, complexSinh},
    {kTokSqrt, WordRole::Unary, LaneOpKind::Function, complexSqrt},
    {kTokTanh, WordRole::Unary, LaneOpKind::Function, complexTanh},
    {kTokCosh, WordRole::Unary, LaneOpKind::Function, complexCosh},
    {kTokCotan, WordRole::Unary, LaneOpKind::Function, complexCotan},
    {kTokCotanh, WordRole::Unary, LaneOpKind::Function, complexCotanh},
    {kTokConj, WordRole::Unary, LaneOpKind::Conj},
    {kTokReal, WordRole::Unary, LaneOpKind::Real},
    {kTokImag, WordRole::Unary, LaneOpKind::Imag},
    {kTokAcot, WordRole::Unary, LaneOpKind::Function, complexAcot},
    {kTokAsinh, WordRole::Unary, LaneOpKind::Function, complexAsinh},
    {kTokAcosh, WordRole::Unary, LaneOpKind::Function, complexAcosh},
    {kTokAtanh, WordRole::Unary, LaneOpKind::Function, complexAtanh},
    {kTokAcoth, WordRole::Unary, LaneOpKind::Function, complexAcoth},
    {kTokArg, WordRole::Unary, LaneOpKind::Function, complexArg},
    {kTokSqr, WordRole::Unary, LaneOpKind::Square},
    {kTokFlip, WordRole::Unary, LaneOpKind::Flip},
    {kTokModulus, WordRole::Unary, LaneOpKind::Modulus},
    {kTokCosxx, WordRole::Unary, LaneOpKind::Function, complexCosxx},
    {kTokCabs, WordRole::Unary, LaneOpKind::Function, complexModulus},
    {kTokRound, WordRole::Unary, LaneOpKind::Function, complexRound},
    {kTokTrunc, WordRole::Unary, LaneOpKind::Function, complexTrunc},
    {kTokFloor, WordRole::Unary, LaneOpKind::Function, complexFloor},
    {kTokCeil, WordRole::Unary, LaneOpKind::Function, complexCeil},
    {kTokIdent, WordRole::Unary, LaneOpKind::Function, complexIdent},
    {kTokZero, WordRole::Unary, LaneOpKind::Function, complexZero},
    {kTokOne, WordRole::Unary, LaneOpKind::Function, complexOne},
    {kTokRecip, WordRole::Unary, LaneOpKind::Function, complexRecip},
};

constexpr auto kWordTable = [] {
    std::array<WordRow, kTokenCodeCount> table{};
    for (std::uint32_t code = 0; code < kTokenCodeCount; ++code) {
        table[code] = {code, WordRole::Nothing, LaneOpKind::Copy};
    }
    for (const WordRow& row : kWordRows) {
        table[row.code] = row;
    }
    return table;
}();

bool sameBits(Complex a, Complex b) {
    return std::bit_cast<std::uint64_t>(a.re) == std::bit_cast<std::uint64_t>(b.re) &&
           std::bit_cast<std::uint64_t>(a.im) == std::bit_cast<std::uint64_t>(b.im);
}

class Translator {
public:
    Translator(const FormulaCode& code, const FormulaSettings& settings)
        : settings_(settings),
          variableSlots_(static_cast<std::uint16_t>(code.variableCount + kSpareVariableSlots)) {
        program_.variableSlotCount = variableSlots_;
    }

    bool section(std::span<const CompiledStatement> statements, LaneSection& section) {
        return block(statements, 0, statements.size(), section);
    }

    // Moves the temporaries behind the constants, fuses operation pairs and lists what the
    // if blocks write.
    LaneProgram finish() {
        const auto firstTemporary =
            static_cast<std::uint16_t>(kFirstVariableSlot + variableSlots_ + constantCount_);
        auto place = [&](std::uint16_t& slot) {
            if (slot >= kTemporaryMark) {
                slot = static_cast<std::uint16_t>(firstTemporary + (slot - kTemporaryMark));
            }
        };
        for (LaneBranch& branch : program_.branches) {
            place(branch.condition);
        }
        for (LaneSection* section : sections()) {
            for (LaneOp& op : section->ops) {
                if (op.kind != LaneOpKind::Branch) {
                    place(op.a);
                    place(op.b);
                    place(op.out);
                }
            }
            place(section->value);
            fuseLaneOps(section->ops, firstTemporary);
            for (LaneOp& op : section->ops) {
                op.run = op.kind == LaneOpKind::Branch ? nullptr : laneOpRunner(op.kind);
            }
        }
        program_.slotCount = static_cast<std::uint16_t>(firstTemporary + temporaries_);
        for (LaneBranch& branch : program_.branches) {
            for (const LaneSection* part : {&branch.then, &branch.otherwise}) {
                collectWrites(*part, firstTemporary, branch);
            }
        }
        return std::move(program_);
    }

    LaneProgram& program() { return program_; }

private:
    // Blocks inside come first, so their lists are complete when the outer one reads them.
    void collectWrites(const LaneSection& section, std::uint16_t firstTemporary,
                       LaneBranch& branch) const {
        auto add = [&](std::uint16_t slot) {
            if (std::find(branch.written.begin(), branch.written.end(), slot) ==
                branch.written.end()) {
                branch.written.push_back(slot);
            }
        };
        for (const LaneOp& op : section.ops) {
            if (op.kind == LaneOpKind::Branch) {
                const LaneBranch& inner = program_.branches[op.a];
                for (std::uint16_t slot : inner.written) {
                    add(slot);
                }
                branch.seeds = branch.seeds || inner.seeds;
            } else if (op.kind == LaneOpKind::Rand || op.kind == LaneOpKind::Srand) {
                branch.seeds = true;
                if (op.kind == LaneOpKind::Rand && op.out < firstTemporary) {
                    add(op.out);
                }
            } else if (op.out < firstTemporary) {
                add(op.out);
            }
        }
    }

    // The statements begin ... end - 1 of a section, if blocks turned into branches. The
    // compiler writes a block as: the condition ending in JumpIfFalse to the next branch;
    // the branch; before an else branch a Jump to the end of the block. A Jump that goes on
    // with the next statement or to the end of the range does nothing.
    bool block(std::span<const CompiledStatement> all, std::size_t begin, std::size_t end,
               LaneSection& section) {
        for (std::size_t at = begin; at < end;) {
            const std::optional<StatementJump> jump = statementJump(all[at]);
            if (!jump) {
                if (!statement(all[at], section)) {
                    return false;
                }
                ++at;
            } else if (jump->code == kTokJump) {
                if (jump->target != at + 1 && jump->target != end) {
                    return false;
                }
                ++at;
            } else if (!branch(all, at, end, *jump, section)) {
                return false;
            }
        }
        return true;
    }

    bool branch(std::span<const CompiledStatement> all, std::size_t& at, std::size_t end,
                StatementJump jump, LaneSection& section) {
        const std::size_t next = jump.target;
        if (next <= at || next > end || !statement(all[at], section)) {
            return false;
        }
        LaneBranch made;
        made.condition = section.value;
        std::size_t thenEnd = next;
        std::size_t blockEnd = next;
        if (next - 1 > at) {
            const std::optional<StatementJump> last = statementJump(all[next - 1]);
            if (last && last->code == kTokJump && last->target > next && last->target <= end) {
                thenEnd = next - 1;
                blockEnd = last->target;
            }
        }
        if (!block(all, at + 1, thenEnd, made.then) ||
            !block(all, next, blockEnd, made.otherwise)) {
            return false;
        }
        program_.branches.push_back(std::move(made));
        section.ops.push_back(
            {LaneOpKind::Branch, static_cast<std::uint16_t>(program_.branches.size() - 1), 0, 0});
        at = blockEnd;
        return true;
    }

    std::vector<LaneSection*> sections() {
        std::vector<LaneSection*> all{&program_.init, &program_.iteration, &program_.abort};
        for (LaneBranch& branch : program_.branches) {
            all.push_back(&branch.then);
            all.push_back(&branch.otherwise);
        }
        for (auto* colour : {&program_.insideColour, &program_.outsideColour}) {
            if (colour->has_value()) {
                all.push_back(&**colour);
            }
        }
        return all;
    }

    bool fits(const CompiledStatement& statement) const {
        return !statement.words.empty() && !statement.usesBuiltInColouring() &&
               statement.stackDepth <= kValueStackSize &&
               statement.highestVariable < variableSlots_;
    }

    bool statement(const CompiledStatement& statement, LaneSection& section) {
        if (!fits(statement)) {
            return false;
        }
        stack_.clear();
        const std::span<const std::uint32_t> words = statement.words;
        std::size_t at = 0;
        while (at < words.size() && words[at] != kTokEnd) {
            if (!word(words, at, section.ops)) {
                return false;
            }
        }
        if (at >= words.size() || stack_.empty()) {
            return false;
        }
        ++at; // the 0 word
        const std::uint16_t value = stack_.back();
        std::vector<std::uint16_t> targets;
        while (at < words.size() && words[at] != kTokEnd) {
            const std::uint32_t target = words[at++];
            if (target == kTokZ) {
                targets.push_back(kSlotZ);
            } else if (target == kTokVariable && at < words.size() && words[at] < variableSlots_) {
                targets.push_back(variableSlot(words[at++]));
            } else {
                return false;
            }
        }
        if (at >= words.size()) {
            return false;
        }
        section.value = assign(value, targets, section.ops);
        return true;
    }

    // Copies the value to the targets; the last operation writes a single target itself.
    std::uint16_t assign(std::uint16_t value, const std::vector<std::uint16_t>& targets,
                         std::vector<LaneOp>& ops) {
        if (targets.size() == 1 && value >= kTemporaryMark && !ops.empty() &&
            ops.back().out == value && ops.back().kind != LaneOpKind::Srand) {
            ops.back().out = targets[0];
            return targets[0];
        }
        for (std::uint16_t target : targets) {
            if (target != value) {
                ops.push_back({LaneOpKind::Copy, value, 0, target});
            }
        }
        return value;
    }

    bool word(std::span<const std::uint32_t> words, std::size_t& at, std::vector<LaneOp>& ops) {
        const std::uint32_t code = words[at++];
        if (code >= kTokenCodeCount) {
            return false;
        }
        if (code == kTokJumpIfFalse) {
            ++at; // the block structure is read from the statements (block())
            return at <= words.size() && !stack_.empty();
        }
        if (code == kTokStore) {
            return store(words, at, ops);
        }
        if (code == kTokJump) {
            return false;
        }
        const WordRow& row = kWordTable[code];
        switch (row.role) {
        case WordRole::Nothing:
            return operand(words, code, at);
        case WordRole::Rand:
            ops.push_back({LaneOpKind::Rand, 0, 0, pushTemporary()});
            return true;
        case WordRole::Srand:
            if (stack_.empty()) {
                return false;
            }
            ops.push_back({LaneOpKind::Srand, stack_.back(), 0, 0});
            return true;
        case WordRole::Unary:
            return unary(row, code, ops);
        case WordRole::Binary:
            return binary(row, ops);
        }
        return false;
    }

    // An assignment inside an expression. Operands are read from their slots when an
    // operation runs, so a value still waiting on the stack that reads the target slot is
    // copied to its temporary first.
    bool store(std::span<const std::uint32_t> words, std::size_t& at, std::vector<LaneOp>& ops) {
        if (at >= words.size() || stack_.empty() || words[at] >= variableSlots_) {
            return false;
        }
        const std::uint32_t variable = words[at++];
        const std::uint16_t target = variable == 0 ? std::uint16_t{kSlotZ} : variableSlot(variable);
        for (std::size_t k = 0; k + 1 < stack_.size(); ++k) {
            if (stack_[k] == target) {
                const auto temporary = static_cast<std::uint16_t>(kTemporaryMark + k);
                temporaries_ =
                    std::max<std::uint16_t>(temporaries_, static_cast<std::uint16_t>(k + 1));
                ops.push_back({LaneOpKind::Copy, target, 0, temporary});
                stack_[k] = temporary;
            }
        }
        if (stack_.back() != target) {
            ops.push_back({LaneOpKind::Copy, stack_.back(), 0, target});
        }
        return true;
    }

    bool unary(const WordRow& row, std::uint32_t code, std::vector<LaneOp>& ops) {
        if (stack_.empty()) {
            return false;
        }
        const std::uint16_t a = pop();
        LaneOp op{row.kind, a, 0, pushTemporary(), row.function};
        if (code >= kTokFn1 && code <= kTokFn4) {
            op.function = functionPointer(settings_.fn[code - kTokFn1]);
        }
        ops.push_back(op);
        return true;
    }

    bool binary(const WordRow& row, std::vector<LaneOp>& ops) {
        if (stack_.size() < 2) {
            return false;
        }
        const std::uint16_t b = pop();
        const std::uint16_t a = pop();
        LaneOp op{row.kind, a, b, pushTemporary()};
        // A constant exponent of 2 or 3 is the exact square or cube, whatever a is.
        if (row.kind == LaneOpKind::Power) {
            if (const Complex* exponent = constantValue(b)) {
                if (sameBits(*exponent, {2.0, 0.0})) {
                    op.kind = LaneOpKind::Square;
                } else if (sameBits(*exponent, {3.0, 0.0})) {
                    op.kind = LaneOpKind::Cube;
                }
            }
        }
        ops.push_back(op);
        return true;
    }

    // Operands push their slot; the other codes without a role do nothing.
    bool operand(std::span<const std::uint32_t> words, std::uint32_t code, std::size_t& at) {
        if (code == kTokNumber) {
            if (at + 2 > words.size()) {
                return false;
            }
            stack_.push_back(constant({readNumberWords(&words[at]), 0.0}));
            at += 2;
            return true;
        }
        if (code == kTokVariable) {
            if (at >= words.size() || words[at] >= variableSlots_) {
                return false;
            }
            stack_.push_back(variableSlot(words[at++]));
            return true;
        }
        if (const std::optional<std::uint16_t> slot = contextSlot(code)) {
            stack_.push_back(*slot);
            return true;
        }
        if (const std::optional<Complex> value = settingValue(code)) {
            stack_.push_back(constant(*value));
        }
        return true;
    }

    std::optional<std::uint16_t> contextSlot(std::uint32_t code) {
        switch (code) {
        case kTokZ:
            return kSlotZ;
        case kTokPixel:
            return kSlotPixel;
        case kTokLastSqr:
            return kSlotLastSqr;
        case kTokPosX:
            return kSlotPosX;
        case kTokPosY:
            return kSlotPosY;
        case kTokIter:
            program_.usesIter = true;
            return kSlotIter;
        default:
            return std::nullopt;
        }
    }

    // The operands whose value is the same for every pixel of a calculation.
    std::optional<Complex> settingValue(std::uint32_t code) const {
        const FormulaSettings& s = settings_;
        auto real = [](double value) { return Complex{value, 0.0}; };
        auto integer = [](std::int32_t value) { return Complex{static_cast<double>(value), 0.0}; };
        if (code >= kTokP1 && code <= kTokP4) {
            return s.p[code - kTokP1];
        }
        if (code >= kTokCorner1 && code <= kTokCorner4) {
            return s.corners[code - kTokCorner1];
        }
        if (code >= kTokL0 && code <= kTokL10) {
            return Complex{0.0, 0.0}; // no layer values outside compound merges
        }
        switch (code) {
        case kTokBailout:
            return real(s.bailout);
        case kTokBailin:
            return real(s.bailin);
        case kTokLeft:
            return real(s.left);
        case kTokRight:
            return real(s.right);
        case kTokTop:
            return real(s.top);
        case kTokBottom:
            return real(s.bottom);
        case kTokMaxIter:
            return integer(s.maxIter);
        case kTokWidth:
            return integer(s.width);
        case kTokHeight:
            return integer(s.height);
        case kTokPi:
            return real(kLibraryPi);
        case kTokE:
            return real(kFormulaE);
        case kTokI:
            return Complex{0.0, 1.0};
        case kTokTrue:
            return real(1.0);
        case kTokFalse:
            return real(0.0);
        default:
            return std::nullopt;
        }
    }

    std::uint16_t constant(Complex value) {
        for (const LaneConstant& known : program_.constants) {
            if (sameBits(known.value, value)) {
                return known.slot;
            }
        }
        const auto slot =
            static_cast<std::uint16_t>(kFirstVariableSlot + variableSlots_ + constantCount_++);
        program_.constants.push_back({slot, value});
        return slot;
    }

    const Complex* constantValue(std::uint16_t slot) const {
        for (const LaneConstant& known : program_.constants) {
            if (known.slot == slot) {
                return &known.value;
            }
        }
        return nullptr;
    }

    std::uint16_t variableSlot(std::uint32_t variable) const {
        return static_cast<std::uint16_t>(kFirstVariableSlot + variable);
    }

    std::uint16_t pop() {
        const std::uint16_t slot = stack_.back();
        stack_.pop_back();
        return slot;
    }

    // The temporary of the next stack position, pushed.
    std::uint16_t pushTemporary() {
        const auto position = static_cast<std::uint16_t>(stack_.size());
        temporaries_ = std::max<std::uint16_t>(temporaries_, position + 1);
        const auto slot = static_cast<std::uint16_t>(kTemporaryMark + position);
        stack_.push_back(slot);
        return slot;
    }

    const FormulaSettings& settings_;
    std::uint16_t variableSlots_;
    std::uint16_t constantCount_ = 0;
    std::uint16_t temporaries_ = 0;
    std::vector<std::uint16_t> stack_;
    LaneProgram program_;
};

bool translateColour(Translator& translator, const CompiledStatement& statement,
                     std::optional<LaneSection>& section) {
    if (statement.usesBuiltInColouring()) {
        return true;
    }
    section.emplace();
    return translator.section(std::span(&statement, 1), *section);
}

} // namespace

std::optional<LaneProgram> translateFormula(const FormulaCode& code,
                                            const FormulaSettings& settings) {
    if (!code.isComplete() || code.variableCount + kSpareVariableSlots > 4096) {
        return std::nullopt;
    }
    Translator translator(code, settings);
    LaneProgram& program = translator.program();
    if (!translator.section(code.init, program.init) ||
        !translator.section(code.iteration, program.iteration) ||
        !translator.section(std::span(&*code.abort, 1), program.abort) ||
        !translateColour(translator, code.insideColour, program.insideColour) ||
        !translateColour(translator, code.outsideColour, program.outsideColour)) {
        return std::nullopt;
    }
    return translator.finish();
}

void fuseLaneOps(std::vector<LaneOp>& ops, std::uint16_t firstTemporary) {
    std::vector<LaneOp> fused;
    fused.reserve(ops.size());
    for (std::size_t k = 0; k < ops.size(); ++k) {
        const LaneOp& first = ops[k];
        if (k + 1 < ops.size() && first.out >= firstTemporary) {
            const LaneOp& second = ops[k + 1];
            const bool left = second.a == first.out;
            const bool right = second.b == first.out;
            const std::uint16_t other = left ? second.b : second.a;
            LaneOpKind kind = LaneOpKind::Count;
            if (first.kind == LaneOpKind::Square && second.kind == LaneOpKind::Add) {
                kind = left ? LaneOpKind::SquareAdd : LaneOpKind::AddSquare;
            } else if (first.kind == LaneOpKind::Modulus && left) {
                if (second.kind == LaneOpKind::LessEqual) {
                    kind = LaneOpKind::ModulusLessEqual;
                } else if (second.kind == LaneOpKind::Less) {
                    kind = LaneOpKind::ModulusLess;
                }
            }
            if (kind != LaneOpKind::Count && (left || right) && !(left && right)) {
                fused.push_back({kind, first.a, other, second.out});
                ++k;
                continue;
            }
        }
        fused.push_back(first);
    }
    ops = std::move(fused);
}

} // namespace vortimax
