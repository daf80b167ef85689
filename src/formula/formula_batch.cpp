#include "formula/formula_batch.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vortimax {

namespace {

// Iterations the z = z^2 + c loop runs between looks at the pixels that stopped.
constexpr std::int32_t kQuadraticBlock = 64;

bool isConstant(const LaneProgram& program, std::uint16_t slot) {
    return std::any_of(program.constants.begin(), program.constants.end(),
                       [slot](const LaneConstant& c) { return c.slot == slot; });
}

// The constant's value, for a slot known to hold one.
double constantRe(const LaneProgram& program, std::uint16_t slot) {
    for (const LaneConstant& c : program.constants) {
        if (c.slot == slot) {
            return c.value.re;
        }
    }
    return 0.0;
}

// Whether the formula's iteration is z = z^2 + c with c fixed per pixel, and its abort
// condition (when tested) |z| <= r or |z| < r into a temporary: then nothing but z changes
// from one iteration to the next.
std::optional<QuadraticStep> quadraticStep(const LaneProgram& program, bool testFormula) {
    const auto firstTemporary = static_cast<std::uint16_t>(
        kFirstVariableSlot + program.variableSlotCount + program.constants.size());
    const std::vector<LaneOp>& ops = program.iteration.ops;
    if (ops.size() != 1 || ops[0].kind != LaneOpKind::SquareAdd || ops[0].a != kSlotZ ||
        ops[0].out != kSlotZ) {
        return std::nullopt;
    }
    const std::uint16_t c = ops[0].b;
    const bool fixed = c == kSlotPixel || c == kSlotPosX || c == kSlotPosY ||
                       (c >= kFirstVariableSlot && c < firstTemporary);
    if (!fixed) {
        return std::nullopt;
    }
    QuadraticStep step;
    step.c = c;
    step.testAbort = testFormula;
    if (testFormula) {
        const std::vector<LaneOp>& abort = program.abort.ops;
        if (abort.size() != 1 || abort[0].a != kSlotZ || abort[0].out < firstTemporary ||
            !isConstant(program, abort[0].b) ||
            (abort[0].kind != LaneOpKind::ModulusLessEqual &&
             abort[0].kind != LaneOpKind::ModulusLess)) {
            return std::nullopt;
        }
        step.strict = abort[0].kind == LaneOpKind::ModulusLess;
        step.radius = constantRe(program, abort[0].b);
    }
    return step;
}

} // namespace

FormulaBatchIterator::FormulaBatchIterator(const FormulaCode& code, const FormulaSettings& settings,
                                           bool keepPreviousZ,
                                           std::optional<double> infinityBailout)
    : program_(translateFormula(code, settings)), maxIter_(settings.maxIter),
      keepPreviousZ_(keepPreviousZ), infinityBailout_(infinityBailout) {
    if (!program_) {
        fallback_.emplace(code, settings);
        return;
    }
    stepTests_ = {settings.testFormula, program_->abort.value, infinityBailout.has_value(),
                  infinityBailout.value_or(0.0)};
    stepEnd_ = laneStepEnd();
    if (!keepPreviousZ) {
        quadratic_ = quadraticStep(*program_, settings.testFormula);
    }
    if (quadratic_) {
        quadratic_->testInfinity = infinityBailout.has_value();
        quadratic_->bailout = infinityBailout.value_or(0.0);
        quadraticBlock_ = laneQuadraticBlock();
    }
    registers_.slots.assign(program_->slotCount, LaneSlot{});
    branchStates_.resize(program_->branches.size());
    for (std::size_t k = 0; k < program_->branches.size(); ++k) {
        branchStates_[k].saved.resize(program_->branches[k].written.size());
    }
    for (const LaneConstant& constant : program_->constants) {
        LaneSlot& slot = registers_.slots[constant.slot];
        slot.re.fill(constant.value.re);
        slot.im.fill(constant.value.im);
    }
}

void FormulaBatchIterator::iterateBatch(std::span<const FormulaPixel> pixels,
                                        std::span<FormulaPixelResult> results) {
    if (!quadratic_) {
        iterateBatch(pixels, results, [](const FormulaLanes&) {});
        return;
    }
    startBatch(pixels);
    iterateQuadratic(results);
    if (maxIter_ > 0) {
        setIter(maxIter_ - 1);
    }
    finishInside(results);
}

void FormulaBatchIterator::iterateQuadratic(std::span<FormulaPixelResult> results) {
    LaneSlot& z = registers_.slots[kSlotZ];
    LaneSlot& lastSqr = registers_.slots[kSlotLastSqr];
    for (std::int32_t k = 0; k < maxIter_ && count_ > 0;) {
        const std::int32_t k1 = maxIter_ - k > kQuadraticBlock ? k + kQuadraticBlock : maxIter_;
        quadraticBlock_(registers_, *quadratic_, count_, k, k1, stopAt_.data());
        for (int i = 0; i < count_; ++i) {
            lastSqr.re[i] = z.re[i] * z.re[i] + z.im[i] * z.im[i];
        }
        retireInOrder(results);
        k = k1;
    }
}

void FormulaBatchIterator::retireInOrder(std::span<FormulaPixelResult> results) {
    for (;;) {
        std::int32_t first = -1;
        for (int i = 0; i < count_; ++i) {
            const std::int32_t at = stopAt_[static_cast<std::size_t>(i)];
            if (at >= 0 && (first < 0 || at < first)) {
                first = at;
            }
        }
        if (first < 0) {
            return;
        }
        for (int i = 0; i < count_; ++i) {
            stop_[static_cast<std::size_t>(i)] = stopAt_[static_cast<std::size_t>(i)] == first;
        }
        setIter(first);
        retire(first, results);
    }
}

void FormulaBatchIterator::run(const LaneSection& section, int begin, int end) {
    for (const LaneOp& op : section.ops) {
        if (op.kind == LaneOpKind::Branch) {
            runBranch(op.a, begin, end);
        } else {
            op.run(registers_, op, begin, end);
        }
    }
}

namespace {

// For the lanes of `taken`, the saved values become the current ones' copy; the other lanes
// get their saved values back.
template <class Values>
void exchange(Values& current, Values& saved, const std::uint8_t* taken, int begin, int end) {
    for (int i = begin; i < end; ++i) {
        if (taken[i] != 0) {
            saved[i] = current[i];
        } else {
            current[i] = saved[i];
        }
    }
}

template <class Values>
void restoreTaken(Values& current, const Values& saved, const std::uint8_t* taken, int begin,
                  int end) {
    for (int i = begin; i < end; ++i) {
        if (taken[i] != 0) {
            current[i] = saved[i];
        }
    }
}

} // namespace

// When all lanes agree, only their branch runs. Otherwise the written slots are saved, the
// then branch runs over all lanes, the lanes that do not take it get their values back
// (those that do keep theirs in the save), the else branch runs over all lanes, and the
// lanes that took the then branch get its values back. Every lane so ends with exactly the
// values of its own branch; the others' work on it is thrown away.
void FormulaBatchIterator::runBranch(std::size_t index, int begin, int end) {
    const LaneBranch& branch = program_->branches[index];
    BranchState& state = branchStates_[index];
    const LaneSlot& condition = registers_.slots[branch.condition];
    int taken = 0;
    for (int i = begin; i < end; ++i) {
        state.taken[i] = condition.re[i] != 0.0 ? 1 : 0;
        taken += state.taken[i];
    }
    if (taken == end - begin || taken == 0) {
        run(taken == 0 ? branch.otherwise : branch.then, begin, end);
        return;
    }
    auto& slots = registers_.slots;
    for (std::size_t k = 0; k < branch.written.size(); ++k) {
        state.saved[k] = slots[branch.written[k]];
    }
    state.seeds = registers_.seeds;
    run(branch.then, begin, end);
    const std::uint8_t* mask = state.taken.data();
    for (std::size_t k = 0; k < branch.written.size(); ++k) {
        LaneSlot& slot = slots[branch.written[k]];
        exchange(slot.re, state.saved[k].re, mask, begin, end);
        exchange(slot.im, state.saved[k].im, mask, begin, end);
    }
    exchange(registers_.seeds, state.seeds, mask, begin, end);
    if (branch.otherwise.ops.empty()) {
        return;
    }
    run(branch.otherwise, begin, end);
    for (std::size_t k = 0; k < branch.written.size(); ++k) {
        LaneSlot& slot = slots[branch.written[k]];
        restoreTaken(slot.re, state.saved[k].re, mask, begin, end);
        restoreTaken(slot.im, state.saved[k].im, mask, begin, end);
    }
    restoreTaken(registers_.seeds, state.seeds, mask, begin, end);
}

void FormulaBatchIterator::setIter(std::int32_t k) {
    if (program_->usesIter && iterSet_ != k) {
        registers_.slots[kSlotIter].re.fill(static_cast<double>(k));
        iterSet_ = k;
    }
}

void FormulaBatchIterator::startBatch(std::span<const FormulaPixel> pixels) {
    count_ = static_cast<int>(std::min<std::size_t>(pixels.size(), kFormulaLanes));
    auto& s = registers_.slots;
    const int variableEnd = kFirstVariableSlot + program_->variableSlotCount;
    for (int slot : {int{kSlotZ}, int{kSlotLastSqr}, int{kSlotPreviousZ}}) {
        s[slot].re.fill(0.0);
        s[slot].im.fill(0.0);
    }
    for (int slot = kFirstVariableSlot; slot < variableEnd; ++slot) {
        s[slot].re.fill(0.0);
        s[slot].im.fill(0.0);
    }
    for (int i = 0; i < count_; ++i) {
        const FormulaPixel& pixel = pixels[static_cast<std::size_t>(i)];
        s[kSlotPixel].re[i] = pixel.point.re;
        s[kSlotPixel].im[i] = pixel.point.im;
        s[kSlotPosX].re[i] = static_cast<double>(pixel.posX);
        s[kSlotPosY].re[i] = static_cast<double>(pixel.posY);
        pixelOf_[static_cast<std::size_t>(i)] = i;
    }
    registers_.seeds.fill(kPixelRandomSeed);
    setIter(0);
    run(program_->init, 0, count_);
}

FormulaLanes FormulaBatchIterator::iterate(std::int32_t k) {
    auto& s = registers_.slots;
    const int n = count_;
    setIter(k);
    if (keepPreviousZ_) {
        std::copy_n(s[kSlotZ].re.begin(), n, s[kSlotPreviousZ].re.begin());
        std::copy_n(s[kSlotZ].im.begin(), n, s[kSlotPreviousZ].im.begin());
    }
    run(program_->iteration, 0, n);
    if (stepTests_.testAbort) {
        run(program_->abort, 0, n);
    }
    stepEnd_(registers_, stepTests_, stop_.data(), n);
    const LaneSlot& z = s[kSlotZ];
    const LaneSlot& lastSqr = s[kSlotLastSqr];
    return {n,
            k,
            z.re.data(),
            z.im.data(),
            s[kSlotPreviousZ].re.data(),
            s[kSlotPreviousZ].im.data(),
            lastSqr.re.data(),
            pixelOf_.data(),
            stop_.data()};
}

void FormulaBatchIterator::swapLanes(int i, int j) {
    auto& s = registers_.slots;
    auto swapSlot = [&](int slot) {
        std::swap(s[slot].re[i], s[slot].re[j]);
        std::swap(s[slot].im[i], s[slot].im[j]);
    };
    for (int slot = kSlotZ; slot < kSlotIter; ++slot) {
        swapSlot(slot);
    }
    const int variableEnd = kFirstVariableSlot + program_->variableSlotCount;
    for (int slot = kFirstVariableSlot; slot < variableEnd; ++slot) {
        swapSlot(slot);
    }
    std::swap(registers_.seeds[i], registers_.seeds[j]);
    std::swap(pixelOf_[i], pixelOf_[j]);
    std::swap(stop_[i], stop_[j]);
    std::swap(stopAt_[i], stopAt_[j]);
}

void FormulaBatchIterator::retire(std::int32_t k, std::span<FormulaPixelResult> results) {
    if (std::memchr(stop_.data(), 1, static_cast<std::size_t>(count_)) == nullptr) {
        return;
    }
    int running = 0;
    int end = count_;
    while (running < end) {
        if (stop_[static_cast<std::size_t>(running)] != 0) {
            --end;
            swapLanes(running, end);
        } else {
            ++running;
        }
    }
    if (running < count_) {
        finishLanes(running, count_, k + 1, false, results);
        count_ = running;
    }
}

void FormulaBatchIterator::finishInside(std::span<FormulaPixelResult> results) {
    if (count_ > 0) {
        finishLanes(0, count_, maxIter_ > 0 ? maxIter_ : 0, true, results);
        count_ = 0;
    }
}

void FormulaBatchIterator::finishLanes(int begin, int end, std::int32_t iterations, bool inside,
                                       std::span<FormulaPixelResult> results) {
    const std::optional<LaneSection>& colour =
        inside ? program_->insideColour : program_->outsideColour;
    const LaneSlot& z = registers_.slots[kSlotZ];
    for (int i = begin; i < end; ++i) {
        FormulaPixelResult& result = results[static_cast<std::size_t>(pixelOf_[i])];
        result.iterations = iterations;
        result.inside = inside;
        result.builtInColouring = !colour.has_value();
        result.z = {z.re[i], z.im[i]};
    }
    if (!colour) {
        return;
    }
    run(*colour, begin, end);
    const LaneSlot& value = registers_.slots[colour->value];
    for (int i = begin; i < end; ++i) {
        results[static_cast<std::size_t>(pixelOf_[i])].value = value.re[i];
    }
}

} // namespace vortimax
