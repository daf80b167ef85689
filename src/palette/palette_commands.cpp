#include "palette/palette_commands.h"

#include "base/abortable_load.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "model/unique_name.h"
#include "palette/map_file.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <system_error>
#include <utility>

namespace vortimax {

namespace {

// Every text the palette commands show.
struct Texts {
    static constexpr std::string_view duplicate = "Duplicate palette: ";
    static constexpr std::string_view loadedAs = " loaded as ";
    static constexpr std::string_view loadTitle = "Load palette";
    static constexpr std::string_view loadProgress = "Loading palettes";
    static constexpr std::string_view directoryLog = "Loading palettes from directory ";
    static constexpr std::string_view saveTitle = "Save palette";
    static constexpr std::string_view saveAllPrompt =
        "Please select a directory to save all palettes in...";
    static constexpr std::string_view saveFailed = "The palette could not be saved to ";
    static constexpr std::string_view saveAllFailed = " palettes could not be saved to ";
    static constexpr std::string_view errorCaption = "Error";
    static constexpr std::string_view infoCaption = "Information";
    static constexpr std::string_view defaultNotDeleted =
        "The default palette cannot be deleted...";
    static constexpr std::string_view deleteCaption = "Delete operation";
    static constexpr std::string_view deleteQuestion =
        "You are about to delete a color palette.\nAre you sure you want to delete it?";
};

const std::vector<std::string> kMapFilters{"*.map"};

std::string concat(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

void applyToFractal(PaletteList& list, Palette& palette, FractalRecord* fractal) {
    list.setCurrent(&palette);
    if (fractal != nullptr)
        fractal->palName = palette.name();
}

// The "*.map" files of a directory in name order; none when it cannot be listed.
std::vector<std::filesystem::path> mapFilesIn(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const std::filesystem::path& path = it->path();
        if (equalsIgnoreCase(path.extension().string(), ".map"))
            files.push_back(path);
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return compareIgnoreCase(a.filename().string(), b.filename().string()) < 0;
    });
    return files;
}

} // namespace

Palette* addLoadedPalette(PaletteList& list, Frontend& frontend, Palette palette) {
    if (const Palette* existing = list.findDuplicate(palette)) {
        frontend.addMessage(
            concat({Texts::duplicate, palette.name(), Texts::loadedAs, existing->name()}));
        return nullptr;
    }
    Palette& added = list.insertUnique(std::make_unique<Palette>(std::move(palette)));
    list.setLastAdded(&added);
    return &added;
}

PaletteLoadResult loadPalettes(PaletteList& list, Frontend& frontend,
                               const std::vector<std::filesystem::path>& files,
                               FractalRecord* activeFractal) {
    PaletteLoadResult result;
    if (files.empty())
        return result;
    // The worker only reads; the list changes on this thread once it is done.
    std::vector<std::optional<Palette>> read(files.size());
    result.aborted = runAbortableLoad(frontend, Texts::loadProgress, [&](Progress& progress) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (progress.abortRequested())
                return true;
            read[i] = readMapFile(files[i]);
            progress.setFraction(static_cast<double>(i + 1) / static_cast<double>(files.size()));
        }
        return false;
    });
    for (std::optional<Palette>& palette : read) {
        if (!palette)
            continue;
        if (Palette* added = addLoadedPalette(list, frontend, std::move(*palette))) {
            ++result.added;
            result.applied = added;
        } else {
            ++result.duplicates;
        }
    }
    if (result.applied != nullptr)
        applyToFractal(list, *result.applied, activeFractal);
    return result;
}

PaletteLoadResult loadPalettes(PaletteList& list, Frontend& frontend,
                               const std::filesystem::path& startDirectory,
                               FractalRecord* activeFractal) {
    auto file = frontend.requestOpenFile(Texts::loadTitle, startDirectory, kMapFilters);
    if (!file)
        return {};
    return loadPalettes(list, frontend, std::vector{*file}, activeFractal);
}

std::size_t loadPaletteDirectories(PaletteList& list, Frontend& frontend,
                                   const std::vector<std::filesystem::path>& directories,
                                   const Progress* progress) {
    std::size_t added = 0;
    for (const std::filesystem::path& directory : directories) {
        frontend.addMessage(concat({Texts::directoryLog, directory.string()}));
        for (const std::filesystem::path& file : mapFilesIn(directory)) {
            if (progress != nullptr && progress->abortRequested())
                return added;
            std::optional<Palette> palette = readMapFile(file);
            if (palette && addLoadedPalette(list, frontend, std::move(*palette)) != nullptr)
                ++added;
        }
    }
    return added;
}

bool savePalette(const Palette& palette, Frontend& frontend,
                 const std::filesystem::path& startDirectory) {
    auto path = frontend.requestSaveFile(Texts::saveTitle,
                                         startDirectory / mapFileName(palette.name()), kMapFilters);
    if (!path)
        return false;
    if (writeMapFile(palette, *path))
        return true;
    frontend.messageBox(Texts::errorCaption, concat({Texts::saveFailed, path->string()}),
                        MessageButtons::Ok, MessageIcon::Error);
    return false;
}

std::size_t saveAllPalettes(const PaletteList& list, Frontend& frontend,
                            const std::filesystem::path& startDirectory) {
    auto directory = frontend.requestDirectory(Texts::saveAllPrompt, startDirectory);
    if (!directory)
        return 0;
    // Names that differ only in the characters a file name cannot hold would share a
    // file: later ones get a numbered name instead of overwriting the earlier.
    std::set<std::string> used;
    std::size_t written = 0;
    for (const Palette& palette : list.palettes().all()) {
        std::string file = mapFileName(palette.name());
        for (unsigned long number = 1; used.contains(file); ++number)
            file = mapFileName(suffixedName(palette.name(), number, kMaxPaletteNameLength + 20));
        used.insert(file);
        if (writeMapFile(palette, *directory / file))
            ++written;
    }
    if (written < list.size()) {
        std::string text;
        appendInteger(text, static_cast<long long>(list.size() - written));
        text += concat({Texts::saveAllFailed, directory->string()});
        frontend.messageBox(Texts::errorCaption, text, MessageButtons::Ok, MessageIcon::Error);
    }
    return written;
}

PaletteDeleteResult deletePalette(PaletteList& list, Palette& palette, Frontend& frontend,
                                  bool confirm, FractalRecord* activeFractal) {
    if (list.isDefault(palette)) {
        frontend.messageBox(Texts::infoCaption, Texts::defaultNotDeleted, MessageButtons::Ok,
                            MessageIcon::Information);
        return PaletteDeleteResult::DefaultPalette;
    }
    if (!list.contains(palette))
        return PaletteDeleteResult::NotMember;
    if (confirm && frontend.messageBox(Texts::deleteCaption, Texts::deleteQuestion,
                                       MessageButtons::YesNoCancel,
                                       MessageIcon::Question) != MessageAnswer::Yes)
        return PaletteDeleteResult::Declined;
    // The default palette always stays, so a neighbour exists.
    Palette* neighbour = list.previous(palette);
    if (neighbour == nullptr)
        neighbour = list.next(palette);
    const bool wasCurrent = list.current() == &palette;
    std::unique_ptr<Palette> removed = list.remove(palette);
    if (activeFractal != nullptr && equalsIgnoreCase(activeFractal->palName, removed->name()))
        activeFractal->palName = neighbour->name();
    if (wasCurrent)
        list.setCurrent(neighbour);
    return PaletteDeleteResult::Deleted;
}

bool renamePalette(PaletteList& list, Palette& palette, std::string_view newName,
                   const NamedList<Folder>& folders, std::string* newFractalPaletteName) {
    if (newName.empty() || !list.contains(palette))
        return false;
    // The fractals take the name the palette really gets, which unique naming may change
    // from the one typed.
    const std::string oldName = palette.name();
    const std::string finalName = list.uniqueName(newName, &palette);
    if (finalName == oldName)
        return false;
    auto follow = [&](std::string& name) {
        if (equalsIgnoreCase(name, oldName))
            name = finalName;
    };
    for (const Folder& folder : folders.all()) {
        for (FractalRecord& record : folder.fractals().all()) {
            follow(record.palName);
            follow(record.palNameAnim);
        }
    }
    if (newFractalPaletteName != nullptr)
        follow(*newFractalPaletteName);
    return list.rename(palette, finalName);
}

Palette& duplicatePalette(PaletteList& list, const Palette& source, FractalRecord* activeFractal) {
    Palette& copy = list.insertUnique(std::make_unique<Palette>(source));
    applyToFractal(list, copy, activeFractal);
    return copy;
}

} // namespace vortimax
