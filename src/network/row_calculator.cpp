#include "network/row_calculator.h"

#include "model/fractal_record.h"
#include "model/fractal_view.h"
#include "model/pass_scheme.h"
#include "model/type_registry.h"
#include "render/area/area.h"
#include "render/escape/escape_batch.h"
#include "render/escape/formula_kernels.h"
#include "render/escape/julia24_row_kernel.h"

#include <numeric>
#include <vector>

namespace vortimax::net {

namespace {

// The parameters and pixel mapping a kernel reads by reference live as long as it does.
template <typename Params, typename Kernel> class RowKernelCalculator : public RowCalculator {
public:
    RowKernelCalculator(const Params& params, const PixelMapping& mapping, int width)
        : params_(params), mapping_(mapping), kernel_(params_, mapping_), columns_(width + 1) {
        std::iota(columns_.begin(), columns_.end(), 0);
    }

    void computeRow(int row, std::span<float> values, const std::function<bool()>& stop) override {
        std::fill(values.begin(), values.end(), 0.0f);
        PixelRow pixels{row, columns_, values, stop};
        kernel_(pixels);
    }

private:
    Params params_;
    PixelMapping mapping_;
    Kernel kernel_;
    std::vector<int> columns_;
};

class FormulaCalculator : public RowCalculator {
public:
    FormulaCalculator(const FormulaCode& code, const FractalRecord& record,
                      const PixelMapping& mapping, int width)
        : kernel_(code, record, mapping), columns_(width + 1) {
        std::iota(columns_.begin(), columns_.end(), 0);
    }

    void computeRow(int row, std::span<float> values, const std::function<bool()>& stop) override {
        std::fill(values.begin(), values.end(), 0.0f);
        PixelRow pixels{row, columns_, values, stop};
        computeInBatches(pixels, [this](PixelBatch& batch) { kernel_(batch); });
    }

private:
    FormulaBatchKernel kernel_;
    std::vector<int> columns_;
};

MadeCalculator formulaCalculator(const FractalRecord& record, const PixelMapping& mapping,
                                 const FormulaLookup& formulas) {
    const std::string name = record.params().text("FormulaName");
    std::optional<FormulaCode> code = formulas ? formulas(name) : std::nullopt;
    if (!code)
        return {nullptr, formulaMissingText(name)};
    if (!code->isComplete())
        return {nullptr, formulaDoesNotCompileText(name)};
    return {std::make_unique<FormulaCalculator>(*code, record, mapping, record.width), {}};
}

} // namespace

MadeCalculator makeRowCalculator(const FractalRecord& record, const FormulaLookup& formulas) {
    const PixelMapping mapping = pixelMapping(record, RasterSize{record.width, record.height});
    switch (record.type) {
    case kTypeJulia24:
    case kTypeMandel24:
        return {std::make_unique<RowKernelCalculator<Julia24Params, Julia24RowKernel>>(
                    readJulia24Params(record), mapping, record.width),
                {}};
    case kTypeJulia:
    case kTypeMandel:
        return {std::make_unique<RowKernelCalculator<EscapeParams, EscapeBatchKernel>>(
                    readEscapeParams(record), mapping, record.width),
                {}};
    case kTypeFormula:
        return formulaCalculator(record, mapping, formulas);
    default:
        return {nullptr, "fractals of type " + std::to_string(record.type) +
                             " are not calculated over the network"};
    }
}

} // namespace vortimax::net
