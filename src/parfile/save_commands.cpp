#include "parfile/save_commands.h"

#include "base/entry_save.h"
#include "base/text_io.h"
#include "base/text_utils.h"
#include "parfile/entry_writer.h"

#include <string>
#include <vector>

namespace vortimax {

namespace {

// Every text the parameter save commands show.
struct Texts {
    static constexpr std::string_view saveTitle =
        "Please select a parameter file to save the fractal in...";
    static constexpr std::string_view saveFolderTitle =
        "Please specify a name for the parameter file to save the fractals in...";
    static constexpr std::string_view caption = "Saving parameters";
    static constexpr std::string_view nonStandard =
        "The file you chose already exists. I'd like\nto append the parameters at the end of "
        "the file,\nbut after looking more closely at it I found out\nthat it contains non "
        "standard characters.\nThus I assume that this file is not a valid\nparameter "
        "file.\n\nShould I really append your parameters to this file?";
    static constexpr std::string_view stillMalformed =
        "I'm very sorry to annoy you again, but after\nchecking the internal format of the "
        "file I still\nthink that it is not a valid parameter file.\n\nAgain, should I really "
        "append YOUR parameters\nto THIS file?";
    static constexpr std::string_view malformed =
        "The file you chose already exists. I'd like\nto append the parameters at the end of "
        "the file,\nbut after looking quite closely at it I found\nout that it does not "
        "conform to the format of a\nlegal parameter file.\nThus I assume that this file is "
        "not a valid\nparameter file.\n\nShould I really append your parameters to this file?";
    static constexpr std::string_view sameName =
        "The parameter file you chose already contains\nan entry with the same name as that "
        "to be\nadded. Should I replace that entry or\nshould I just add the new entry to the "
        "file?\n\nChoose:\n- YES to overwrite the existing entry.\n- NO to add the entry\n- "
        "CANCEL to abort without saving anything.";
    static constexpr std::string_view unreadable =
        "The file you chose cannot be read, so the parameters\nwere not added to it:\n";
    static constexpr std::string_view writeFailed = "The parameters could not be written to\n";
};

const std::vector<std::string> kParameterFilters{"*.par"};

constexpr EntrySaveTexts kSaveTexts{Texts::caption,    Texts::nonStandard, Texts::stillMalformed,
                                    Texts::malformed,  Texts::sameName,    Texts::unreadable,
                                    Texts::writeFailed};

std::filesystem::path folderProposal(const Folder& folder, const std::filesystem::path& directory) {
    std::string name = folder.name();
    constexpr std::string_view kExtension = ".par";
    if (name.size() < kExtension.size() ||
        !equalsIgnoreCase(std::string_view(name).substr(name.size() - kExtension.size()),
                          kExtension))
        name += kExtension;
    const std::filesystem::path folderDirectory = folder.filePath().parent_path();
    return (folderDirectory.empty() ? directory : folderDirectory) / name;
}

} // namespace

SaveResult saveFractal(const FractalRecord& record, Frontend& frontend,
                       std::filesystem::path& directory, const PaletteList* palettes) {
    const auto path = frontend.requestSaveFile(Texts::saveTitle, directory, kParameterFilters);
    if (!path)
        return SaveResult::Cancelled;
    directory = path->parent_path();
    return saveEntryIntoFile(*path, parameterEntryName(record.name),
                             withCrLf(parameterEntryText(record, std::nullopt, palettes)),
                             LibraryBodySyntax::SemicolonComments, kSaveTexts, frontend);
}

SaveResult saveFolder(const Folder& folder, Frontend& frontend, std::filesystem::path& directory,
                      const PaletteList* palettes) {
    const auto path = frontend.requestSaveFile(
        Texts::saveFolderTitle, folderProposal(folder, directory), kParameterFilters);
    if (!path)
        return SaveResult::Cancelled;
    directory = path->parent_path();
    std::string text;
    for (const FractalRecord& record : folder.fractals().all())
        text += parameterEntryText(record, std::nullopt, palettes) + "\n\n\n";
    return replaceFileOrReport(*path, withCrLf(text), kSaveTexts, frontend);
}

} // namespace vortimax
