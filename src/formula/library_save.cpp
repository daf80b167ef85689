#include "formula/library_save.h"

#include "base/atomic_file.h"
#include "base/library_file.h"
#include "base/text_io.h"

#include <fstream>
#include <optional>
#include <string>
#include <system_error>
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

constexpr std::string_view kLineBreak = "\r\n";

MessageAnswer ask(Frontend& frontend, std::string_view question) {
    return frontend.messageBox(Texts::caption, question, MessageButtons::YesNoCancel,
                               MessageIcon::Question);
}

void reportFailure(Frontend& frontend, std::string_view text, const std::filesystem::path& path) {
    frontend.messageBox(Texts::caption, std::string(text) + path.string(), MessageButtons::Ok,
                        MessageIcon::Error);
}

LibrarySaveResult writeOrReport(Frontend& frontend, const std::filesystem::path& path,
                                std::string_view content) {
    if (writeFileAtomically(path, content)) {
        return LibrarySaveResult::Saved;
    }
    reportFailure(frontend, Texts::writeFailed, path);
    return LibrarySaveResult::Failed;
}

std::vector<std::string> filtersOf(LibraryKind kind) {
    return {std::string(libraryKindInfo(kind).filter)};
}

// The scratch copy of the entry, removed again when the save ends however it ends.
class ScratchFile {
public:
    explicit ScratchFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Writes `text` and reads it back; nothing when either fails.
    std::optional<std::string> store(std::string_view text) {
        {
            std::ofstream out(path_, std::ios::binary | std::ios::trunc);
            if (!out.write(text.data(), static_cast<std::streamsize>(text.size())).flush()) {
                return std::nullopt;
            }
        }
        std::string back;
        if (readLibraryFile(path_, back) != LibraryReadStatus::Read || back != text) {
            return std::nullopt;
        }
        return back;
    }

private:
    std::filesystem::path path_;
};

// The questions about a file that does not look like a formula file; false when the person
// does not answer Yes.
bool appendToForeignFile(Frontend& frontend, const LibraryFileCheck& check) {
    const bool nonStandard = check.has(kLibraryNonStandard);
    if (nonStandard && ask(frontend, Texts::nonStandard) != MessageAnswer::Yes) {
        return false;
    }
    if (check.has(kLibraryMalformed) &&
        ask(frontend, nonStandard ? Texts::stillMalformed : Texts::malformed) !=
            MessageAnswer::Yes) {
        return false;
    }
    return true;
}

std::string appended(std::string_view file, std::string_view entry) {
    std::string content(file);
    content += kLineBreak;
    content += entry;
    return content;
}

// The file with the old entry, from its name to its closing brace, replaced.
std::string replaced(std::string_view file, const LibraryFileCheck& check, std::string_view entry) {
    std::string content(file.substr(0, check.entryStart));
    content += entry;
    content += file.substr(check.entryEnd + 1);
    return content;
}

// The new file content, or nothing when the person declined or cancelled.
std::optional<std::string> newContent(Frontend& frontend, const LibraryFileContent& file,
                                      std::string_view entry) {
    const LibraryFileCheck& check = file.check;
    if (!appendToForeignFile(frontend, check)) {
        return std::nullopt;
    }
    if (!check.has(kLibraryHasEntry)) {
        return appended(file.bytes, entry);
    }
    switch (ask(frontend, Texts::sameName)) {
    case MessageAnswer::Yes:
        return replaced(file.bytes, check, entry);
    case MessageAnswer::No:
        return appended(file.bytes, entry);
    default:
        return std::nullopt;
    }
}

} // namespace

LibrarySaveResult saveEntryText(LibraryKind kind, std::string_view name, std::string_view text,
                                Frontend& frontend, std::filesystem::path& directory) {
    const auto path = frontend.requestSaveFile(Texts::saveTitle, directory, filtersOf(kind));
    if (!path) {
        return LibrarySaveResult::Cancelled;
    }
    directory = path->parent_path();
    ScratchFile scratch(path->parent_path() / kLibraryScratchFileName);
    const auto entry = scratch.store(withCrLf(text));
    if (!entry) {
        reportFailure(frontend, Texts::writeFailed, *path);
        return LibrarySaveResult::Failed;
    }
    const LibraryFileContent file = inspectLibraryFile(*path, name);
    if (file.check.has(kLibraryUnreadable)) {
        reportFailure(frontend, Texts::unreadable, *path);
        return LibrarySaveResult::Failed;
    }
    const auto content = newContent(frontend, file, *entry);
    if (!content) {
        return LibrarySaveResult::Cancelled;
    }
    return writeOrReport(frontend, *path, *content);
}

LibrarySaveResult saveAllText(LibraryKind kind, std::string_view text, Frontend& frontend,
                              std::filesystem::path& directory) {
    const auto path = frontend.requestSaveFile(Texts::saveAllTitle, directory, filtersOf(kind));
    if (!path) {
        return LibrarySaveResult::Cancelled;
    }
    directory = path->parent_path();
    return writeOrReport(frontend, *path, withCrLf(text));
}

} // namespace vortimax
