#include "parfile/foreign_types.h"

#include "base/text_utils.h"
#include "model/type_registry.h"

namespace vortimax {

namespace {

// The formulas of the Formula rows are entries of the shipped "Classic.frm"; their
// comments there say what each parameter means. A foreign entry's "params=" values fill
// p1, p2, p3 pairwise (p1 = first + i second, and so on) unless the row says otherwise.
// The dynamic-system rows name their rows: A, B, C the constants, Z the fourth constant
// of a map, X and Y its start point.

// clang-format off
constexpr ForeignType kForeignTypes[] = {
    {"Magnet1j",        kTypeJulia,       3},
    {"Magnet1m",        kTypeMandel,      3},
    {"Magnet2j",        kTypeJulia,       4},
    {"Magnet2m",        kTypeMandel,      4},
    {"Barnsleym1",      kTypeMandel,      6},
    {"Barnsleyj1",      kTypeJulia,       6},
    {"Barnsleym2",      kTypeMandel,      7},
    {"Barnsleyj2",      kTypeJulia,       7},
    {"Barnsleym3",      kTypeMandel,      8},
    {"Barnsleyj3",      kTypeJulia,       8},
    {"bif+sinpi",       kTypeBifurcation, 2},
    {"bif=sinpi",       kTypeBifurcation, 3},
    {"biflambda",       kTypeBifurcation, 0},
    {"bifmay",          kTypeBifurcation, 5},
    {"bifstewart",      kTypeBifurcation, 4},
    {"bifurcation",     kTypeBifurcation, 1},
    {"SQR(fn)",         kTypeJulia,       9},
    {"SQR(1/fn)",       kTypeJulia,       10},
    {"fn(z)+fn(pix)",   kTypeMandel,      11},
    {"fn(z*z)",         kTypeJulia,       12},
    {"marksjulia",      kTypeJulia,       20},
    {"marksmandel",     kTypeMandel,      20},
    {"fn*fn",           kTypeJulia,       13},
    {"fn*z+z",          kTypeJulia,       14},
    {"fn+fn",           kTypeJulia,       15},
    {"lambda",          kTypeJulia,       16},
    {"mandellambda",    kTypeMandel,      16},
    {"lambda(fn||fn)",  kTypeJulia,       17},
    {"manlam(fn||fn)",  kTypeMandel,      17},
    {"julia(fn||fn)",   kTypeJulia,       18},
    {"mandel(fn||fn)",  kTypeMandel,      18},
    {"julfn+exp",       kTypeJulia,       19},
    {"manfn+exp",       kTypeMandel,      19},
    {"cmplxmarksjul",   kTypeJulia,       20},
    {"cmplxmarksmand",  kTypeMandel,      20},
    {"julzpower",       kTypeJulia,       21},
    {"manzpower",       kTypeMandel,      21},
    {"julzzpwr",        kTypeJulia,       22},
    {"manzzpwr",        kTypeMandel,      22},
    {"manowarj",        kTypeJulia,       23},
    {"manowar",         kTypeMandel,      23},
    {"julfn+zsqrd",     kTypeJulia,       24},
    {"manfn+zsqrd",     kTypeMandel,      24},

    // Escape-time types written as formulas. params: p1 = lambda; fn1 the function.
    {"lambdafn",        kTypeFormula, 0, "FormulaName=ClassicLambdaFn Cr=1 Ci=0.4 Bailout=64"},
    {"mandelfn",        kTypeFormula, 0, "FormulaName=ClassicMandelFn Bailout=64"},
    // params: p, q, degree (Julia form); the start z, q, degree (Mandelbrot forms).
    {"phoenix",         kTypeFormula, 0, "FormulaName=ClassicPhoenix Cr=0.56667 Ci=-0.5 Bailout=4"},
    {"phoenixcplx",     kTypeFormula, 0, "FormulaName=ClassicPhoenixComplex Cr=0.2 Dr=0.3 Bailout=4"},
    {"mandphoenix",     kTypeFormula, 0, "FormulaName=ClassicMandPhoenix Bailout=4"},
    {"mandphoenixclx",  kTypeFormula, 0, "FormulaName=ClassicMandPhoenixComplex Dr=0.5 Bailout=4"},
    // params: the degree; complex forms: the exponent and the right-hand side.
    {"newton",          kTypeFormula, 0, "FormulaName=ClassicNewton Cr=3"},
    {"newtbasin",       kTypeFormula, 0, "FormulaName=ClassicNewtonBasin Cr=3"},
    {"complexnewton",   kTypeFormula, 0, "FormulaName=ClassicComplexNewton Cr=3 Dr=1"},
    {"complexbasin",    kTypeFormula, 0, "FormulaName=ClassicComplexBasin Cr=3 Dr=1"},
    // params: degree, relaxation, tolerance.
    {"halley",          kTypeFormula, 0, "FormulaName=ClassicHalley Cr=6 Ci=1 Dr=0.0001"},
    // The values of frothybasin's params choose colourings this program does not have.
    {"frothybasin",     kTypeFormula, 0, "FormulaName=ClassicFrothyBasin Cr=1.02871376822", "-/-/-"},
    {"tetrate",         kTypeFormula, 0, "FormulaName=ClassicTetrate Bailout=1000000"},
    {"spider",          kTypeFormula, 0, "FormulaName=ClassicSpider Bailout=4"},
    // params: the step h.
    {"popcornjul",      kTypeFormula, 0, "FormulaName=ClassicPopcorn Cr=0.05 Bailout=4"},
    {"unity",           kTypeFormula, 0, "FormulaName=ClassicUnity"},
    {"sierpinski",      kTypeFormula, 0, "FormulaName=ClassicSierpinski Bailout=127"},
    {"mandel4",         kTypeFormula, 0, "FormulaName=ClassicMandel4 Bailout=4"},
    {"julia4",          kTypeFormula, 0, "FormulaName=ClassicJulia4 Cr=0.6 Ci=0.55 Bailout=4"},
    // Four-component numbers: params are c (Julia forms) or the start and the j, k parts
    // of c (Mandelbrot forms); hypercomplex takes fn1 (sqr by default).
    {"quat",            kTypeFormula, 0, "FormulaName=ClassicQuaternion Bailout=4"},
    {"quatjul",         kTypeFormula, 0, "FormulaName=ClassicQuaternionJulia Cr=-0.745 Dr=0.113 Di=0.05 Bailout=4"},
    {"hypercomplex",    kTypeFormula, 0, "FormulaName=ClassicHypercomplex fn1=5 Bailout=4"},
    {"hypercomplexj",   kTypeFormula, 0, "FormulaName=ClassicHypercomplexJulia fn1=5 Cr=-0.745 Dr=0.113 Di=0.05 Bailout=4"},
    // params: the scale of the squared distance.
    {"circle",          kTypeFormula, 0, "FormulaName=ClassicCircle Cr=200"},

    // Flows of the dynamic-system type; the first value of params is the foreign time
    // step, which the adaptive step here replaces. The many-lobed variants are seen from
    // above (the x-y plane), where their lobes lie side by side.
    {"lorenz",          kTypeDynamicSystem, 0, {}, "-/A/B/C"},
    {"lorenz3d",        kTypeDynamicSystem, 0, {}, "-/A/B/C"},
    {"lorenz3d1",       kTypeDynamicSystem, 1, "Alpha=180 Beta=90", "-/A/B/C"},
    {"lorenz3d3",       kTypeDynamicSystem, 2, "Alpha=180 Beta=90", "-/A/B/C"},
    {"lorenz3d4",       kTypeDynamicSystem, 3, "Alpha=180 Beta=90", "-/A/B/C"},
    {"rossler3d",       kTypeDynamicSystem, 4, "A=0.2 B=0.2 C=5.7", "-/A/B/C"},
    // Maps of the dynamic-system type, drawn point by point.
    {"hopalong",        kTypeDynamicSystem, 5,  {}, "A/B/C"},
    {"martin",          kTypeDynamicSystem, 6,  {}, "A"},
    {"chip",            kTypeDynamicSystem, 7,  {}, "A/B/C"},
    {"threeply",        kTypeDynamicSystem, 8,  {}, "A/B/C"},
    {"quadruptwo",      kTypeDynamicSystem, 9,  {}, "A/B/C"},
    {"gingerbreadman",  kTypeDynamicSystem, 10, {}, "X/Y"},
    {"henon",           kTypeDynamicSystem, 11, {}, "A/B"},
    {"latoocarfian",    kTypeDynamicSystem, 12, {}, "A/B/C/Z"},
    // params: angle, step between orbits, last orbit's start, points per orbit.
    {"kamtorus",        kTypeDynamicSystem, 13, {}, "A/B/C/Z"},
    {"kamtorus3d",      kTypeDynamicSystem, 13, {}, "A/B/C/Z"},
    {"pickover",        kTypeDynamicSystem, 15, {}, "A/B/C/Z"},
    // Orbits from every cell of a grid over the area; params: popcorn's step h.
    {"popcorn",         kTypeDynamicSystem, 16, {}, "A"},
    {"mandelcloud",     kTypeDynamicSystem, 17, {}, "-"},
    // params: c; the further values tune a drawing method this program does not have.
    {"julia_inverse",   kTypeDynamicSystem, 14, {}, "A/B"},
};

constexpr std::string_view kAutomaton = "a cellular automaton, which no type here draws";
constexpr std::string_view kUndefined =
    "there is no published definition of its iteration for this program to follow";
constexpr std::string_view kTooManyConstants =
    "its map has more constants than a dynamic system holds";

constexpr RefusedForeignType kRefusedTypes[] = {
    {"cellular",        kAutomaton},
    {"ant",             kAutomaton},
    {"diffusion",       "a random growth process (diffusion-limited aggregation), which no type here draws"},
    {"julibrot",        "a three-dimensional stack of Julia sets, which no type here draws"},
    {"ifs3d",           "a three-dimensional IFS, which the IFS type does not draw"},
    {"icons",           kTooManyConstants},
    {"icons3d",         kTooManyConstants},
    {"test",            "a type for trying out code, without a formula of its own"},
    {"marksmandelpwr",  kUndefined},
    {"tim's_error",     kUndefined},
    {"escher_julia",    kUndefined},
    {"volterra-lotka",  kUndefined},
    {"dynamic",         kUndefined},
};
// clang-format on

template <typename Row> const Row* lastMatch(std::span<const Row> rows, std::string_view name) {
    const Row* found = nullptr;
    for (const Row& row : rows)
        if (equalsIgnoreCase(row.name, name))
            found = &row;
    return found;
}

} // namespace

std::span<const ForeignType> foreignTypes() {
    return kForeignTypes;
}

std::span<const RefusedForeignType> refusedForeignTypes() {
    return kRefusedTypes;
}

std::optional<ForeignType> findForeignType(std::string_view name) {
    if (const ForeignType* row = lastMatch(foreignTypes(), name))
        return *row;
    return std::nullopt;
}

std::optional<std::string_view> refusalReason(std::string_view name) {
    if (const RefusedForeignType* row = lastMatch(refusedForeignTypes(), name))
        return row->reason;
    return std::nullopt;
}

std::optional<EntryType> resolveTypeName(std::string_view name) {
    if (auto id = findTypeByRegistryName(name))
        return EntryType{*id, 0, false};
    if (const ForeignType* row = lastMatch(foreignTypes(), name))
        return EntryType{row->type, row->subtype, true, row};
    return std::nullopt;
}

} // namespace vortimax
