#include "animation/anim_file.h"
#include "animation/key_layers.h"
#include "base/atomic_file.h"
#include "base/text_io.h"
#include "parfile/entry_writer.h"

#include <string>

namespace vortimax {

namespace {

std::string number(std::int32_t value) {
    return std::to_string(value);
}

} // namespace

std::string animSettingsText(const AnimData& data) {
    std::string text;
    text += std::string(kAnimSettingsEntryName) + " { ; AnimData-file created by Vortimax\n";
    text += "Width=" + number(data.width) + "  Height=" + number(data.height) +
            " AnimName=" + data.name + "\n";
    text += "Planes=" + number(data.planes) + "  Interpolation=" + number(data.interpolation) +
            " Dimension=" + number(data.dimension) + "\n";
    text += "Startframe=" + number(data.startFrame) + "  Endframe=" + number(data.endFrame) + "\n";
    text += "Author=" + data.author + "\n";
    text += "Address=" + data.address + "\n";
    text += "Date=" + data.date + "\n";
    text += "Comment=" + data.comment + "\n";
    text += "Copyright=" + data.copyright + "\n";
    text += "Suggestion=" + data.suggestion + "\n";
    text += "Savemode=" + number(data.saveMode) + " FPS=" + number(data.framesPerSecond) + "\n";
    text += "}\n\n\n";
    return text;
}

std::string layerParentName(const FractalRecord& key) {
    const std::string written = animationTokenText(parameterEntryName(key.name, std::nullopt));
    const std::size_t blank = written.rfind(' ');
    return blank == std::string::npos ? written : written.substr(blank + 1);
}

// A layer entry is an ordinary parameter entry with one more key, "AnimLayerOf=<parent>",
// on the line after its opening brace; the parent is the name its key's entry is read
// back with. Parameter files ignore keys they do not know, so the entry still reads as a
// fractal anywhere else.
std::string layerEntryText(const FractalRecord& layer, const FractalRecord& key,
                           const PaletteList* palettes) {
    std::string text = parameterEntryText(layer, std::nullopt, palettes);
    const std::size_t open = text.find('{');
    if (open != std::string::npos)
        text.insert(open + 1, "\n" + std::string(kLayerParentKey) + "=" + layerParentName(key));
    return text;
}

std::string animationFileText(const AnimData& data, const std::vector<const FractalRecord*>& keys,
                              const PaletteList* palettes) {
    std::string text = animSettingsText(data);
    for (const FractalRecord* key : keys) {
        text += parameterEntryText(*key, std::nullopt, palettes) + "\n\n\n";
        for (const FractalRecord* layer : keyLayers(*key))
            text += layerEntryText(*layer, *key, palettes) + "\n\n\n";
    }
    return withCrLf(text);
}

bool writeAnimationFile(const std::filesystem::path& path, const AnimData& data,
                        const std::vector<const FractalRecord*>& keys,
                        const PaletteList* palettes) {
    return writeFileAtomically(path, animationFileText(data, keys, palettes));
}

} // namespace vortimax
