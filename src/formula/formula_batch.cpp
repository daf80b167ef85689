#include "formula/formula_batch.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vortimax {

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
    registers_.slots.assign(program_->slotCount, LaneSlot{});
    for (const LaneConstant& constant : program_->constants) {
        LaneSlot& slot = registers_.slots[constant.slot];
        slot.re.fill(constant.value.re);
        slot.im.fill(constant.value.im);
    }
}

void FormulaBatchIterator::iterateBatch(std::span<const FormulaPixel> pixels,
                                        std::span<FormulaPixelResult> results) {
    iterateBatch(pixels, results, [](const FormulaLanes&) {});
}

void FormulaBatchIterator::run(const LaneSection& section, int begin, int end) {
    for (const LaneOp& op : section.ops) {
        op.run(registers_, op, begin, end);
    }
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
