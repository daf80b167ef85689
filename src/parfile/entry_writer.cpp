#include "parfile/entry_writer.h"

#include "base/atomic_file.h"
#include "base/library_file.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "formula/function_table.h"
#include "model/descriptor_tables.h"
#include "model/param_text.h"
#include "model/type_registry.h"
#include "palette/palette_list.h"
#include "parfile/colour_list.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <variant>

namespace vortimax {

namespace {

constexpr std::string_view kCommentIndent = "                  ; "; // 18 blanks

void appendLine(std::string& out, std::string_view key, std::string_view value) {
    out += "  ";
    out += key;
    out += '=';
    out += value;
    out += '\n';
}

std::string integerText(long long value) {
    std::string text;
    appendInteger(text, value);
    return text;
}

// "%+ld": the sign is always written.
std::string signedIntegerText(long long value) {
    std::string text = value < 0 ? std::string() : std::string(1, '+');
    appendInteger(text, value);
    return text;
}

char safeNameByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 32 || c == ';' || c == '{' || c == '}' ? '_' : c;
}

std::string safeName(std::string_view name) {
    if (name.empty())
        return "No_name";
    std::string safe(name);
    std::transform(safe.begin(), safe.end(), safe.begin(), safeNameByte);
    return safe;
}

// Each non-empty line of the comment (LF or CR LF line ends) behind the comment indent.
void appendComment(std::string& out, std::string_view comment) {
    while (!comment.empty()) {
        const std::size_t end = std::min(comment.find('\n'), comment.size());
        std::string_view line = comment.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty()) {
            out += kCommentIndent;
            out += line;
            out += '\n';
        }
        comment.remove_prefix(std::min(end + 1, comment.size()));
    }
}

// Header keys written when they differ from a new record of the same type and subtype.
using HeaderField = std::variant<std::int32_t FractalRecord::*, double FractalRecord::*,
                                 std::string FractalRecord::*>;
struct HeaderKey {
    std::string_view key;
    HeaderField field;
};

const HeaderKey kHeaderKeys[] = {
    {"Dims", &FractalRecord::dims},
    {"ColCyc", &FractalRecord::colCyc},
    {"ColCycUp", &FractalRecord::colCycUp},
    {"ColCycSpeed", &FractalRecord::colCycSpeed},
    {"ColCycStep", &FractalRecord::colCycStep},
    {"NumFrames", &FractalRecord::numFrames},
    {"PalName", &FractalRecord::palName},
    {"PalOffset", &FractalRecord::palOffset},
    {"PalNameAnim", &FractalRecord::palNameAnim},
    {"PalOffsetAnim", &FractalRecord::palOffsetAnim},
    {"WinWidth", &FractalRecord::winWidth},
    {"WinHeight", &FractalRecord::winHeight},
    {"Scrollbar", &FractalRecord::scrollbar},
};

// The value text when the field differs from the fresh record's, otherwise nothing.
// Reals differ when they are not equal (a NaN always does).
struct HeaderValue {
    const FractalRecord& record;
    const FractalRecord& fresh;

    std::optional<std::string> operator()(std::int32_t FractalRecord::*field) const {
        if (record.*field == fresh.*field)
            return std::nullopt;
        return integerText(record.*field);
    }
    std::optional<std::string> operator()(double FractalRecord::*field) const {
        if (record.*field == fresh.*field)
            return std::nullopt;
        return formatFixed(record.*field, 3);
    }
    std::optional<std::string> operator()(std::string FractalRecord::*field) const {
        if (record.*field == fresh.*field)
            return std::nullopt;
        return record.*field;
    }
};

// A long value split into lines that end in a backslash: readers join them again.
void appendContinuedLine(std::string& out, std::string_view key, std::string_view value) {
    out += "  ";
    out += key;
    out += '=';
    while (value.size() > kContinuedLineLength) {
        out += value.substr(0, kContinuedLineLength);
        out += "\\\n  ";
        value.remove_prefix(kContinuedLineLength);
    }
    out += value;
    out += '\n';
}

// The palette the entry must carry as colours: one the list holds that no map file has.
const Palette* paletteToList(const FractalRecord& record, const PaletteList* palettes) {
    if (palettes == nullptr)
        return nullptr;
    const Palette* palette = palettes->find(record.palName);
    if (palette == nullptr || palettes->isDefault(*palette) || palette->storedInMapFile())
        return nullptr;
    return palette;
}

// "colors=" in place of "PalName=": the reader sets the palette offset to 0 there, and
// the "PalOffset" line that follows puts it back.
void appendColours(std::string& out, const Palette& palette) {
    RgbTriples colours{};
    for (std::size_t i = 0; i < kPaletteEntries; ++i) {
        const Rgb rgb = palette.colour(i);
        colours[i] = {static_cast<std::uint8_t>(rgb.red), static_cast<std::uint8_t>(rgb.green),
                      static_cast<std::uint8_t>(rgb.blue)};
    }
    appendContinuedLine(out, "colors", encodeColourList(colours, kPaletteColours));
    if (!colourListIsExact(colours, kPaletteColours))
        appendContinuedLine(out, kColorsLowBitsKey, encodeLowBits(colours, kPaletteColours));
}

void appendHeaderKeys(std::string& out, const FractalRecord& record, const FractalRecord& fresh,
                      const PaletteList* palettes) {
    // A new record always has the subtype it was made with, so the subtype is written
    // whenever it is not 0: a reader starts from subtype 0.
    if (record.subtype != 0)
        appendLine(out, "Subtype", integerText(record.subtype));
    const Palette* listed = paletteToList(record, palettes);
    for (const HeaderKey& header : kHeaderKeys) {
        if (listed != nullptr && header.key == "PalName") {
            appendColours(out, *listed);
            continue;
        }
        if (auto value = std::visit(HeaderValue{record, fresh}, header.field))
            appendLine(out, header.key, *value);
    }
}

// A row's value as a parameter file writes it.
std::string fileValue(ConstBlockRef block, std::size_t index) {
    const ParamDescriptor& row = block.table().row(index);
    const std::uint8_t* field = block.field(index);
    switch (row.kind) {
    case ParamKind::Real:
        return formatFixed(loadReal(field), 15, true);
    case ParamKind::BigFixed:
        return bigFixedFileText(loadBigFixed(field));
    case ParamKind::Text:
        return loadText(field, row.length);
    case ParamKind::Integer:
    case ParamKind::Flag:
        break;
    }
    const std::int32_t value = loadInt(field);
    if (auto name = row.choiceName(value))
        return std::string(*name);
    return signedIntegerText(value);
}

// Key lines of the rows that differ from the defaults. Rows whose key the `shadowing`
// table also has are left out: a reader gives such a key to that table's row, so the
// line would overwrite another parameter.
void appendKeyLines(std::string& out, ConstBlockRef block, ConstBlockRef defaults,
                    const DescriptorTable* shadowing = nullptr) {
    const DescriptorTable& table = block.table();
    for (std::size_t i = 0; i < table.size(); ++i) {
        const ParamDescriptor& row = table.row(i);
        if (row.fileClass != FileClass::Key || !valueDiffers(block, defaults, i))
            continue;
        if (shadowing == nullptr || !shadowing->find(row.key))
            appendLine(out, row.key, fileValue(block, i));
    }
}

void appendParams(std::string& out, ConstBlockRef block) {
    std::string values;
    bool any = false;
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        if (block.table().row(i).fileClass != FileClass::Params)
            continue;
        if (any)
            values += '/';
        values += fileValue(block, i);
        any = true;
    }
    if (any)
        appendLine(out, "params", values);
}

// Corners: top-left real, bottom-right real, bottom-right imaginary, top-left imaginary;
// a stretched area adds its bottom-left corner (top-left + bottom-right - top-right).
void appendCorners(std::string& out, ConstBlockRef block) {
    const BigFixed left = block.bigFixed("TopLeftR");
    const BigFixed top = block.bigFixed("TopLeftI");
    const BigFixed right = block.bigFixed("BottomRightR");
    const BigFixed bottom = block.bigFixed("BottomRightI");
    const int digits = cornerFractionDigits(left, right);
    std::string values = bigFixedFileText(left, digits) + '/' + bigFixedFileText(right, digits) +
                         '/' + bigFixedFileText(bottom, digits) + '/' +
                         bigFixedFileText(top, digits);
    if (block.integer("Stretch") == 1) {
        const BigFixed cornerR = left + right - block.bigFixed("TopRightR");
        const BigFixed cornerI = top + bottom - block.bigFixed("TopRightI");
        values += '/' + bigFixedFileText(cornerR, digits) + '/' + bigFixedFileText(cornerI, digits);
    }
    appendLine(out, "Corners", values);
}

void appendInversion(std::string& out, ConstBlockRef block) {
    if (block.integer("Inversion") == 0)
        return;
    appendLine(out, "invert",
               formatSignificant(block.real("InvRadius"), 20) + '/' +
                   bigFixedFileText(block.bigFixed("InvCenterX")) + '/' +
                   bigFixedFileText(block.bigFixed("InvCenterY")));
}

// The function parameters each type writes on its "function=" line.
struct FunctionLine {
    std::uint32_t type;
    std::array<std::string_view, 4> keys;
    std::size_t count;
    bool always; // otherwise only when a value differs from the new record's
};

constexpr FunctionLine kFunctionLines[] = {
    {kTypeFormula, {"fn1", "fn2", "fn3", "fn4"}, 4, true},
    {kTypeJulia, {"Fn1", "Fn2"}, 2, false},
    {kTypeMandel, {"Fn1", "Fn2"}, 2, false},
    {kTypeTieraJulia, {"Fn1", "Fn2"}, 2, false},
    {kTypeTieraMandel, {"Fn1", "Fn2"}, 2, false},
    {kTypeBifurcation, {"Function"}, 1, true},
};

// An index outside the function table is written as the first entry ("sin"): that is
// what a reader makes of a name it does not know, and the line stays well-formed.
std::string_view functionText(std::int32_t index) {
    std::string_view name = functionName(index);
    return name.empty() ? functionName(0) : name;
}

void appendFunctions(std::string& out, ConstBlockRef block, ConstBlockRef defaults,
                     std::uint32_t type) {
    const auto line = std::find_if(std::begin(kFunctionLines), std::end(kFunctionLines),
                                   [type](const FunctionLine& l) { return l.type == type; });
    if (line == std::end(kFunctionLines))
        return;
    bool differs = line->always;
    std::string names;
    for (std::size_t i = 0; i < line->count; ++i) {
        const std::int32_t value = block.integer(line->keys[i]);
        differs = differs || value != defaults.integer(line->keys[i]);
        if (i > 0)
            names += '/';
        names += functionText(value);
    }
    if (differs)
        appendLine(out, "function", names);
}

bool hasArea(std::uint32_t type) {
    const FractalTypeInfo* info = fractalType(type);
    return info != nullptr && info->hasArea;
}

void appendParameters(std::string& out, const FractalRecord& record, const FractalRecord& fresh) {
    if (!record.hasParams())
        return;
    const ConstBlockRef block = record.params();
    const ConstBlockRef defaults = fresh.params();
    if (hasArea(record.type))
        appendCorners(out, block);
    appendInversion(out, block);
    appendFunctions(out, block, defaults, record.type);
    appendParams(out, block);
    appendKeyLines(out, block, defaults);
}

} // namespace

std::string parameterEntryName(std::string_view fractalName,
                               std::optional<std::string_view> folderName) {
    if (!folderName)
        return safeName(fractalName);
    return '[' + safeName(*folderName) + "]." + safeName(fractalName);
}

int cornerFractionDigits(const BigFixed& topLeftR, const BigFixed& bottomRightR) {
    const double width = std::fabs((bottomRightR - topLeftR).toDouble());
    if (!(width > 0.0))
        return 0;
    const double digits = 16.0 - std::floor(std::log10(width));
    return static_cast<int>(std::clamp(digits, 1.0, static_cast<double>(kMaxCornerDigits)));
}

std::string bigFixedFileText(const BigFixed& value, int minFractionDigits) {
    // Where the first significant digit stands decides how many fraction digits carry
    // the reader's 40: "123.4..." leaves 37 after the point, "0.00012..." needs 43.
    const std::string full = value.toText(kMaxCornerDigits);
    const std::size_t start = full.front() == '-' ? 1 : 0;
    const std::size_t point = full.find('.');
    int fractionDigits = BigFixed::kFileDigitLimit;
    if (full.compare(start, point - start, "0") != 0) {
        fractionDigits -= static_cast<int>(point - start);
    } else {
        const std::size_t firstDigit = full.find_first_not_of('0', point + 1);
        fractionDigits += static_cast<int>(
            (firstDigit == std::string::npos ? full.size() : firstDigit) - point - 1);
    }
    fractionDigits = std::clamp(std::max(fractionDigits, minFractionDigits), 1, kMaxCornerDigits);
    return fractionDigits == kMaxCornerDigits ? full : value.toText(fractionDigits);
}

std::string formatSignificant(double value, int digits) {
    char buffer[128];
    // The general format with a precision is printf's "%.Ng" in the "C" locale.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, std::clamp(digits, 1, 40));
    if (result.ec != std::errc())
        return "0";
    return std::string(buffer, result.ptr);
}

std::string parameterEntryText(const FractalRecord& record,
                               std::optional<std::string_view> folderName,
                               const PaletteList* palettes) {
    std::string out = parameterEntryName(record.name, folderName);
    if (record.pendingEntry)
        return out + "  " + *record.pendingEntry;
    out += "  {\n";
    appendComment(out, record.comment);
    appendLine(out, "Type", registryName(record.type));
    const auto freshRecord = createRecord(record.type, record.subtype, RecordCreationContext{});
    const FractalRecord& fresh = *freshRecord;
    appendHeaderKeys(out, record, fresh, palettes);
    appendLine(out, "DisplayDepth", integerText(record.displayDepth));
    appendParameters(out, record, fresh);
    appendKeyLines(out, record.settings3D(), fresh.settings3D(), descriptorTable(record.type));
    out += '}';
    return out;
}

bool writeParameterEntry(const FractalRecord& record, std::optional<std::string_view> folderName,
                         const std::filesystem::path& path, bool append,
                         const PaletteList* palettes) {
    std::string content;
    if (append && readLibraryFile(path, content) == LibraryReadStatus::Unreadable)
        return false;
    std::string entry = parameterEntryText(record, folderName, palettes);
    if (append)
        entry += "\n\n\n";
    content += withCrLf(entry);
    return writeFileAtomically(path, content);
}

} // namespace vortimax
