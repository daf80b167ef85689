#include "parfile/zar_import.h"

#include "base/frontend.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "model/type_registry.h"
#include "model/workspace.h"
#include "palette/map_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <system_error>

namespace vortimax {

namespace {

// Positions of the fields this program uses; the others carry Tierazon settings that
// have no counterpart here.
enum ZarField : std::size_t {
    kFormulaField = 0,
    kJuliaFlagField = 1,
    kMaxIterField = 3,
    kBailoutField = 10,
    kTopLeftRField = 11,
    kBottomRightIField = 12,
    kBottomRightRField = 13,
    kTopLeftIField = 14,
    kCrField = 21,
    kCiField = 22,
    kFactor1Field = 23,
    kFactor2Field = 24,
    kBailinField = 26,
    kInversionField = 27,
    kFilterField = 30,
    kOrderingField = 31,
    kOrientationFactorField = 34,
    kOrientationValueField = 35,
    kDimensionField = 38,
    kColourModeField = 39,
    kDimensionSwitchField = 40,
};

// A Tierazon value and the value it stands for here.
struct ValuePair {
    int from;
    std::int32_t to;
};
using ValueTable = std::span<const ValuePair>;

// Tierazon's formula 1 is z^2+c, subtype 0 of the Tiera types.
constexpr ValuePair kFormulaTable[] = {{1, 0}};

constexpr ValuePair kFilterTable[] = {
    {0, 0},   {1, 12},  {9, 13},  {39, 14}, {50, 15}, {8, 16},  {2, 17},  {7, 18},
    {10, 19}, {11, 20}, {12, 21}, {13, 22}, {14, 23}, {42, 24}, {15, 25}, {16, 26},
    {25, 27}, {26, 28}, {28, 29}, {31, 30}, {32, 31}, {44, 32}, {45, 33}, {46, 34},
    {47, 35}, {27, 1},  {33, 2},  {35, 3},  {37, 3},  {38, 4},  {48, 5},  {49, 6},
    {34, 7},  {36, 8},  {43, 9},  {3, 10},  {4, 11},
};

constexpr ValuePair kOrderingTable[] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}};

// Variant 0 is "no dimension variant": plain colouring, operation 0.
constexpr ValuePair kDimensionTable[] = {
    {0, 0},  {1, 8},   {2, 9},   {3, 11},  {4, 10},  {5, 13},  {6, 15},  {7, 16},  {8, 18},
    {9, 17}, {10, 20}, {11, 29}, {12, 19}, {13, 30}, {23, 31}, {24, 32}, {26, 33}, {27, 34},
};

constexpr ValuePair kColourModeTable[] = {
    {0, 0},   {1, 1},   {2, 2},   {3, 3},   {4, 4},   {5, 5},   {6, 6},   {7, 7},   {8, 8},
    {9, 9},   {10, 10}, {11, 11}, {12, 12}, {13, 13}, {14, 14}, {15, 15}, {19, 16}, {20, 17},
    {21, 18}, {22, 19}, {23, 20}, {24, 21}, {25, 22}, {26, 23}, {27, 24}, {28, 25}, {30, 26},
    {34, 27}, {31, 30}, {32, 31}, {33, 32}, {35, 33}, {36, 34}, {37, 35}, {38, 36}, {39, 37},
};

// Message patterns: "%d" is the truncated file value, "%s" the fractal name.
constexpr std::string_view kFormulaRefused =
    "Formula %d not supported for Tierazon fractal %s, file not loaded...";
constexpr std::string_view kOrientationRefused =
    "Tierazon's orientation feature not supported: File %s not loaded...";

// A feature the Tiera types cannot reproduce: a file whose field meets the condition is
// not loaded.
struct Refusal {
    std::size_t field;
    bool (*refuses)(double value);
    std::string_view message; // "%s": the fractal name
};

constexpr Refusal kRefusals[] = {
    {kInversionField, [](double v) { return v > 0.0; },
     "Tierazon's inversion not supported: File %s not loaded..."},
    {kOrientationFactorField, [](double v) { return v != 1.0; }, kOrientationRefused},
    {kOrientationValueField, [](double v) { return v != 0.0; }, kOrientationRefused},
    {kDimensionSwitchField, [](double v) { return v > 0.0; },
     "Tierazon's bDimensionVariant not supported: File %s not loaded..."},
};

// A colouring field that goes through a table into an integer parameter. A value
// without a counterpart becomes 0 and is reported, and loading goes on.
struct Translation {
    std::size_t field;
    std::string_view key;
    ValueTable table;
    std::string_view unsupported;
};

constexpr Translation kTranslations[] = {
    {kFilterField, "Analysis", kFilterTable,
     "Filter %d not supported for Tierazon fractal %s, filter ignored..."},
    {kOrderingField, "Colorseparation", kOrderingTable,
     "Color Ordering %d not supported for Tierazon fractal %s, ordering ignored..."},
    {kDimensionField, "Operation", kDimensionTable,
     "Fractal Dimension %d not supported for Tierazon fractal %s, ignoring..."},
    {kColourModeField, "Colormode", kColourModeTable,
     "Color mode %d not supported for Tierazon fractal %s, ignoring..."},
};

// Reals taken over unchanged.
struct RealField {
    std::size_t field;
    std::string_view key;
};

constexpr RealField kAreaFields[] = {
    {kTopLeftRField, "TopLeftR"},
    {kBottomRightIField, "BottomRightI"},
    {kBottomRightRField, "BottomRightR"},
    {kTopLeftIField, "TopLeftI"},
};
constexpr RealField kJuliaConstantFields[] = {{kCrField, "Cr"}, {kCiField, "Ci"}};
constexpr RealField kRealFields[] = {
    {kBailoutField, "Bailout"},
    {kFactor1Field, "Factor1"},
    {kFactor2Field, "Factor2"},
    {kBailinField, "Bailin"},
};

// The value truncated toward zero, or none when it does not fit an int (NaN included),
// so that a hostile value can never make the conversion undefined.
std::optional<int> truncatedInt(double value) {
    constexpr double kBelowMin = static_cast<double>(std::numeric_limits<int>::min()) - 1.0;
    constexpr double kAboveMax = static_cast<double>(std::numeric_limits<int>::max()) + 1.0;
    if (!(value > kBelowMin && value < kAboveMax))
        return std::nullopt;
    return static_cast<int>(value);
}

// The number a message shows for a field: its truncated value, or the value itself when
// that does not fit an int.
std::string messageNumber(double value) {
    if (auto truncated = truncatedInt(value))
        return std::to_string(*truncated);
    return formatShortest(value);
}

// Replaces each "%d" or "%s" of the pattern by the next of the values.
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    auto next = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        bool placeholder = pattern[i] == '%' && i + 1 < pattern.size() &&
                           (pattern[i + 1] == 'd' || pattern[i + 1] == 's');
        if (placeholder && next != values.end()) {
            text += *next++;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::optional<std::int32_t> lookUp(ValueTable table, double value) {
    std::optional<int> key = truncatedInt(value);
    if (!key)
        return std::nullopt;
    for (const ValuePair& pair : table)
        if (pair.from == *key)
            return pair.to;
    return std::nullopt;
}

double fieldValue(std::string_view line) {
    std::optional<double> value = scanDouble(line);
    return value && std::isfinite(*value) ? *value : 0.0;
}

// Message of the first refusal the fields meet, or none.
std::optional<std::string> refusalMessage(const ZarFields& fields, std::string_view name) {
    if (!lookUp(kFormulaTable, fields[kFormulaField]))
        return fillIn(kFormulaRefused, {messageNumber(fields[kFormulaField]), name});
    for (const Refusal& refusal : kRefusals)
        if (refusal.refuses(fields[refusal.field]))
            return fillIn(refusal.message, {name});
    return std::nullopt;
}

void setBigFixedFields(BlockRef block, const ZarFields& fields, std::span<const RealField> list) {
    for (const RealField& entry : list)
        block.setBigFixed(entry.key, BigFixed::fromDouble(fields[entry.field]));
}

void setRealFields(BlockRef block, const ZarFields& fields, std::span<const RealField> list) {
    for (const RealField& entry : list)
        block.setReal(entry.key, fields[entry.field]);
}

std::int32_t saturatedInt32(double value) {
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

// An iteration count truncated to an integer, with the rule parameter files use: a
// value outside the row's range becomes the row's minimum, one beyond the field's
// 32 bits saturates.
void setCount(BlockRef block, std::string_view key, double value) {
    const ParamDescriptor& row = block.table().row(block.indexOf(key));
    const double truncated = std::trunc(value);
    const bool inRange = truncated >= row.minimum && truncated <= row.maximum;
    block.setInteger(key, saturatedInt32(inRange ? truncated : row.minimum));
}

void translateColouring(BlockRef block, const ZarFields& fields, std::string_view name,
                        Frontend& frontend) {
    for (const Translation& translation : kTranslations) {
        const double value = fields[translation.field];
        std::optional<std::int32_t> translated = lookUp(translation.table, value);
        if (!translated)
            frontend.addMessage(fillIn(translation.unsupported, {messageNumber(value), name}));
        block.setInteger(translation.key, translated.value_or(0));
    }
}

Folder& importFolder(Workspace& workspace, const std::filesystem::path& directory) {
    if (Folder* current = workspace.currentFolder())
        return *current;
    // Key frames are not a place for an imported fractal: fall back to a project.
    for (Folder& folder : workspace.folders().all())
        if (!folder.isAnimation())
            return folder;
    return workspace.createFolder(directory, "Unnamed", FolderKind::Project);
}

} // namespace

ZarFields readZarFields(std::istream& in) {
    ZarFields fields{};
    LineReader reader(in, kZarHeaderLength);
    std::string line;
    if (!reader.next(line))
        return fields;
    for (double& field : fields) {
        if (!reader.next(line))
            break;
        field = fieldValue(line);
    }
    return fields;
}

std::string zarFractalName(const std::filesystem::path& path) {
    return normaliseFileName(path.filename().string(), kMaxNameLength);
}

std::unique_ptr<FractalRecord> recordFromZarFields(const ZarFields& fields, std::string_view name,
                                                   Frontend& frontend,
                                                   const RecordCreationContext& context) {
    if (std::optional<std::string> refusal = refusalMessage(fields, name)) {
        frontend.addMessage(*refusal);
        return nullptr;
    }
    const bool julia = fields[kJuliaFlagField] > 0.0;
    const auto subtype = static_cast<std::uint32_t>(*lookUp(kFormulaTable, fields[kFormulaField]));
    auto record = createRecord(julia ? kTypeTieraJulia : kTypeTieraMandel, subtype, context);
    if (!name.empty())
        record->name = std::string(name);
    BlockRef block = record->params();
    setCount(block, "MaxIter", fields[kMaxIterField]);
    setBigFixedFields(block, fields, kAreaFields);
    if (julia)
        setBigFixedFields(block, fields, kJuliaConstantFields);
    setRealFields(block, fields, kRealFields);
    translateColouring(block, fields, name, frontend);
    return record;
}

std::unique_ptr<FractalRecord> importZar(const std::filesystem::path& path, Frontend& frontend,
                                         const RecordCreationContext& context) {
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(path, error))
        in.open(path, std::ios::binary);
    if (!in.is_open()) {
        frontend.addMessage("Cannot read Tierazon file " + path.string() + ", file not loaded...");
        return nullptr;
    }
    const ZarFields fields = readZarFields(in);
    return recordFromZarFields(fields, zarFractalName(path), frontend, context);
}

FractalRecord* importZarIntoWorkspace(const std::filesystem::path& path, Workspace& workspace,
                                      Frontend& frontend, const RecordCreationContext& context) {
    std::unique_ptr<FractalRecord> record = importZar(path, frontend, context);
    if (!record)
        return nullptr;
    Folder& folder = importFolder(workspace, path.parent_path());
    return &workspace.addFractal(folder, std::move(record), false);
}

} // namespace vortimax
