#pragma once

#include "render/escape/formula_driver.h"

#include <functional>
#include <memory>
#include <span>
#include <string>

namespace vortimax {
class FractalRecord;
}

namespace vortimax::net {

// Computes whole rows of one fractal without a view, as a slave does: every value a row
// gets is the one the fractal's own calculation gives that pixel, the spare column
// included. One calculator per thread.
class RowCalculator {
public:
    virtual ~RowCalculator() = default;
    // Fills values (width + 1 of them) for the row; stops early, leaving zeros, when
    // `stop` says so.
    virtual void computeRow(int row, std::span<float> values,
                            const std::function<bool()>& stop) = 0;
};

// A calculator for the record's type (Julia, Mandel, their true-colour forms or
// Formula, whose formula comes from `formulas`); nothing, with the reason, for any other
// type or a formula that is not available. The record must outlive the calculator.
struct MadeCalculator {
    std::unique_ptr<RowCalculator> calculator;
    std::string problem;
};
MadeCalculator makeRowCalculator(const FractalRecord& record, const FormulaLookup& formulas);

// Makes calculators; a slave is given one so that it needs no formula library of its own
// when it has none.
using RowCalculatorFactory = std::function<MadeCalculator(const FractalRecord&)>;

} // namespace vortimax::net
