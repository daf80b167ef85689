#include "formula/function_table.h"

#include "base/text_utils.h"
#include "formula/complex_functions.h"

#include <array>
#include <cstddef>

namespace vortimax {

namespace {

// The table of named functions, in index order.
constexpr std::array<FunctionEntry, kFunctionCount> kTable{{
    {"sin", complexSin},       // 0
    {"sinh", complexSinh},     // 1
    {"cosh", complexCosh},     // 2
    {"exp", complexExp},       // 3
    {"log", complexLog},       // 4  natural logarithm
    {"sqr", complexSqr},       // 5
    {"recip", complexRecip},   // 6
    {"ident", complexIdent},   // 7
    {"cos", complexCos},       // 8
    {"tan", complexTan},       // 9
    {"tanh", complexTanh},     // 10
    {"cotan", complexCotan},   // 11
    {"cotanh", complexCotanh}, // 12
    {"flip", complexFlip},     // 13
    {"conj", complexConj},     // 14
    {"zero", complexZero},     // 15
    {"asin", complexAsin},     // 16
    {"asinh", complexAsinh},   // 17
    {"acos", complexAcos},     // 18
    {"acosh", complexAcosh},   // 19
    {"atan", complexAtan},     // 20
    {"atanh", complexAtanh},   // 21
    {"cabs", complexCabs},     // 22 squared modulus
    {"abs", complexAbs},       // 23
    {"sqrt", complexSqrt},     // 24
    {"real", complexReal},     // 25
    {"imag", complexImag},     // 26
    {"acot", complexAcot},     // 27
    {"acoth", complexAcoth},   // 28
    {"arg", complexArg},       // 29
    {"log10", complexLog},     // 30 natural logarithm too, not base 10
}};

constexpr bool inRange(int index) {
    return index >= 0 && index < kFunctionCount;
}

} // namespace

std::span<const FunctionEntry, kFunctionCount> functionTable() {
    return kTable;
}

ComplexFunction functionPointer(int index) {
    return inRange(index) ? kTable[static_cast<std::size_t>(index)].function : complexIdent;
}

Complex applyFunction(int index, Complex z) {
    if (!inRange(index)) {
        return z;
    }
    return kTable[static_cast<std::size_t>(index)].function(z);
}

std::string_view functionName(int index) {
    return inRange(index) ? kTable[static_cast<std::size_t>(index)].name : std::string_view{};
}

int findFunction(std::string_view name) {
    for (int i = 0; i < kFunctionCount; ++i) {
        if (equalsIgnoreCase(kTable[static_cast<std::size_t>(i)].name, name)) {
            return i;
        }
    }
    return -1;
}

} // namespace vortimax
