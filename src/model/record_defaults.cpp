#include "model/descriptor_tables.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <variant>

namespace vortimax {

namespace {

// One default: a number (stored as the row's kind: real, integer, flag or
// high-precision) or a text.
struct DefaultValue {
    std::string_view key;
    std::variant<double, std::string_view> value;
};
using DefaultList = std::initializer_list<DefaultValue>;

void apply(BlockRef block, const DefaultValue& entry) {
    std::size_t index = block.indexOf(entry.key);
    const ParamDescriptor& row = block.table().row(index);
    std::uint8_t* field = block.field(index);
    if (const auto* text = std::get_if<std::string_view>(&entry.value)) {
        storeText(field, row.length, *text);
        return;
    }
    double number = std::get<double>(entry.value);
    switch (row.kind) {
    case ParamKind::Real:
        storeReal(field, number);
        break;
    case ParamKind::Integer:
    case ParamKind::Flag:
        storeInt(field, static_cast<std::int32_t>(number));
        break;
    case ParamKind::BigFixed:
        storeBigFixed(field, BigFixed::fromDouble(number));
        break;
    case ParamKind::Text:
        break;
    }
}

void applyAll(BlockRef block, DefaultList list) {
    for (const auto& entry : list)
        apply(block, entry);
}

// Area as top-left real, bottom-right real, top-left imaginary, bottom-right imaginary.
void applyArea(BlockRef block, double left, double right, double top, double bottom) {
    applyAll(
        block,
        {{"TopLeftR", left}, {"BottomRightR", right}, {"TopLeftI", top}, {"BottomRightI", bottom}});
}

void applyJulia24(BlockRef block, bool mandel) {
    if (mandel)
        applyArea(block, -2.1, 0.7, 1.35, -1.35);
    else
        applyArea(block, -1.5, 1.5, 1.35, -1.35);
    applyAll(block, {{"Cr", mandel ? 0.0 : 0.3},
                     {"Ci", mandel ? 0.0 : 0.6},
                     {"MaxIter", 150.0},
                     {"Bailout", 1000.0},
                     {"Outside", 0.0},
                     {"Passes", 3.0},
                     {"Decomposition", 0.0},
                     {"Coding", 2.0},
                     {"Inside", 0.0},
                     {"Insidemult", 100.0},
                     {"DecFactor", 1.0}});
}

void applyEscapeArea(BlockRef block, bool mandel) {
    if (mandel) {
        applyArea(block, -2.1, 0.7, 1.35, -1.35);
        applyAll(block, {{"Cr", 0.0}, {"Ci", 0.0}, {"Dr", 0.0}, {"Di", 0.0}});
    } else {
        applyArea(block, -1.5, 1.5, 1.35, -1.35);
        applyAll(block, {{"Cr", 0.3}, {"Ci", 0.6}, {"Dr", 0.0}, {"Di", 0.0}});
    }
}

void applyJulia(BlockRef block, bool mandel) {
    applyEscapeArea(block, mandel);
    applyAll(block, {{"MaxIter", 150.0},
                     {"Bailout", 4.0},
                     {"Bailin", 0.08},
                     {"Passes", 3.0},
                     {"Inside", 0.0},
                     {"Outside", 0.0},
                     {"Insidemult", 1.0},
                     {"Outsidemult", 1.0},
                     {"TestForInfinify", 1.0},
                     {"TestForFinite", 0.0},
                     {"TestForCyclus", 0.0},
                     {"Decomp", 0.0},
                     {"Coding", 2.0},
                     {"DecFactor", 1.0},
                     {"Bailoutest", 0.0},
                     {"BailoutVar", 1.0},
                     {"Biomorphy", 0.0},
                     {"BiomorphColor", 252.0},
                     {"Fn1", 0.0},
                     {"Fn2", 0.0}});
}

void applyTierazon(BlockRef block, bool mandel) {
    applyEscapeArea(block, mandel);
    applyAll(block, {{"MaxIter", 150.0},      {"Bailout", 4.0},         {"Bailin", 0.08},
                     {"Passes", 3.0},         {"TestForInfinify", 1.0}, {"Colorseparation", 1.0},
                     {"Colorsource", 1.0},    {"BailoutVar", 1.0},      {"Factor1", 1.0},
                     {"Factor2", 1.0},        {"Factor3", 1.0},         {"PalStepRed", 2.0},
                     {"PalStepGreen", 2.0},   {"PalStepBlue", 2.0},     {"PalStartRed", 143.0},
                     {"PalStartGreen", 58.0}, {"PalStartBlue", 27.0},   {"Analysis", 0.0},
                     {"Operation", 0.0},      {"Colormode", 0.0}});
}

void applyFormula(BlockRef block) {
    applyArea(block, -2, 2, 1.5, -1.5);
    applyAll(block, {{"MaxIter", 150.0},
                     {"Bailout", 1000.0},
                     {"Bailin", 0.08},
                     {"Passes", 3.0},
                     {"TestForFormula", 1.0},
                     {"FormulaName", "Basic"},
                     {"Insidemult", 1.0},
                     {"Outsidemult", 1.0},
                     {"Coding", 2.0},
                     {"DecFactor", 1.0},
                     {"BailoutVar", 1.0},
                     {"BiomorphColor", 252.0},
                     {"Palette2", "< Default >"},
                     {"Palette3", "< Default >"},
                     {"BayFactor1", 1.0},
                     {"BayFactor2", 1.0}});
}

void applyLyapunov(BlockRef block) {
    applyArea(block, -8, 8, 6, -6);
    applyAll(block, {{"A", 2.0},
                     {"Start", 0.5},
                     {"Settle", 30.0},
                     {"MaxIter", 70.0},
                     {"ChaosColor", 10.0},
                     {"Passes", 3.0},
                     {"Sequence", "BA"}});
}

void applyPlasma(BlockRef block) {
    applyAll(block, {{"Sigma", 0.4}, {"H", 0.0}, {"Seed", 1000.0}});
}

void applyBifurcation(BlockRef block) {
    applyArea(block, 2, 4, 2, 0);
    applyAll(block, {{"Settle", 100.0}, {"MaxIter", 500.0}, {"Start", 0.5}, {"A", 2.0}});
}

void applyDynamicSystem(BlockRef block) {
    applyArea(block, -25, 25, 54, 3);
    applyAll(block, {{"A", 10.0},
                     {"B", 28.0},
                     {"C", 2.666},
                     {"X", 1.0},
                     {"Y", 1.0},
                     {"Z", 1.0},
                     {"Time", 100.0},
                     {"Delta", 0.1}});
}

// The maps of the dynamic-system type (subtypes from 5 on) start from their own constants
// and area; they are seen from straight above (Alpha 180, Beta 90 put x across and y up)
// and drawn as points.
struct MapDefaults {
    std::uint32_t subtype;
    double left, right, top, bottom;
    double a, b, c, d;
    double x, y;
    double points;
};

// clang-format off
constexpr MapDefaults kMapDefaults[] = {
    // Hopalong, Martin, Chip, Threeply, Quadruptwo
    {5,  -2.5, 3.5, 2.75, -1.75,    0.4, 1, 0, 0,                          0, 0,     100000},
    {6,  -32, 32, 24, -24,          3.14, 0, 0, 0,                         0, 0,     100000},
    {7,  -760, 760, 570, -570,      -15, -19, 1, 0,                        0, 0,     100000},
    {8,  -4400, 4400, 3300, -3300,  -350, -350, 100, 0,                    0, 0,     100000},
    {9,  -10, 80, 75, 7.5,          34, 1, 5, 0,                           0, 0,     100000},
    // Gingerbreadman, Henon, Latoocarfian, Kamtorus, Inverse Julia, Pickover (a map of
    // space, seen from above like the plane maps)
    {10, -5, 9, 6.75, -3.75,        0, 0, 0, 0,                            -0.1, 0,  100000},
    {11, -1.6, 1.6, 1.2, -1.2,      1.4, 0.3, 0, 0,                        0, 0,     100000},
    {12, -2.67, 2.67, 2, -2,        -0.966918, 2.879879, 0.765145, 0.744728, 0.1, 0.1, 100000},
    {13, -1.33, 1.33, 1, -1,        1.3, 0.05, 1.5, 150,                   0, 0,     1000000},
    {14, -2, 2, 1.5, -1.5,          -0.74543, 0.11301, 0, 0,               1, 0,     100000},
    {15, -2.67, 2.67, 2, -2,        2.24, 0.43, -0.65, -2.43,              0, 0,     100000},
    // Popcorn and the Mandelbrot cloud: C columns of starts, Z points from each
    {16, -3, 3, 2.25, -2.25,        0.05, 0, 60, 30,                       0, 0,     1000000},
    {17, -2.5, 1.5, 1.5, -1.5,      0, 0, 100, 30,                         0, 0,     1000000},
};
// clang-format on

void applyMapDefaults(BlockRef block, std::uint32_t subtype) {
    for (const MapDefaults& row : kMapDefaults) {
        if (row.subtype != subtype)
            continue;
        applyArea(block, row.left, row.right, row.top, row.bottom);
        applyAll(block, {{"A", row.a},
                         {"B", row.b},
                         {"C", row.c},
                         {"X", row.x},
                         {"Y", row.y},
                         {"Z", row.d},
                         {"Time", row.points},
                         {"Alpha", 180.0},
                         {"Beta", 90.0},
                         {"Drawmode", 1.0}});
    }
}

void applyLSystem(BlockRef block) {
    applyArea(block, -5, 5, 5, -5);
    applyAll(block, {{"MaxIter", 3.0}, {"Formula", "Koch1"}});
}

void applyIfs(BlockRef block) {
    applyArea(block, -5, 5, 11, -1);
    applyAll(block, {{"MaxIter", 10000.0}, {"Colormode", 2.0}, {"Formula", "Fern"}});
}

void applyCompound(BlockRef block) {
    applyAll(
        block,
        {{"MergeType", 0.0}, {"FormulaR", "L0"}, {"FormulaG", "L0+L1"}, {"FormulaB", "L0-L1"}});
    for (int layer = 0; layer < 10; ++layer)
        storeReal(block.field(block.indexOf("Factor" + std::to_string(layer))), 100.0);
    // The layer selection word that follows the table starts with no layer chosen.
    storeInt(block.bytes().data() + block.table().blockSize(), -1);
}

// One row of the subtype table: the area and constants a subtype of the Julia
// (mandel = false) or Mandel (mandel = true) family starts with.
struct SubtypeDefaults {
    std::uint32_t subtype;
    bool mandel;
    double left, right, top, bottom;
    double cr, ci, dr, di;
    int fn1, fn2;
    double bailout;
};

// clang-format off
constexpr SubtypeDefaults kSubtypeDefaults[] = {
    {0,  false, -1.5, 1.5, 1.35, -1.35,  0.3, 0.6, 0, 0,    0, 0, 4},
    {0,  true,  -2.1, 0.7, 1.35, -1.35,  0, 0, 0, 0,        0, 0, 4},
    {3,  false, -8, 8, 6, -6,            0, 0, 0, 0,        0, 0, 100},
    {3,  true,  -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 100},
    {4,  false, -8, 8, 6, -6,            0, 0, 0, 0,        0, 0, 100},
    {4,  true,  -1.5, 3.7, 1.95, -1.95,  0, 0, 0, 0,        0, 0, 100},
    {6,  false, -2, 2, 1.5, -1.5,        0.6, 1.1, 0, 0,    0, 0, 4},
    {6,  true,  -2, 2, 1.5, -1.5,        0, 0, 0, 0,        0, 0, 4},
    {7,  false, -2, 2, 1.5, -1.5,        0.6, 1.1, 0, 0,    0, 0, 4},
    {7,  true,  -2, 2, 1.5, -1.5,        0, 0, 0, 0,        0, 0, 4},
    {8,  false, -2, 2, 1.5, -1.5,        0.1, 0.36, 0, 0,   0, 0, 4},
    {8,  true,  -2, 2, 1.5, -1.5,        0, 0, 0, 0,        0, 0, 4},
    {9,  false, -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 64},
    {9,  true,  -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 64},
    {10, false, -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 64},
    {10, true,  -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 64},
    {11, false, -3.6, 3.6, 2.7, -2.7,    0, 0, 1, 0,        0, 5, 64},
    {11, true,  -3.6, 3.6, 2.7, -2.7,    0, 0, 1, 0,        0, 5, 64},
    {12, false, -4, 4, 3, -3,            0.3, 0.6, 0, 0,    0, 0, 4},
    {12, true,  -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 4},
    {13, false, -4, 4, 3, -3,            0.3, 0.6, 0, 0,    0, 5, 64},
    {13, true,  -4, 4, 3, -3,            0, 0, 0, 0,        0, 5, 64},
    {14, false, -4, 4, 3, -3,            1, 0, 1, 0,        0, 5, 64},
    {14, true,  -4, 4, 3, -3,            1, 0, 1, 0,        0, 5, 64},
    {15, false, -4, 4, 3, -3,            1, 0, 1, 0,        0, 5, 64},
    {15, true,  -4, 4, 3, -3,            1, 0, 1, 0,        0, 5, 64},
    {16, false, -1.5, 2.5, 1.5, -1.5,    0.85, 0.6, 0, 0,   0, 0, 4},
    {16, true,  -3, 4, 3, -3,            0, 0, 0, 0,        0, 0, 4},
    {17, false, -4, 4, 3, -3,            1, 0.1, 1, 0,      0, 5, 64},
    {17, true,  -4, 4, 3, -3,            0, 0, 10, 0,       0, 5, 64},
    {18, false, -4, 4, 3, -3,            0, 0, 8, 0,        0, 5, 64},
    {18, true,  -4, 4, 3, -3,            0, 0, 0.5, 0,      0, 5, 64},
    {19, false, -4, 4, 3, -3,            0, 0, 0, 0,        0, 0, 4},
    {19, true,  -8, 8, 6, -6,            0, 0, 0, 0,        0, 0, 4},
    {20, false, -2, 2, 1.5, -1.5,        0.3, 0.6, 1, 0,    0, 0, 4},
    {20, true,  -2, 2, 1.5, -1.5,        0, 0, 1, 0,        0, 0, 4},
    {21, false, -2, 2, 1.5, -1.5,        0.3, 0.6, 2, 0,    0, 0, 4},
    {21, true,  -2, 2, 1.5, -1.5,        0, 0, 2, 0,        0, 0, 4},
    {22, false, -2, 2, 1.5, -1.5,        -0.3, 0.3, 2, 0,   0, 0, 4},
    {22, true,  -2.5, 1.5, 1.5, -1.5,    0, 0, 2, 0,        0, 0, 4},
    {23, false, -2.5, 1.5, 1.5, -1.5,    0, 0, 0, 0,        0, 0, 4},
    {23, true,  -2.5, 1.5, 1.5, -1.5,    0, 0, 0, 0,        0, 0, 4},
    {24, false, -2, 2, 1.5, -1.5,        -0.5, 0.5, 0, 0,   0, 0, 4},
    {24, true,  -2.5, 1.5, 1.5, -1.5,    0, 0, 0, 0,        0, 0, 4},
};
// clang-format on

// Subtypes 3 and 4 (the magnet formulas) also test for a finite attractor.
constexpr bool isMagnetSubtype(std::uint32_t subtype) {
    return subtype == 3 || subtype == 4;
}

void applySubtypeDefaults(BlockRef block, std::uint32_t type, std::uint32_t subtype) {
    bool mandel = type == kTypeMandel || type == kTypeTieraMandel;
    for (const auto& row : kSubtypeDefaults) {
        if (row.subtype != subtype || row.mandel != mandel)
            continue;
        applyArea(block, row.left, row.right, row.top, row.bottom);
        applyAll(block, {{"Cr", row.cr},
                         {"Ci", row.ci},
                         {"Dr", row.dr},
                         {"Di", row.di},
                         {"Fn1", static_cast<double>(row.fn1)},
                         {"Fn2", static_cast<double>(row.fn2)},
                         {"Bailout", row.bailout}});
        break;
    }
    if (isMagnetSubtype(subtype))
        apply(block, {"TestForFinite", 1.0});
}

// The defaults of each type id, written after the common rows.
using TypeDefaults = void (*)(BlockRef);
constexpr TypeDefaults kTypeDefaults[] = {
    [](BlockRef b) { applyJulia24(b, false); },
    [](BlockRef b) { applyJulia24(b, true); },
    [](BlockRef b) { applyJulia(b, false); },
    [](BlockRef b) { applyJulia(b, true); },
    applyFormula,
    applyLyapunov,
    applyPlasma,
    applyBifurcation,
    applyDynamicSystem,
    applyLSystem,
    applyIfs,
    [](BlockRef b) { applyTierazon(b, false); },
    [](BlockRef b) { applyTierazon(b, true); },
    applyCompound,
};
static_assert(std::size(kTypeDefaults) == kFractalTypeCount);

// The rows every type starts with, before its own defaults.
void applyCommonDefaults(BlockRef block, std::uint32_t type) {
    applyAll(block, {{"TopRightR", 0.0},
                     {"TopRightI", 0.0},
                     {"Stretch", 0.0},
                     {"InvRadius", 1.0},
                     {"InvCenterX", 0.0},
                     {"InvCenterY", 0.0},
                     {"Inversion", 0.0},
                     {"ColormodeType", 0.0},
                     {"ColorSmoothing", 0.0},
                     {"ColormodeSpeed", 1.0},
                     {"ColormodeAccel", 1.0}});
    if (type != kTypePlasma && type != kTypeCompound)
        applyAll(block, {{"RotateX", 50.0}, {"RotateY", 50.0}, {"Angle", 0.0}});
}

// Height-curve knots beyond the given ones are marked empty by this value.
constexpr double kNoKnot = -1e10;

struct Knot {
    double x, y;
};

Settings3DBlock makeSettings3DDefaults(bool plasma) {
    Settings3DBlock bytes{};
    BlockRef block(bytes, settings3DTable());
    applyAll(block, {{"ObserverVAngle", plasma ? 60.0 : 30.0},
                     {"YStretch", plasma ? 1.0 : 1.6},
                     {"UpDown", plasma ? 30.0 : 0.0},
                     {"FrontMult", plasma ? 0.5 : 1.2},
                     {"BackMult", plasma ? 0.4 : 1.2},
                     {"LightHAngle", 10.0},
                     {"LightVAngle", 45.0},
                     {"Diffuse", 0.8},
                     {"Ambient", 0.2},
                     {"Reflection", 2.0},
                     {"Drawmode", 1.0},
                     {"ColorRed", 255.0},
                     {"ColorGreen", 255.0},
                     {"ColorBlue", 255.0},
                     {"Value", 100.0},
                     {"Intensity", 1.0},
                     {"OvlFactor1", 1.0}});
    static constexpr Knot kGeneralKnots[] = {{3, 0}, {11, 46.4}, {17, 53.3}, {24, 53.3}};
    static constexpr Knot kPlasmaKnots[] = {{-350, 0}, {-300, 25}, {-200, 75}, {-100, 125},
                                            {0, 175},  {100, 225}, {200, 275}, {300, 325}};
    std::span<const Knot> knots =
        plasma ? std::span<const Knot>(kPlasmaKnots) : std::span<const Knot>(kGeneralKnots);
    for (std::size_t i = 0; i < 20; ++i) {
        Knot knot = i < knots.size() ? knots[i] : Knot{kNoKnot, kNoKnot};
        block.setReal("Knotx" + std::to_string(i + 1), knot.x);
        block.setReal("Knoty" + std::to_string(i + 1), knot.y);
    }
    // Four doubles and a word behind the described rows keep the block at 580 bytes.
    std::size_t tail = settings3DTable().blockSize();
    for (double value : {0.0, 200.0, 0.0, 100.0}) {
        storeReal(bytes.data() + tail, value);
        tail += 8;
    }
    return bytes;
}

const Settings3DBlock& settings3DDefaults(std::uint32_t type) {
    static const Settings3DBlock general = makeSettings3DDefaults(false);
    static const Settings3DBlock plasma = makeSettings3DDefaults(true);
    return type == kTypePlasma ? plasma : general;
}

} // namespace

std::int32_t trueColourOn8Bit(int displayDepth, int screenDepth) {
    return displayDepth == 24 && screenDepth == 8 ? 1 : 0;
}

namespace {

// The subtypes the subtype table knows; every other subtype gets the same block.
constexpr std::uint32_t kTabledSubtypes = 25;

ParamBlock makeParamDefaults(std::uint32_t type, std::uint32_t subtype) {
    // A cleared start: "Defaultvalues" also resets the fields that have no default of
    // their own (they are 0 or empty in a new record).
    ParamBlock bytes{};
    BlockRef block(bytes, *descriptorTable(type));
    applyCommonDefaults(block, type);
    kTypeDefaults[type](block);
    if (fractalType(type)->hasSubtypeFormula)
        applySubtypeDefaults(block, type, subtype);
    if (type == kTypeDynamicSystem)
        applyMapDefaults(block, subtype);
    return bytes;
}

// Each type and subtype's block is filled once: its high-precision defaults are read from
// decimal text, which made filling blocks the main cost of loading a folder of many entries.
const ParamBlock& paramDefaults(std::uint32_t type, std::uint32_t subtype) {
    const bool bySubtype = fractalType(type)->hasSubtypeFormula || type == kTypeDynamicSystem;
    const std::uint32_t key = !bySubtype                  ? 0
                              : subtype < kTabledSubtypes ? subtype
                                                          : kTabledSubtypes;
    static std::mutex mutex;
    static std::map<std::pair<std::uint32_t, std::uint32_t>, std::unique_ptr<ParamBlock>> blocks;
    std::lock_guard lock(mutex);
    std::unique_ptr<ParamBlock>& block = blocks[{type, key}];
    if (!block)
        block = std::make_unique<ParamBlock>(makeParamDefaults(type, subtype));
    return *block;
}

} // namespace

void setDefaults(FractalRecord& record, std::uint32_t type, std::uint32_t subtype) {
    record.settings3DBlock = settings3DDefaults(type);
    record.subtype = subtype;
    if (descriptorTable(type) == nullptr) {
        record.paramBlock.fill(0);
        return;
    }
    record.paramBlock = paramDefaults(type, subtype);
    if (type == kTypeCompound)
        record.displayDepth = 24;
}

std::unique_ptr<FractalRecord> createRecord(std::uint32_t type, std::uint32_t subtype,
                                            const RecordCreationContext& context) {
    auto record = std::make_unique<FractalRecord>();
    if (const FractalTypeInfo* info = fractalType(type))
        record->name = std::string(info->defaultName);
    bool tierazon = type == kTypeTieraJulia || type == kTypeTieraMandel;
    record->displayDepth = tierazon ? 24 : (context.displayDepth > 10 ? 24 : 8);
    record->type = type;
    record->subtype = subtype;
    setDefaults(*record, type, subtype);
    record->trueColourOn8Bit = trueColourOn8Bit(record->displayDepth, context.screenDepth);
    record->comment = context.defaultComment;
    return record;
}

std::unique_ptr<FractalRecord> cloneRecord(const FractalRecord& source,
                                           const RecordCreationContext& context) {
    auto clone = createRecord(source.type, source.subtype, context);
    // The header from the type through the scroll-bar window size.
    clone->width = source.width;
    clone->height = source.height;
    clone->dims = source.dims;
    clone->colCyc = source.colCyc;
    clone->colCycUp = source.colCycUp;
    clone->colCycSpeed = source.colCycSpeed;
    clone->colCycStep = source.colCycStep;
    clone->palName = source.palName;
    clone->secondName = source.secondName;
    clone->palOffset = source.palOffset;
    clone->palNameAnim = source.palNameAnim;
    clone->palOffsetAnim = source.palOffsetAnim;
    clone->scrollbar = source.scrollbar;
    clone->imageFilter = source.imageFilter;
    clone->winWidth = source.winWidth;
    clone->winHeight = source.winHeight;
    clone->paramBlock = source.paramBlock;
    clone->settings3DBlock = source.settings3DBlock;
    clone->name = source.name;
    clone->numFrames = source.numFrames;
    clone->displayDepth = source.displayDepth;
    clone->trueColourOn8Bit = source.trueColourOn8Bit;
    clone->comment = source.comment;
    clone->pendingEntry = source.pendingEntry;
    return clone;
}

} // namespace vortimax
