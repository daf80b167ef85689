#include "parfile/entry_parser.h"

#include "base/text_utils.h"
#include "formula/function_table.h"
#include "model/descriptor_tables.h"
#include "model/param_text.h"
#include "palette/map_file.h"
#include "palette/palette_list.h"
#include "parfile/brace_scanner.h"
#include "parfile/center_mag.h"
#include "parfile/colour_list.h"
#include "parfile/entry_writer.h"
#include "parfile/line_continuation.h"
#include "parfile/value_list.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace vortimax {

namespace {

constexpr std::string_view kUnknownTypeFormat =
    "Unknown type in entry %s: %s  (Fractal not loaded)";
constexpr std::string_view kRefusedTypeFormat =
    "Type %s of entry %s cannot be read: %s  (Fractal not loaded)";
constexpr std::string_view kDuplicatePaletteFormat =
    "Duplicate palette: \"%s\" not loaded. Already in palette list as \"%s\"";

// Room of the record's text fields, terminator excluded.
constexpr std::size_t kPalNameLength = 63;
constexpr std::size_t kPalNameAnimLength = 31;
// "@name" palette references are normalised without a length limit of their own; the
// field cut follows.
constexpr std::size_t kPaletteReferenceLength = 4096;

constexpr std::size_t kMaxFunctions = 4;
constexpr std::size_t kMaxCornerValues = 6;

bool isWordCharacter(char c) {
    return static_cast<unsigned char>(c) > 32;
}

bool hasVisibleCharacter(std::string_view text) {
    for (char c : text)
        if (isWordCharacter(c))
            return true;
    return false;
}

// Fills "%s" placeholders in order.
std::string formatted(std::string_view format, std::initializer_list<std::string_view> values) {
    std::string out;
    auto value = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 2) == "%s" && value != values.end()) {
            out += *value++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string_view withoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    return text;
}

std::string_view withoutTrailingCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

// The text between the first '{' and the following '}', both outside comments. Without
// a '{' there is no body; without a '}' the body runs to the end.
std::string_view entryBody(std::string_view text) {
    BraceScanner scanner(text);
    std::size_t open = scanner.next('{');
    if (open == std::string_view::npos)
        return {};
    std::size_t close = scanner.next('}');
    std::size_t end = close == std::string_view::npos ? text.size() : close;
    return text.substr(open + 1, end - open - 1);
}

std::int32_t saturatedInt32(std::int64_t value) {
    constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value < lo ? lo : (value > hi ? hi : value));
}

std::pair<std::string_view, std::string_view> splitKey(std::string_view word) {
    std::size_t eq = word.find('=');
    return {word.substr(0, eq), word.substr(eq + 1)};
}

std::optional<std::uint32_t> subtypeFor(std::uint32_t type, std::string_view text) {
    std::optional<std::int64_t> value = scanLong(text);
    if (!value || *value < 0 || *value > static_cast<std::int64_t>(highestSubtype(type)))
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

// Lines continued with a backslash joined to the next one, whose leading blanks go, as
// the file loader joins them; entry texts that never went through a file (PNG images)
// need the same.
std::string joinContinuedLines(std::string_view text) {
    std::string joined;
    bool continued = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = withoutTrailingCr(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (continued)
            line = withoutLeadingBlanks(line);
        const std::size_t backslash = continuationAt(line);
        continued = backslash != std::string_view::npos;
        joined += continued ? line.substr(0, backslash) : line;
        if (!continued)
            joined += '\n';
    }
    return joined;
}

// ---- applying the keys ----

// What parsing one entry builds up before it is handed to the record.
struct ParseState {
    FractalRecord& record;                // the fresh record the keys go into
    const ForeignType* foreign = nullptr; // the foreign row of the entry's type, if any
    // Colours decoded from a colour list; they join the palette list only once the whole
    // entry has been read.
    std::optional<RgbTriples> listedColours;
    bool fractalUsesPalette = false;
};

void readLong(std::int32_t& field, std::string_view value) {
    if (auto number = scanLong(value))
        field = saturatedInt32(*number);
}

void readReal(double& field, std::string_view value) {
    if (auto number = scanDouble(value))
        field = *number;
}

void readText(std::string& field, std::string_view value, std::size_t length) {
    field = std::string(value.substr(0, length));
}

bool isEscapeOrFormula(std::uint32_t type) {
    return type == kTypeJulia || type == kTypeMandel || type == kTypeFormula;
}

void applySubtype(ParseState& s, std::string_view value) {
    if (auto subtype = subtypeFor(s.record.type, value))
        s.record.subtype = *subtype;
}

void applyPotential(ParseState& s, std::string_view value) {
    static constexpr std::array<std::string_view, 3> kRows = {"Outsidemult", "PotSlope", "Bailout"};
    BlockRef params = s.record.params();
    std::vector<std::string_view> parts = splitValues(value, kRows.size());
    bool any = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (auto number = scanDouble(parts[i])) {
            params.setReal(kRows[i], *number);
            any = true;
        }
    }
    if (any)
        params.setInteger("Outside", 7);
}

// "decomp=N" of other programs turns decomposition on with N bands. The Julia, Mandel
// and Formula tables also have a flag row "Decomp", which this program's own entries write
// as "Decomp=+1": a value of 0 or 1 is therefore the flag, and leaves the band count alone.
void applyDecomposition(ParseState& s, std::string_view value) {
    std::optional<std::int64_t> bands = scanLong(value);
    if (!bands || *bands < 0)
        return;
    BlockRef params = s.record.params();
    params.setInteger("Decomp", *bands == 0 ? 0 : 1);
    if (*bands >= 2)
        setByKey(params, "Coding", value);
}

void applyBiomorph(ParseState& s, std::string_view value) {
    std::optional<double> colour = scanDouble(value);
    if (!colour)
        return;
    BlockRef params = s.record.params();
    params.setInteger("Biomorphy", 1);
    params.setReal("BiomorphColor", *colour);
    params.setReal("Bailout", 100.0);
}

void applyInvert(ParseState& s, std::string_view value) {
    BlockRef params = s.record.params();
    std::vector<std::string_view> parts = splitValues(value, 3);
    bool any = false;
    if (auto radius = scanDouble(parts[0])) {
        params.setReal("InvRadius", *radius);
        any = true;
    }
    // The centre is high-precision: read as decimal text so that no digit is lost.
    static constexpr std::array<std::string_view, 2> kCentre = {"InvCenterX", "InvCenterY"};
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (auto number = BigFixed::fromText(parts[i], BigFixed::kFileDigitLimit)) {
            params.setBigFixed(kCentre[i - 1], *number);
            any = true;
        }
    }
    if (any)
        params.setInteger("Inversion", 1);
}

void applyCorners(ParseState& s, std::string_view value) {
    std::vector<std::string_view> parts = splitValues(value, kMaxCornerValues);
    std::vector<BigFixed> numbers;
    for (std::string_view part : parts) {
        std::optional<BigFixed> number = BigFixed::fromText(part, BigFixed::kFileDigitLimit);
        if (!number)
            break;
        numbers.push_back(*number);
    }
    if (numbers.size() < 4)
        return;
    BlockRef params = s.record.params();
    params.setBigFixed("TopLeftR", numbers[0]);
    params.setBigFixed("BottomRightR", numbers[1]);
    params.setBigFixed("BottomRightI", numbers[2]);
    params.setBigFixed("TopLeftI", numbers[3]);
    bool stretch = numbers.size() == kMaxCornerValues;
    params.setInteger("Stretch", stretch ? 1 : 0);
    if (!stretch)
        return;
    // The fifth and sixth values are the bottom-left corner.
    params.setBigFixed("TopRightR", numbers[1] - (numbers[4] - numbers[0]));
    params.setBigFixed("TopRightI", numbers[2] - (numbers[5] - numbers[3]));
}

// The value a parameter file gives back for `value`: what it keeps of a number worked
// out here rather than read.
BigFixed asWritten(const BigFixed& value) {
    return BigFixed::fromText(bigFixedFileText(value), BigFixed::kFileDigitLimit).value_or(value);
}

// The area worked out from centre and magnification is kept to the digits a parameter
// file carries (the bottom-left corner of a turned area standing for the top-right one,
// as in "corners="), so that writing the entry and reading it again gives the same words.
void applyCenterMag(ParseState& s, std::string_view value) {
    std::optional<CenterMagArea> area = centerMagArea(value);
    if (!area)
        return;
    BlockRef params = s.record.params();
    const BigFixed left = asWritten(area->topLeftR), top = asWritten(area->topLeftI);
    const BigFixed right = asWritten(area->bottomRightR), bottom = asWritten(area->bottomRightI);
    params.setBigFixed("TopLeftR", left);
    params.setBigFixed("TopLeftI", top);
    params.setBigFixed("BottomRightR", right);
    params.setBigFixed("BottomRightI", bottom);
    params.setInteger("Stretch", area->stretch ? 1 : 0);
    if (area->stretch) {
        const BigFixed cornerR = asWritten(area->topLeftR + area->bottomRightR - area->topRightR);
        const BigFixed cornerI = asWritten(area->topLeftI + area->bottomRightI - area->topRightI);
        params.setBigFixed("TopRightR", right - (cornerR - left));
        params.setBigFixed("TopRightI", bottom - (cornerI - top));
    }
}

// A foreign row's own list of rows: "-" passes a value over.
void applyForeignParams(ParseState& s, std::string_view rows, std::string_view value) {
    const std::vector<std::string_view> keys = splitValues(rows, rows.size() + 1);
    const std::vector<std::string_view> parts = splitValues(value, keys.size());
    for (std::size_t i = 0; i < parts.size() && i < keys.size(); ++i)
        if (keys[i] != "-")
            setByKey(s.record.params(), keys[i], parts[i]);
}

// The rows of file mode "params" take the values in order; a text row takes none.
void applyParams(ParseState& s, std::string_view value) {
    if (s.foreign != nullptr && !s.foreign->paramRows.empty()) {
        applyForeignParams(s, s.foreign->paramRows, value);
        return;
    }
    BlockRef params = s.record.params();
    std::vector<std::string_view> parts = splitValues(value, params.table().size());
    std::size_t next = 0;
    for (const ParamDescriptor& row : params.table().rows()) {
        if (row.fileClass != FileClass::Params || row.kind == ParamKind::Text)
            continue;
        if (next >= parts.size())
            break;
        setByKey(params, row.key, parts[next++]);
    }
}

// The rows the function names of a "function=" list go to, by type.
constexpr std::string_view kFormulaFunctions[] = {"fn1", "fn2", "fn3", "fn4"};
constexpr std::string_view kSubtypeFunctions[] = {"Fn1", "Fn2"};
constexpr std::string_view kBifurcationFunction[] = {"Function"};

struct FunctionRows {
    std::uint32_t type;
    std::span<const std::string_view> rows;
};

constexpr FunctionRows kFunctionRows[] = {
    {kTypeFormula, kFormulaFunctions},     {kTypeJulia, kSubtypeFunctions},
    {kTypeMandel, kSubtypeFunctions},      {kTypeTieraJulia, kSubtypeFunctions},
    {kTypeTieraMandel, kSubtypeFunctions}, {kTypeBifurcation, kBifurcationFunction},
};

std::span<const std::string_view> functionRows(std::uint32_t type) {
    for (const FunctionRows& entry : kFunctionRows)
        if (entry.type == type)
            return entry.rows;
    return {};
}

void applyFunctions(ParseState& s, std::string_view value) {
    std::span<const std::string_view> rows = functionRows(s.record.type);
    std::vector<std::string_view> names = splitValues(value, kMaxFunctions);
    BlockRef params = s.record.params();
    for (std::size_t i = 0; i < rows.size() && i < names.size(); ++i)
        params.setInteger(rows[i], std::max(findFunction(names[i]), 0));
}

void applyColours(ParseState& s, std::string_view value) {
    if (value.starts_with('@')) {
        std::string name = normaliseFileName(value.substr(1), kPaletteReferenceLength);
        s.record.palName = name.substr(0, kPalNameLength);
        s.listedColours.reset();
        s.fractalUsesPalette = false;
    } else {
        s.listedColours = decodeColourList(value);
        s.fractalUsesPalette = true;
    }
    s.record.palOffset = 0.0;
}

// The low channel bits this program writes after a colour list it cannot carry exactly.
void applyColoursLowBits(ParseState& s, std::string_view value) {
    if (s.listedColours)
        applyLowBits(*s.listedColours, value);
}

void applyPalName(ParseState& s, std::string_view value) {
    readText(s.record.palName, value, kPalNameLength);
    s.fractalUsesPalette = false;
}

// Foreign entries name the IFS definition with "ifs=" and the L-system with "lname=";
// here both are the Formula of their type.
void applyDefinitionName(ParseState& s, std::string_view value) {
    if (s.record.type == kTypeIfs || s.record.type == kTypeLSystem)
        setByKey(s.record.params(), "Formula", value);
}

using KeyHandler = void (*)(ParseState&, std::string_view);

struct HeaderKey {
    std::string_view name;
    KeyHandler apply;
    bool escapeOrFormulaOnly = false; // known only to Julia, Mandel and Formula fractals
};

// clang-format off
const HeaderKey kHeaderKeys[] = {
    {"SUBTYPE", applySubtype},
    {"NUMFRAMES", [](ParseState& s, std::string_view v) { readReal(s.record.numFrames, v); }},
    {"DISPLAYDEPTH", [](ParseState& s, std::string_view v) { readLong(s.record.displayDepth, v); }},
    {"WIDTH", [](ParseState& s, std::string_view v) { readLong(s.record.width, v); }},
    {"HEIGHT", [](ParseState& s, std::string_view v) { readLong(s.record.height, v); }},
    {"DIMS", [](ParseState& s, std::string_view v) { readLong(s.record.dims, v); }},
    {"COLCYC", [](ParseState& s, std::string_view v) { readLong(s.record.colCyc, v); }},
    {"COLCYCUP", [](ParseState& s, std::string_view v) { readLong(s.record.colCycUp, v); }},
    {"COLCYCSPEED", [](ParseState& s, std::string_view v) { readReal(s.record.colCycSpeed, v); }},
    {"COLCYCSTEP", [](ParseState& s, std::string_view v) { readReal(s.record.colCycStep, v); }},
    {"PALOFFSET", [](ParseState& s, std::string_view v) { readReal(s.record.palOffset, v); }},
    {"PALOFFSETANIM", [](ParseState& s, std::string_view v) { readReal(s.record.palOffsetAnim, v); }},
    {"PALNAME", applyPalName},
    {"PALNAMEANIM", [](ParseState& s, std::string_view v) { readText(s.record.palNameAnim, v, kPalNameAnimLength); }},
    {"WINWIDTH", [](ParseState& s, std::string_view v) { readLong(s.record.winWidth, v); }},
    {"WINHEIGHT", [](ParseState& s, std::string_view v) { readLong(s.record.winHeight, v); }},
    {"SCROLLBAR", [](ParseState& s, std::string_view v) { readLong(s.record.scrollbar, v); }},
    {"POTENTIAL", applyPotential, true},
    {"DECOMP", applyDecomposition, true},
    {"BIOMORPH", applyBiomorph, true},
    {"INVERT", applyInvert},
    {"CORNERS", applyCorners},
    {"CENTER-MAG", applyCenterMag},
    {"PARAMS", applyParams},
    {"FUNCTION", applyFunctions},
    {"IFS", applyDefinitionName},
    {"LNAME", applyDefinitionName},
    {"COLORS", applyColours},
    {kColorsLowBitsKey, applyColoursLowBits},
};
// clang-format on

const HeaderKey* findHeaderKey(std::string_view key, std::uint32_t type) {
    for (const HeaderKey& entry : kHeaderKeys)
        if (equalsIgnoreCase(entry.name, key))
            return !entry.escapeOrFormulaOnly || isEscapeOrFormula(type) ? &entry : nullptr;
    return nullptr;
}

// A word "key=value": the header keys first, then the type's rows, then the 3D rows.
// Other words are ignored.
void applyWord(ParseState& s, std::string_view word) {
    if (word.find('=') == std::string_view::npos)
        return;
    auto [key, value] = splitKey(word);
    if (const HeaderKey* header = findHeaderKey(key, s.record.type)) {
        header->apply(s, value);
        return;
    }
    if (setByKey(s.record.params(), key, value))
        return;
    setByKey(s.record.settings3D(), key, value);
}

// ---- handing the result to the record ----

// The parsed palette joins the list, unless the list already has its colours.
void settlePalette(ParseState& s, PaletteList& palettes, const MessageSink& messages) {
    if (!s.listedColours)
        return;
    auto palette = std::make_unique<Palette>(*s.listedColours);
    palette->setName(s.record.name);
    std::string name;
    if (Palette* existing = palettes.findDuplicate(*palette)) {
        if (messages)
            messages(formatted(kDuplicatePaletteFormat, {palette->name(), existing->name()}));
        name = existing->name();
    } else {
        name = palettes.insertUnique(std::move(palette)).name();
    }
    if (s.fractalUsesPalette)
        s.record.palName = name;
}

// Everything but the name, the tree and window links and the pending entry.
void adoptValues(FractalRecord& target, const FractalRecord& parsed) {
    target.numFrames = parsed.numFrames;
    target.type = parsed.type;
    target.subtype = parsed.subtype;
    target.width = parsed.width;
    target.height = parsed.height;
    target.dims = parsed.dims;
    target.colCyc = parsed.colCyc;
    target.colCycUp = parsed.colCycUp;
    target.colCycSpeed = parsed.colCycSpeed;
    target.colCycStep = parsed.colCycStep;
    target.palName = parsed.palName;
    target.secondName = parsed.secondName;
    target.palOffset = parsed.palOffset;
    target.palNameAnim = parsed.palNameAnim;
    target.palOffsetAnim = parsed.palOffsetAnim;
    target.scrollbar = parsed.scrollbar;
    target.imageFilter = parsed.imageFilter;
    target.winWidth = parsed.winWidth;
    target.winHeight = parsed.winHeight;
    target.calcTime = parsed.calcTime;
    target.comment = parsed.comment;
    target.displayDepth = parsed.displayDepth;
    target.trueColourOn8Bit = parsed.trueColourOn8Bit;
    target.staticImage = parsed.staticImage;
    target.networkMode = parsed.networkMode;
    target.paramBlock = parsed.paramBlock;
    target.settings3DBlock = parsed.settings3DBlock;
    target.layers = parsed.layers;
}

} // namespace

EntryParts splitEntry(std::string_view entryText) {
    const std::string joined = joinContinuedLines(entryBody(entryText));
    std::string_view body = joined;
    EntryParts parts;
    bool firstComment = true;
    while (!body.empty()) {
        std::size_t end = body.find('\n');
        std::string_view line = withoutTrailingCr(body.substr(0, end));
        body = end == std::string_view::npos ? std::string_view{} : body.substr(end + 1);
        std::size_t semicolon = line.find(';');
        parts.keyText += line.substr(0, semicolon);
        parts.keyText += '\n';
        if (semicolon == std::string_view::npos)
            continue;
        if (!firstComment)
            parts.comment += '\n';
        parts.comment += withoutLeadingBlanks(line.substr(semicolon + 1));
        firstComment = false;
    }
    return parts;
}

std::vector<std::string_view> entryWords(std::string_view keyText) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < keyText.size()) {
        while (pos < keyText.size() && !isWordCharacter(keyText[pos]))
            ++pos;
        std::size_t start = pos;
        while (pos < keyText.size() && isWordCharacter(keyText[pos]))
            ++pos;
        if (pos > start)
            words.push_back(keyText.substr(start, pos - start));
    }
    return words;
}

EntryTypeResult entryTypeOf(std::span<const std::string_view> words) {
    std::optional<std::string_view> typeText;
    std::optional<std::string_view> subtypeText;
    for (std::string_view word : words) {
        if (word.find('=') == std::string_view::npos)
            continue;
        auto [key, value] = splitKey(word);
        if (equalsIgnoreCase(key, "SUBTYPE"))
            subtypeText = value;
        else if (!typeText && equalsIgnoreCase(key, "TYPE"))
            typeText = value;
    }
    EntryTypeResult result;
    if (typeText) {
        std::optional<EntryType> known = resolveTypeName(*typeText);
        if (!known) {
            result.unknownTypeText = std::string(*typeText);
            result.refusal = refusalReason(*typeText);
            return result;
        }
        result.type = *known;
    }
    // The subtype decides the defaults: the values an entry leaves out are those of
    // its own subtype, so the defaults must be that subtype's too.
    if (subtypeText)
        if (auto subtype = subtypeFor(result.type.type, *subtypeText))
            result.type.subtype = *subtype;
    return result;
}

std::optional<EntryType> peekEntryType(std::string_view entryText) {
    EntryParts parts = splitEntry(entryText);
    std::vector<std::string_view> words = entryWords(parts.keyText);
    EntryTypeResult result = entryTypeOf(words);
    if (result.unknownTypeText)
        return std::nullopt;
    return result.type;
}

bool parseEntryText(FractalRecord& record, std::string_view entryText, PaletteList& palettes,
                    const MessageSink& messages, const EntryParseOptions& options) {
    EntryParts parts = splitEntry(entryText);
    std::vector<std::string_view> words = entryWords(parts.keyText);
    EntryTypeResult typed = entryTypeOf(words);
    if (typed.unknownTypeText) {
        if (messages && typed.refusal)
            messages(formatted(kRefusedTypeFormat,
                               {*typed.unknownTypeText, record.name, *typed.refusal}));
        else if (messages)
            messages(formatted(kUnknownTypeFormat, {record.name, *typed.unknownTypeText}));
        return false;
    }
    // The keys go into a fresh record first, so that the entry's record only ever holds
    // the old values or the complete new ones.
    RecordCreationContext context{record.displayDepth, options.screenDepth, {}};
    std::unique_ptr<FractalRecord> fresh =
        createRecord(typed.type.type, typed.type.subtype, context);
    fresh->name = record.name;
    fresh->comment = hasVisibleCharacter(parts.comment) ? parts.comment : record.comment;
    ParseState state{*fresh, typed.type.row, std::nullopt, false};
    // A foreign type's presets first, so that the entry's own keys override them.
    if (typed.type.row != nullptr)
        for (std::string_view word : entryWords(typed.type.row->presets))
            applyWord(state, word);
    for (std::string_view word : words)
        applyWord(state, word);
    settlePalette(state, palettes, messages);
    fresh->trueColourOn8Bit = trueColourOn8Bit(fresh->displayDepth, options.screenDepth);
    adoptValues(record, *fresh);
    if (options.resolveCompoundLayers && record.type == kTypeCompound)
        options.resolveCompoundLayers(record);
    return true;
}

bool parseEntry(FractalRecord& record, PaletteList& palettes, const MessageSink& messages,
                const EntryParseOptions& options) {
    if (!record.pendingEntry)
        return true;
    // A copy: the hooks called at the end may touch the record's pending entry.
    const std::string text = *record.pendingEntry;
    return parseEntryText(record, text, palettes, messages, options);
}

} // namespace vortimax
