#include "animation/anim_file.h"
#include "animation/key_layers.h"
#include "animation/key_list.h"
#include "base/frontend.h"
#include "base/text_utils.h"
#include "model/type_registry.h"
#include "parfile/entry_parser.h"
#include "render/compound/compound_params.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>

namespace vortimax {

namespace {

namespace fs = std::filesystem;

bool separates(unsigned char c) {
    return c <= 32 || c >= 128;
}

// The tokens of one piece of a line, appended to `out`.
void tokenisePiece(std::string_view piece, std::string& out, bool& glued) {
    std::size_t i = 0;
    while (i < piece.size()) {
        while (i < piece.size() && separates(static_cast<unsigned char>(piece[i])))
            ++i;
        const std::size_t start = i;
        while (i < piece.size() && !separates(static_cast<unsigned char>(piece[i])))
            ++i;
        if (start == i)
            break;
        std::string_view token = piece.substr(start, std::min(i - start, kAnimLineLength));
        if (token.front() == ';')
            return;
        if (!out.empty() && !glued)
            out += ' ';
        glued = token.back() == '\\';
        if (glued)
            token.remove_suffix(1);
        out += token;
    }
}

std::vector<std::string_view> splitTokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ')
            ++i;
        if (i > start)
            tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

// "%ld" into a 32-bit field: optional sign and digits at the start; anything else leaves
// the field as it is. Values beyond the field saturate.
void readInteger(std::string_view text, std::int32_t& field) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = i;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
        ++digits;
    if (digits == i)
        return;
    const bool negative = text[0] == '-';
    long long value = 0;
    for (std::size_t k = i; k < digits; ++k) {
        value = value * 10 + (text[k] - '0');
        if (value > std::numeric_limits<std::int32_t>::max())
            break;
    }
    value = negative ? -value : value;
    field = static_cast<std::int32_t>(std::clamp<long long>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

struct IntegerKey {
    std::string_view key;
    std::int32_t AnimData::*field;
};
constexpr IntegerKey kIntegerKeys[] = {
    {"WIDTH", &AnimData::width},         {"HEIGHT", &AnimData::height},
    {"PLANES", &AnimData::planes},       {"INTERPOLATION", &AnimData::interpolation},
    {"DIMENSION", &AnimData::dimension}, {"STARTFRAME", &AnimData::startFrame},
    {"ENDFRAME", &AnimData::endFrame},   {"SAVEMODE", &AnimData::saveMode},
    {"FPS", &AnimData::framesPerSecond},
};

struct TextKey {
    std::string_view key;
    std::string AnimData::*field;
    std::size_t length;
};
constexpr TextKey kTextKeys[] = {
    {"ANIMNAME", &AnimData::name, kAnimNameLength},
    {"AUTHOR", &AnimData::author, kAnimAuthorLength},
    {"ADDRESS", &AnimData::address, kAnimAddressLength},
    {"DATE", &AnimData::date, kAnimDateLength},
    {"COMMENT", &AnimData::comment, kAnimCommentLength},
    {"COPYRIGHT", &AnimData::copyright, kAnimCopyrightLength},
    {"SUGGESTION", &AnimData::suggestion, kAnimSuggestionLength},
};

void applySetting(AnimData& data, std::string_view key, std::string_view value) {
    for (const IntegerKey& row : kIntegerKeys)
        if (equalsIgnoreCase(key, row.key))
            return readInteger(value, data.*row.field);
    for (const TextKey& row : kTextKeys)
        if (equalsIgnoreCase(key, row.key))
            data.*row.field = fitAnimText(value, row.length);
}

// The settings, when the entry is the settings entry.
std::optional<AnimData> readSettings(std::string_view entry) {
    const std::vector<std::string_view> tokens = splitTokens(entry);
    if (tokens.size() < 2 || !equalsIgnoreCase(tokens[0], kAnimSettingsEntryName) ||
        !tokens[1].starts_with('{'))
        return std::nullopt;
    AnimData data;
    for (std::size_t i = 2; i < tokens.size() && tokens[i] != "}"; ++i) {
        const std::size_t equals = tokens[i].find('=');
        if (equals != std::string_view::npos)
            applySetting(data, tokens[i].substr(0, equals), tokens[i].substr(equals + 1));
    }
    return data;
}

// A parameter entry made into a key: nothing when its type is unknown.
std::unique_ptr<FractalRecord> readKey(std::string_view entry, std::size_t open,
                                       PaletteList& palettes, const RecordCreationContext& context,
                                       std::vector<std::string>& problems) {
    const std::vector<std::string_view> before = splitTokens(entry.substr(0, open));
    std::string name = before.empty() ? "No name" : std::string(before.back());
    name = name.substr(0, kMaxFileNameLength);
    const std::string_view body = entry.substr(open);
    const auto type = peekEntryType(body);
    if (!type) {
        problems.push_back("entry \"" + name + "\" is of a type this program does not know");
        return nullptr;
    }
    auto key = createRecord(type->type, type->subtype, context);
    key->name = name;
    const auto sink = [&problems, &name](std::string_view message) {
        problems.push_back(name + ": " + std::string(message));
    };
    if (!parseEntryText(*key, body, palettes, sink))
        return nullptr;
    return key;
}

// The parent a layer entry names ("AnimLayerOf=<key>"), when the entry is one.
std::optional<std::string_view> layerParent(std::string_view entry) {
    for (std::string_view token : splitTokens(entry)) {
        const std::size_t equals = token.find('=');
        if (equals != std::string_view::npos &&
            equalsIgnoreCase(token.substr(0, equals), kLayerParentKey))
            return token.substr(equals + 1);
    }
    return std::nullopt;
}

// How many layers a key names.
std::size_t layerCount(const FractalRecord& key) {
    return key.type == kTypeCompound ? readCompoundParams(key).layers.size() : 0;
}

// Reads a layer entry into the layers of the last key, which it must name. A problem line
// and nothing read otherwise.
void readLayer(LoadedAnimation& result, std::string_view entry, std::size_t open,
               std::string_view parent, PaletteList& palettes,
               const RecordCreationContext& context) {
    const std::string quoted = "layer entry of \"" + std::string(parent) + "\"";
    if (result.keys.empty() || !equalsIgnoreCase(result.keys.back()->name, parent)) {
        result.problems.push_back(quoted + " does not follow that key: it was not read");
        return;
    }
    auto& layers = result.layers.back();
    if (layers.size() >= layerCount(*result.keys.back())) {
        result.problems.push_back(quoted + ": the key names fewer layers; it was not read");
        return;
    }
    auto layer = readKey(entry, open, palettes, context, result.problems);
    if (!layer)
        return;
    if (layer->type == kTypeCompound) {
        result.problems.push_back(quoted + " is a compound itself: it was not read");
        return;
    }
    layer->entryKind = kEntryKeyFrame;
    layers.push_back(std::move(layer));
}

// The last key is complete once the next key (or the end) comes: a compound key needs a
// layer for each of its layer names, fitting those of the key before it; otherwise it
// goes, with its layers. Its layer links are set to its layers' names.
void settleLastKey(LoadedAnimation& result, Frontend& frontend) {
    if (result.keys.empty())
        return;
    FractalRecord& key = *result.keys.back();
    auto& layers = result.layers.back();
    const std::size_t wanted = layerCount(key);
    const auto drop = [&result] {
        result.keys.pop_back();
        result.layers.pop_back();
    };
    if (layers.size() != wanted) {
        result.problems.push_back("key \"" + key.name + "\" names " + std::to_string(wanted) +
                                  " layers but " + std::to_string(layers.size()) +
                                  " layer entries follow it: the key was not read");
        return drop();
    }
    const auto pointers = [](const std::vector<std::unique_ptr<FractalRecord>>& owned) {
        std::vector<const FractalRecord*> out;
        for (const auto& record : owned)
            out.push_back(record.get());
        return out;
    };
    if (result.keys.size() > 1 &&
        !layersFit(pointers(layers), pointers(result.layers[result.layers.size() - 2]), frontend))
        return drop();
    for (std::size_t k = 0; k < layers.size(); ++k)
        setLayerName(key, k, layers[k]->name);
}

} // namespace

std::string animationTokenText(std::string_view fileText) {
    std::string out;
    bool glued = false;
    std::size_t pos = 0;
    while (pos < fileText.size()) {
        std::size_t end = fileText.find('\n', pos);
        if (end == std::string_view::npos)
            end = fileText.size();
        for (std::size_t piece = pos; piece < end; piece += kAnimLineLength)
            tokenisePiece(fileText.substr(piece, std::min(kAnimLineLength, end - piece)), out,
                          glued);
        pos = end + 1;
    }
    return out;
}

LoadedAnimation readAnimationText(std::string_view fileText, PaletteList& palettes,
                                  Frontend& frontend, Progress* progress,
                                  const RecordCreationContext& context) {
    LoadedAnimation result;
    const std::string text = animationTokenText(fileText);
    bool warned = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (progress != nullptr && progress->abortRequested()) {
            result.aborted = true;
            break;
        }
        const std::size_t open = text.find('{', pos);
        const std::size_t close =
            open == std::string::npos ? std::string::npos : text.find('}', open);
        if (close == std::string::npos)
            break;
        // One warning is enough to make the point; a hostile file could hold thousands.
        if (close - open - 1 > kLargeAnimEntry && !warned) {
            warned = true;
            frontend.messageBox(kLoadingAnimationCaption, kNotAnimationFileText, MessageButtons::Ok,
                                MessageIcon::Warning);
        }
        const std::size_t start = pos;
        const std::string_view entry = std::string_view(text).substr(start, close + 1 - start);
        pos = close + 1;
        if (!result.hasSettings) {
            if (auto settings = readSettings(entry)) {
                result.data = std::move(*settings);
                result.hasSettings = true;
            }
        } else if (auto parent = layerParent(entry)) {
            readLayer(result, entry, open - start, *parent, palettes, context);
        } else if (settleLastKey(result, frontend); result.keys.size() >= kMaxAnimKeys) {
            result.problems.push_back("more than " + std::to_string(kMaxAnimKeys) +
                                      " key frames: the rest was not read");
            break;
        } else if (auto key = readKey(entry, open - start, palettes, context, result.problems)) {
            if (!acceptableGap(key->numFrames) && !result.keys.empty()) {
                frontend.messageBox(kVerifyingKeyCaption, kShortGapText, MessageButtons::Ok,
                                    MessageIcon::Warning);
            } else if (result.keys.empty() || verifyKey(*key, *result.keys.back(), frontend)) {
                result.keys.push_back(std::move(key));
                result.layers.emplace_back();
            }
        }
        if (progress != nullptr)
            progress->setFraction(static_cast<double>(pos) / static_cast<double>(text.size()));
    }
    if (!result.aborted)
        settleLastKey(result, frontend);
    return result;
}

std::optional<LoadedAnimation> loadAnimationFile(const fs::path& path, PaletteList& palettes,
                                                 Frontend& frontend, Progress* progress,
                                                 const RecordCreationContext& context,
                                                 std::string* refusal) {
    const auto refuse = [refusal](std::string reason) -> std::optional<LoadedAnimation> {
        if (refusal != nullptr)
            *refusal = std::move(reason);
        return std::nullopt;
    };
    std::error_code error;
    if (!fs::is_regular_file(path, error))
        return refuse("\"" + path.string() + "\" is not a readable file");
    const auto size = fs::file_size(path, error);
    if (error || size > kMaxAnimFileBytes)
        return refuse("\"" + path.string() + "\" is larger than the " +
                      std::to_string(kMaxAnimFileBytes >> 20) +
                      " MiB an animation data file may hold");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return refuse("cannot open \"" + path.string() + "\"");
    std::string text(static_cast<std::size_t>(size), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return readAnimationText(text, palettes, frontend, progress, context);
}

} // namespace vortimax
