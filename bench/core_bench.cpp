// Costs of the operations that run once per calculation or per parameter line:
// high-precision arithmetic and conversions, key lookups and record creation.

#include "model/big_fixed.h"
#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_registry.h"

#include <benchmark/benchmark.h>

using namespace vortimax;

namespace {

const char* kDeepCoordinate = "-0.7453000000000000123456789012345678901234";

void BM_BigFixedFromText(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BigFixed::fromText(kDeepCoordinate, BigFixed::kFileDigitLimit));
}
BENCHMARK(BM_BigFixedFromText);

void BM_BigFixedToText(benchmark::State& state) {
    BigFixed value = BigFixed::fromTextOrZero(kDeepCoordinate, BigFixed::kFileDigitLimit);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.toText());
}
BENCHMARK(BM_BigFixedToText);

void BM_BigFixedMultiplyDivide(benchmark::State& state) {
    BigFixed value = BigFixed::fromTextOrZero(kDeepCoordinate, BigFixed::kFileDigitLimit);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.multipliedBy(0.8660254037844386).dividedBy(1919));
}
BENCHMARK(BM_BigFixedMultiplyDivide);

void BM_BigFixedToDouble(benchmark::State& state) {
    BigFixed value = BigFixed::fromTextOrZero(kDeepCoordinate, BigFixed::kFileDigitLimit);
    for (auto _ : state)
        benchmark::DoNotOptimize(value.toDouble());
}
BENCHMARK(BM_BigFixedToDouble);

void BM_CreateRecord(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(createRecord(kTypeMandel, 16, RecordCreationContext{}));
}
BENCHMARK(BM_CreateRecord);

void BM_SetByKey(benchmark::State& state) {
    auto record = createRecord(kTypeFormula, 0, RecordCreationContext{});
    for (auto _ : state)
        benchmark::DoNotOptimize(setByKey(record->params(), "bayfactor2", "1.5"));
}
BENCHMARK(BM_SetByKey);

} // namespace
