#include "model/descriptor_tables.h"

#include <string>

namespace vortimax {

namespace {

constexpr std::string_view kOutside24Names[] = {"CPM", "DEM", "Phase"};
constexpr std::string_view kInsideNames[] = {"maxiter", "zmag",     "Supremum",
                                             "bof60",   "SupIndex", "bof61"};
// The measures 8 to 13 came later than the file keys of 0 to 7; their names follow them.
constexpr std::string_view kOutsideNames[] = {"iter",  "real", "imag",      "mult",  "summ",
                                              "atan",  "arg",  "potential", "real2", "imag2",
                                              "mult2", "div2", "summ2",     "pdist"};
constexpr std::string_view kBailoutNames[] = {"mod", "real", "imag", "or", "and", "manh", "manr"};

// Ranges that recur in the tables.
constexpr double kCoord = 10000000.0; // high-precision values and most reals
constexpr double kHuge = 1e300;
constexpr double kCount = 1e13;
constexpr double kLayer = 1e10;

struct Anim {
    AnimMode mode;
    bool animated;
};
constexpr Anim kNotAnimated{AnimMode::Interpolate, false};
constexpr Anim kInterpolate{AnimMode::Interpolate, true};
constexpr Anim kCopy{AnimMode::Copy, true};
constexpr Anim kMatch{AnimMode::Match, true};

constexpr FileClass kNoLine = FileClass::None;
constexpr FileClass kKeyLine = FileClass::Key;
constexpr FileClass kParams = FileClass::Params;

ParamDescriptor makeRow(std::string_view key, ParamKind kind, double minimum, double maximum,
                        Anim anim, FileClass fileClass) {
    ParamDescriptor row;
    row.key = key;
    row.label = key;
    row.kind = kind;
    row.minimum = minimum;
    row.maximum = maximum;
    row.animMode = anim.mode;
    row.animated = anim.animated;
    row.fileClass = fileClass;
    return row;
}

ParamDescriptor real(std::string_view key, double lo, double hi, Anim anim, FileClass file) {
    return makeRow(key, ParamKind::Real, lo, hi, anim, file);
}

ParamDescriptor integer(std::string_view key, double lo, double hi, Anim anim, FileClass file,
                        ChoiceList choices = {}) {
    ParamDescriptor row = makeRow(key, ParamKind::Integer, lo, hi, anim, file);
    row.choices = choices;
    return row;
}

ParamDescriptor flag(std::string_view key, Anim anim, FileClass file) {
    return makeRow(key, ParamKind::Flag, 0, 0, anim, file);
}

ParamDescriptor bigFixed(std::string_view key, Anim anim, FileClass file) {
    return makeRow(key, ParamKind::BigFixed, -kCoord, kCoord, anim, file);
}

ParamDescriptor text(std::string_view key, std::uint16_t length, Anim anim, FileClass file) {
    ParamDescriptor row = makeRow(key, ParamKind::Text, 0, 0, anim, file);
    row.length = length;
    return row;
}

ParamDescriptor labelled(ParamDescriptor row, std::string_view label) {
    row.label = label;
    return row;
}

// A change of this value only needs the image recoloured.
ParamDescriptor recolourOnly(ParamDescriptor row) {
    row.recalculation = false;
    return row;
}

// A 3D row with its step size; `warped` rows are animated on a logarithmic time scale.
ParamDescriptor step3D(ParamDescriptor row, double increment, bool warped) {
    row.increment = increment;
    row.timeWarp = warped ? 3 : 0;
    return row;
}

using Rows = std::vector<ParamDescriptor>;

Rows commonRows() {
    return {
        bigFixed("TopLeftR", kNotAnimated, kNoLine),
        bigFixed("TopLeftI", kNotAnimated, kNoLine),
        bigFixed("BottomRightR", kNotAnimated, kNoLine),
        bigFixed("BottomRightI", kNotAnimated, kNoLine),
        bigFixed("TopRightR", kNotAnimated, kNoLine),
        bigFixed("TopRightI", kNotAnimated, kNoLine),
        integer("Stretch", 0, 1, kMatch, kKeyLine),
        real("RotateX", -1000, 1000, kInterpolate, kKeyLine),
        real("RotateY", -1000, 1000, kInterpolate, kKeyLine),
        real("Angle", -720, 720, kInterpolate, kKeyLine),
        real("InvRadius", -720, 720, kInterpolate, kNoLine),
        bigFixed("InvCenterX", kInterpolate, kNoLine),
        bigFixed("InvCenterY", kInterpolate, kNoLine),
        integer("Inversion", 0, 1, kMatch, kNoLine),
        recolourOnly(integer("ColormodeType", 0, 5, kMatch, kKeyLine)),
        recolourOnly(real("ColormodeSpeed", -kCoord, kCoord, kInterpolate, kKeyLine)),
        recolourOnly(real("ColormodeAccel", -kCoord, kCoord, kInterpolate, kKeyLine)),
        recolourOnly(real("ColorSmoothing", 0, 1, kInterpolate, kKeyLine)),
    };
}

DescriptorTable withCommonRows(const Rows& typeRows) {
    Rows rows = commonRows();
    rows.insert(rows.end(), typeRows.begin(), typeRows.end());
    return DescriptorTable(std::move(rows));
}

DescriptorTable julia24Table() {
    return withCommonRows({
        bigFixed("Cr", kNotAnimated, kParams),
        bigFixed("Ci", kNotAnimated, kParams),
        integer("MaxIter", 1, kCount, kInterpolate, kKeyLine),
        real("Bailout", 0, kHuge, kInterpolate, kKeyLine),
        integer("Outside", 0, 2, kMatch, kKeyLine, kOutside24Choices),
        integer("Passes", 0, 3, kCopy, kKeyLine),
        flag("Decomposition", kMatch, kKeyLine),
        integer("Coding", 0, kCount, kMatch, kKeyLine),
        integer("Inside", 0, 5, kMatch, kKeyLine, kInsideChoices),
        real("Insidemult", -kCoord, kCoord, kInterpolate, kKeyLine),
        real("DecFactor", -kCoord, kCoord, kInterpolate, kKeyLine),
    });
}

Rows joined(std::initializer_list<Rows> parts) {
    Rows rows;
    for (const auto& part : parts)
        rows.insert(rows.end(), part.begin(), part.end());
    return rows;
}

// Row groups shared by the Julia/Mandel, Formula and Tierazon-mode tables.

Rows iterationRows() {
    return {
        integer("MaxIter", 1, kCount, kInterpolate, kKeyLine),
        real("Bailout", 0, kHuge, kInterpolate, kKeyLine),
        real("Bailin", 0, kHuge, kInterpolate, kKeyLine),
        integer("Passes", 0, 3, kCopy, kKeyLine),
    };
}

Rows subtypeFunctionRows() {
    return joined({
        {
            integer("Fn1", 0, 30, kMatch, kNoLine),
            integer("Fn2", 0, 30, kMatch, kNoLine),
            real("_dr", -kHuge, kHuge, kNotAnimated, kNoLine),
            real("_di", -kHuge, kHuge, kNotAnimated, kNoLine),
            real("_tr", -kHuge, kHuge, kNotAnimated, kNoLine),
            real("_ti", -kHuge, kHuge, kNotAnimated, kNoLine),
            bigFixed("Cr", kNotAnimated, kParams),
            bigFixed("Ci", kNotAnimated, kParams),
            bigFixed("Dr", kNotAnimated, kParams),
            bigFixed("Di", kNotAnimated, kParams),
        },
        iterationRows(),
    });
}

Rows stopTestRows() {
    return {
        labelled(flag("TestForInfinify", kMatch, kKeyLine), "TestForInfinity"),
        flag("TestForFinite", kMatch, kKeyLine),
        flag("TestForCyclus", kMatch, kKeyLine),
    };
}

Rows insideOutsideRows() {
    return {
        integer("Inside", 0, 5, kMatch, kKeyLine, kInsideChoices),
        integer("Outside", 0, std::size(kOutsideNames) - 1, kMatch, kKeyLine, kOutsideChoices),
        real("Insidemult", -kHuge, kHuge, kInterpolate, kKeyLine),
        real("Outsidemult", -kHuge, kHuge, kInterpolate, kKeyLine),
    };
}

Rows decompositionRows() {
    return {
        labelled(flag("Decomp", kMatch, kKeyLine), "Decomposition"),
        integer("Coding", 0, kCount, kMatch, kKeyLine),
        real("DecFactor", -kCoord, kCoord, kInterpolate, kKeyLine),
        labelled(real("PotSlope", -kCoord, kCoord, kInterpolate, kKeyLine), "Potential Slope"),
    };
}

// The bailout test accepts values up to `highest`, named or not.
Rows bailoutTestRows(double highest) {
    return {
        labelled(integer("Bailoutest", 0, highest, kMatch, kKeyLine, kBailoutChoices),
                 "BailoutCheck"),
        real("BailoutVar", -kHuge, kHuge, kInterpolate, kKeyLine),
    };
}

Rows biomorphAndLayerRows() {
    return {
        flag("Biomorphy", kMatch, kKeyLine),
        real("BiomorphVar", -kHuge, kHuge, kInterpolate, kKeyLine),
        real("BiomorphColor", -kHuge, kHuge, kInterpolate, kKeyLine),
        text("Palette2", 64, kNotAnimated, kKeyLine),
        text("Palette3", 64, kNotAnimated, kKeyLine),
        integer("Analysis", 0, 15, kMatch, kKeyLine),
        integer("Operation", 0, 22, kMatch, kKeyLine),
        real("Strands", -kHuge, kHuge, kInterpolate, kKeyLine),
        real("BayFactor1", -kHuge, kHuge, kInterpolate, kKeyLine),
        real("BayFactor2", -kHuge, kHuge, kInterpolate, kKeyLine),
    };
}

DescriptorTable juliaTable() {
    return withCommonRows(
        joined({subtypeFunctionRows(), insideOutsideRows(), stopTestRows(), decompositionRows(),
                bailoutTestRows(10), biomorphAndLayerRows()}));
}

DescriptorTable formulaTable() {
    Rows constants;
    for (std::string_view key : {"Cr", "Ci", "Dr", "Di", "Er", "Ei", "Fr", "Fi"})
        constants.push_back(bigFixed(key, kNotAnimated, kParams));
    for (std::string_view key : {"fn1", "fn2", "fn3", "fn4"})
        constants.push_back(integer(key, 0, 30, kNotAnimated, kNoLine));
    Rows formula = {
        flag("TestForFormula", kMatch, kKeyLine),
        text("FormulaName", 100, kNotAnimated, kKeyLine),
    };
    return withCommonRows(
        joined({constants, iterationRows(), stopTestRows(), formula, insideOutsideRows(),
                decompositionRows(), bailoutTestRows(6), biomorphAndLayerRows()}));
}

DescriptorTable tierazonTable() {
    Rows colouring = {
        integer("Analysis", 0, 55, kMatch, kKeyLine),
        integer("Operation", 0, 52, kMatch, kKeyLine),
        integer("Colorseparation", 0, 22, kMatch, kKeyLine),
        integer("Colormode", 0, 100, kMatch, kKeyLine),
        integer("Colorsource", 0, 1, kMatch, kKeyLine),
    };
    for (std::string_view key : {"Factor1", "Factor2", "Factor3", "PalStepRed", "PalStepGreen",
                                 "PalStepBlue", "PalStartRed", "PalStartGreen", "PalStartBlue"})
        colouring.push_back(real(key, -kHuge, kHuge, kInterpolate, kKeyLine));
    return withCommonRows(
        joined({subtypeFunctionRows(), stopTestRows(), bailoutTestRows(6), colouring}));
}

DescriptorTable lyapunovTable() {
    return withCommonRows({
        bigFixed("A", kInterpolate, kKeyLine),
        real("Start", -kCoord, kCoord, kInterpolate, kKeyLine),
        integer("Settle", 1, kCount, kInterpolate, kKeyLine),
        integer("MaxIter", 1, kCount, kInterpolate, kKeyLine),
        flag("Chaos", kMatch, kKeyLine),
        real("ChaosColor", -kCoord, kCoord, kInterpolate, kKeyLine),
        integer("Passes", 0, 3, kCopy, kKeyLine),
        text("Sequence", 50, kMatch, kKeyLine),
    });
}

DescriptorTable plasmaTable() {
    return withCommonRows({
        real("Sigma", -kCoord, kCoord, kInterpolate, kKeyLine),
        real("H", -kCoord, kCoord, kInterpolate, kKeyLine),
        integer("Seed", -kCount, kCount, kMatch, kKeyLine),
    });
}

DescriptorTable bifurcationTable() {
    return withCommonRows({
        integer("Settle", 1, kCount, kInterpolate, kKeyLine),
        integer("MaxIter", 1, kCount, kInterpolate, kKeyLine),
        real("Start", -kCoord, kCoord, kInterpolate, kKeyLine),
        real("A", -kCoord, kCoord, kInterpolate, kKeyLine),
        integer("Function", 0, 30, kMatch, kNoLine),
    });
}

DescriptorTable dynamicSystemTable() {
    Rows rows;
    for (std::string_view key : {"A", "B", "C", "X", "Y", "Z", "Time", "Delta", "Alpha", "Beta"})
        rows.push_back(real(key, -kCoord, kCoord, kInterpolate, kKeyLine));
    rows.push_back(integer("Drawmode", 0, 1, kMatch, kKeyLine));
    return withCommonRows(rows);
}

DescriptorTable lsystemTable() {
    return withCommonRows({
        recolourOnly(integer("MaxIter", 0, 1e12, kInterpolate, kKeyLine)),
        text("Formula", 64, kMatch, kKeyLine),
    });
}

DescriptorTable ifsTable() {
    Rows rows;
    for (std::string_view key : {"Alpha", "Beta", "Parm1", "Parm2", "Parm3", "Parm4"})
        rows.push_back(recolourOnly(real(key, -kCoord, kCoord, kInterpolate, kKeyLine)));
    rows.push_back(recolourOnly(integer("MaxIter", 0, 1e12, kInterpolate, kKeyLine)));
    rows.push_back(recolourOnly(integer("Colormode", 0, 5, kMatch, kKeyLine)));
    rows.push_back(text("Formula", 64, kMatch, kKeyLine));
    return withCommonRows(rows);
}

// Keys numbered 0..9 (compound layers) or 1..20 (height curve knots). The callers
// keep the returned strings in statics: the rows refer to them for the whole run.
std::vector<std::string> numberedKeys(std::string_view stem, int first, int count) {
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back(std::string(stem) + std::to_string(first + i));
    return keys;
}

DescriptorTable compoundTable() {
    static const std::vector<std::string> layers = numberedKeys("Layer", 0, 10);
    static const std::vector<std::string> factors = numberedKeys("Factor", 0, 10);
    static const std::vector<std::string> lefts = numberedKeys("Left", 0, 10);
    static const std::vector<std::string> bottoms = numberedKeys("Bottom", 0, 10);
    static const std::vector<std::string> buffers = numberedKeys("Buffer", 0, 10);
    Rows rows;
    for (const auto& key : layers)
        rows.push_back(text(key, 64, kMatch, kKeyLine));
    for (const auto& key : factors)
        rows.push_back(real(key, -kLayer, kLayer, kInterpolate, kKeyLine));
    for (const auto& key : lefts)
        rows.push_back(integer(key, -kLayer, kLayer, kInterpolate, kKeyLine));
    for (const auto& key : bottoms)
        rows.push_back(integer(key, -kLayer, kLayer, kInterpolate, kKeyLine));
    for (const auto& key : buffers)
        rows.push_back(integer(key, -kLayer, kLayer, kMatch, kKeyLine));
    rows.push_back(integer("MergeType", 0, 50, kMatch, kKeyLine));
    rows.push_back(text("FormulaR", 150, kMatch, kKeyLine));
    rows.push_back(text("FormulaG", 150, kMatch, kKeyLine));
    rows.push_back(text("FormulaB", 150, kMatch, kKeyLine));
    return withCommonRows(rows);
}

DescriptorTable makeSettings3DTable() {
    constexpr bool kWarped = true;
    constexpr bool kLinear = false;
    Rows rows = {
        step3D(labelled(real("ObserverVAngle", -kHuge, kHuge, kInterpolate, kKeyLine),
                        "Observer vert. angle"),
               8, kWarped),
        step3D(real("YStretch", -kHuge, kHuge, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(real("UpDown", -kHuge, kHuge, kInterpolate, kKeyLine), 20, kWarped),
        step3D(real("FrontMult", -kHuge, kHuge, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(real("BackMult", -kHuge, kHuge, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(integer("Backgroundred", 0, 256, kInterpolate, kKeyLine), 5, kWarped),
        step3D(integer("Backgroundgreen", 0, 256, kInterpolate, kKeyLine), 5, kWarped),
        step3D(integer("Backgroundblue", 0, 256, kInterpolate, kKeyLine), 5, kWarped),
        step3D(labelled(real("LightHAngle", -kHuge, kHuge, kInterpolate, kKeyLine),
                        "Light horiz. angle"),
               10, kWarped),
        step3D(labelled(real("LightVAngle", -kHuge, kHuge, kInterpolate, kKeyLine),
                        "Light vert.angle"),
               10, kWarped),
        step3D(real("Diffuse", 0, 1, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(real("Ambient", 0, 1, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(real("Reflection", 1e-08, kHuge, kInterpolate, kKeyLine), 0.2, kWarped),
        step3D(flag("Drawmode", kMatch, kKeyLine), 0, kLinear),
        step3D(flag("Smooth", kMatch, kKeyLine), 0, kLinear),
        step3D(integer("ColorRed", 0, 256, kInterpolate, kKeyLine), 10, kWarped),
        step3D(integer("ColorGreen", 0, 256, kInterpolate, kKeyLine), 10, kWarped),
        step3D(integer("ColorBlue", 0, 256, kInterpolate, kKeyLine), 10, kWarped),
        step3D(real("Saturation", 0, 100, kInterpolate, kKeyLine), 15, kWarped),
        step3D(real("Value", 0, 100, kInterpolate, kKeyLine), 15, kWarped),
        step3D(real("Intensity", 0, 1, kInterpolate, kKeyLine), 0.1, kWarped),
        flag("Overlay", kMatch, kKeyLine),
        flag("OvlType", kMatch, kKeyLine),
        text("OvlName", 64, kMatch, kKeyLine),
        real("OvlFactor1", -kCoord, kCoord, kInterpolate, kKeyLine),
        real("OvlFactor2", -kCoord, kCoord, kInterpolate, kKeyLine),
    };
    static const std::vector<std::string> knotXs = numberedKeys("Knotx", 1, 20);
    static const std::vector<std::string> knotYs = numberedKeys("Knoty", 1, 20);
    for (const auto& key : knotXs)
        rows.push_back(real(key, -kCoord, kCoord, kInterpolate, kKeyLine));
    for (const auto& key : knotYs)
        rows.push_back(real(key, -kCoord, kCoord, kInterpolate, kKeyLine));
    return DescriptorTable(std::move(rows));
}

} // namespace

const ChoiceList kOutside24Choices{kOutside24Names};
const ChoiceList kInsideChoices{kInsideNames};
const ChoiceList kOutsideChoices{kOutsideNames};
const ChoiceList kBailoutChoices{kBailoutNames};

const DescriptorTable* descriptorTable(std::uint32_t type) {
    static const DescriptorTable julia24 = julia24Table();
    static const DescriptorTable julia = juliaTable();
    static const DescriptorTable formula = formulaTable();
    static const DescriptorTable lyapunov = lyapunovTable();
    static const DescriptorTable plasma = plasmaTable();
    static const DescriptorTable bifurcation = bifurcationTable();
    static const DescriptorTable dynamicSystem = dynamicSystemTable();
    static const DescriptorTable lsystem = lsystemTable();
    static const DescriptorTable ifs = ifsTable();
    static const DescriptorTable tierazon = tierazonTable();
    static const DescriptorTable compound = compoundTable();
    static const DescriptorTable* const byType[] = {
        &julia24,     &julia24,       &julia,   &julia, &formula,  &lyapunov, &plasma,
        &bifurcation, &dynamicSystem, &lsystem, &ifs,   &tierazon, &tierazon, &compound,
    };
    return type < std::size(byType) ? byType[type] : nullptr;
}

const DescriptorTable& settings3DTable() {
    static const DescriptorTable table = makeSettings3DTable();
    return table;
}

} // namespace vortimax
