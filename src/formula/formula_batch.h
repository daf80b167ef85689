#pragma once

// The batch evaluator of the Formula fractal type: runs a formula for up to kFormulaLanes
// pixels side by side, each operation of the compiled code once per iteration for all
// pixels still iterating. Pixels that stop leave the batch (the others move down to keep
// the running lanes together). Every pixel gets exactly the result the one-pixel
// FormulaIterator gives it.

#include "formula/formula_iteration.h"
#include "formula/formula_lane_program.h"
#include "formula/formula_lanes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vortimax {

// What a driver's built-in stop tests see after an iteration: the lanes 0 ... count - 1
// still iterating. A test sets stop[i] for a lane that stops; stop[i] is already set
// for lanes the formula's abort condition stopped (those finish whatever the test says).
struct FormulaLanes {
    int count = 0;
    std::int32_t iteration = 0; // k, counting from 0
    const double* zRe = nullptr;
    const double* zIm = nullptr;
    // z before the iteration; only with keepPreviousZ.
    const double* previousRe = nullptr;
    const double* previousIm = nullptr;
    // |z|^2 of the new z.
    const double* lastSqr = nullptr;
    // The index of each lane's pixel in the batch.
    const int* pixelOf = nullptr;
    std::uint8_t* stop = nullptr;
};

class FormulaBatchIterator {
public:
    // `keepPreviousZ`: the stop tests read z before each iteration (finite and cycle
    // tests). `infinityBailout`: the iterator itself stops a lane when bailout < |z|^2
    // after an iteration the abort condition lets go on (the stop tests then need not).
    // A formula the batch form cannot express runs on a one-pixel iterator inside, with
    // the same results and the same stop tests.
    FormulaBatchIterator(const FormulaCode& code, const FormulaSettings& settings,
                         bool keepPreviousZ = false,
                         std::optional<double> infinityBailout = std::nullopt);

    // Whether the formula runs in batch form (otherwise one pixel at a time).
    bool batched() const { return program_.has_value(); }

    // Each pixel's result as FormulaIterator::iteratePixel gives it; `stop(lanes)` is the
    // built-in stop test, called after every iteration.
    template <class StopTest>
    void iterateBatch(std::span<const FormulaPixel> pixels, std::span<FormulaPixelResult> results,
                      StopTest&& stop);

    // iterateBatch without built-in stop tests (but with the infinity test the iterator
    // was given). A formula of the form z = z^2 + c, |z| <= r runs several iterations at a
    // time here.
    void iterateBatch(std::span<const FormulaPixel> pixels, std::span<FormulaPixelResult> results);

    // Whether iterateBatch without stop tests takes the z = z^2 + c loop.
    bool quadratic() const { return quadratic_.has_value(); }

private:
    void startBatch(std::span<const FormulaPixel> pixels);
    // Runs iteration k for the running lanes; the abort condition sets the stop flags.
    FormulaLanes iterate(std::int32_t k);
    // Finishes the lanes whose stop flag is set after iteration k.
    void retire(std::int32_t k, std::span<FormulaPixelResult> results);
    void finishInside(std::span<FormulaPixelResult> results);
    // Results of lanes begin ... end - 1 with the colour statement of `colour`.
    void finishLanes(int begin, int end, std::int32_t iterations, bool inside,
                     std::span<FormulaPixelResult> results);
    void setIter(std::int32_t k);
    void run(const LaneSection& section, int begin, int end);
    void runBranch(std::size_t index, int begin, int end);
    void swapLanes(int i, int j);
    void iterateQuadratic(std::span<FormulaPixelResult> results);
    // Finishes the lanes stopAt_ marks, those of the earliest iteration first.
    void retireInOrder(std::span<FormulaPixelResult> results);

    template <class StopTest>
    void iterateOneByOne(std::span<const FormulaPixel> pixels,
                         std::span<FormulaPixelResult> results, StopTest&& stop);

    std::optional<LaneProgram> program_;
    std::optional<FormulaIterator> fallback_;
    std::int32_t maxIter_ = 0;
    bool keepPreviousZ_ = false;
    std::optional<double> infinityBailout_;
    LaneStepTests stepTests_;
    LaneStepEnd stepEnd_ = nullptr;
    std::optional<QuadraticStep> quadratic_;
    LaneQuadraticBlock quadraticBlock_ = nullptr;
    LaneRegisters registers_;
    int count_ = 0;
    std::int32_t iterSet_ = -1;
    // Per if block: which lanes take it, and the written slots of the lanes (see runBranch).
    struct BranchState {
        std::array<std::uint8_t, kFormulaLanes> taken{};
        std::vector<LaneSlot> saved;
        std::array<std::uint32_t, kFormulaLanes> seeds{};
    };
    std::vector<BranchState> branchStates_;
    alignas(64) std::array<int, kFormulaLanes> pixelOf_{};
    alignas(64) std::array<std::uint8_t, kFormulaLanes> stop_{};
    alignas(64) std::array<std::int32_t, kFormulaLanes> stopAt_{};
};

template <class StopTest>
void FormulaBatchIterator::iterateBatch(std::span<const FormulaPixel> pixels,
                                        std::span<FormulaPixelResult> results, StopTest&& stop) {
    if (!program_) {
        iterateOneByOne(pixels, results, stop);
        return;
    }
    startBatch(pixels);
    for (std::int32_t k = 0; k < maxIter_ && count_ > 0; ++k) {
        stop(iterate(k));
        retire(k, results);
    }
    finishInside(results);
}

template <class StopTest>
void FormulaBatchIterator::iterateOneByOne(std::span<const FormulaPixel> pixels,
                                           std::span<FormulaPixelResult> results, StopTest&& stop) {
    FormulaIterator& one = *fallback_;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int index = static_cast<int>(i);
        results[i] = one.iteratePixel(pixels[i], [&](Complex z, std::int32_t k) {
            const Complex previous = one.previousZ();
            const double lastSqr = one.context().lastSqr;
            std::uint8_t flag = 0;
            if (infinityBailout_ && *infinityBailout_ < lastSqr) {
                return true;
            }
            stop(FormulaLanes{1, k, &z.re, &z.im, &previous.re, &previous.im, &lastSqr, &index,
                              &flag});
            return flag != 0;
        });
    }
}

} // namespace vortimax
