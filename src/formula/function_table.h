#pragma once

// FunctionTable: index 0..30 -> name and complex function. The names are the
// texts of function parameters in parameter files and the choices of the parameter
// windows; the same table serves fn1..fn4 of formula fractals, Fn1/Fn2 of the Julia, Mandel
// and Tierazon-mode subtypes and the bifurcation Function.

#include "formula/complex.h"

#include <span>
#include <string_view>

namespace vortimax {

using ComplexFunction = Complex (*)(Complex);

struct FunctionEntry {
    std::string_view name;
    ComplexFunction function;
};

inline constexpr int kFunctionCount = 31;

// The whole table in index order (for choice lists and parameter files).
std::span<const FunctionEntry, kFunctionCount> functionTable();

// The function of entry `index`; outside 0..30 the identity (so a kernel can fetch the
// pointer once per calculation and never index out of bounds).
ComplexFunction functionPointer(int index);

// apply(k, z): the function of entry `index` applied to z; outside 0..30, z unchanged.
Complex applyFunction(int index, Complex z);

// The name of entry `index`; outside 0..30 an empty view.
std::string_view functionName(int index);

// Index of the entry whose name equals `name` with ASCII case folding; -1 when unknown.
int findFunction(std::string_view name);

} // namespace vortimax
