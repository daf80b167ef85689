#include "formula/library_save.h"

#include "base/entry_save.h"
#include "base/text_io.h"

#include <string>
#include <vector>

namespace vortimax {

namespace {

// Every text the library save commands show.
struct Texts {
    static constexpr std::string_view saveTitle =
        "Please select a formula file to save the formula in...";
    static constexpr std::string_view saveAllTitle =
        "Please select a formula file to save all formulas in...";
    static constexpr std::string_view caption = "Saving formula entry";
    static constexpr std::string_view nonStandard =
        "The file you chose already exists. I'd like\nto append the parameters at the end of "
        "the file,\nbut after looking more closely at it I found out\nthat it contains non "
        "standard characters.\nThus I assume that this file is not a valid\nformula "
        "file.\n\nShould I really append your formula to this file?";
    static constexpr std::string_view stillMalformed =
        "I'm very sorry to annoy you again, but after\nchecking the internal format of the "
        "file I still\nthink that it is not a valid formula file.\n\nAgain, should I really "
        "append YOUR formula\nto THIS file?";
    static constexpr std::string_view malformed =
        "The file you chose already exists. I'd like\nto append the parameters at the end of "
        "the file,\nbut after looking quite closely at it I found\nout that it does not "
        "conform to the format of a\nlegal formula file.\nThus I assume that this file is "
        "not a valid\nformula file.\n\nShould I really append your formula to this file?";
    static constexpr std::string_view sameName =
        "The formula file you chose already contains\nan entry with the same name as that "
        "to be\nadded. Should I replace that entry or\nshould I just add the new entry to the "
        "file?\n\nChoose:\n- YES to overwrite the existing entry.\n- NO to add the entry\n- "
        "CANCEL to abort without saving anything.";
    static constexpr std::string_view unreadable =
        "The file you chose cannot be read, so the formula\nwas not added to it:\n";
    static constexpr std::string_view writeFailed = "The formula could not be written to\n";
};

constexpr EntrySaveTexts kSaveTexts{Texts::caption,    Texts::nonStandard, Texts::stillMalformed,
                                    Texts::malformed,  Texts::sameName,    Texts::unreadable,
                                    Texts::writeFailed};

std::vector<std::string> filtersOf(LibraryKind kind) {
    return {std::string(libraryKindInfo(kind).filter)};
}

} // namespace

LibrarySaveResult saveEntryText(LibraryKind kind, std::string_view name, std::string_view text,
                                Frontend& frontend, std::filesystem::path& directory) {
    const auto path = frontend.requestSaveFile(Texts::saveTitle, directory, filtersOf(kind));
    if (!path) {
        return LibrarySaveResult::Cancelled;
    }
    directory = path->parent_path();
    return saveEntryIntoFile(*path, name, withCrLf(text), LibraryBodySyntax::Plain, kSaveTexts,
                             frontend);
}

LibrarySaveResult saveAllText(LibraryKind kind, std::string_view text, Frontend& frontend,
                              std::filesystem::path& directory) {
    const auto path = frontend.requestSaveFile(Texts::saveAllTitle, directory, filtersOf(kind));
    if (!path) {
        return LibrarySaveResult::Cancelled;
    }
    directory = path->parent_path();
    return replaceFileOrReport(*path, withCrLf(text), kSaveTexts, frontend);
}

} // namespace vortimax
