#include "base/entry_save.h"

#include "base/atomic_file.h"

#include <fstream>
#include <optional>
#include <string>
#include <system_error>

namespace vortimax {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

MessageAnswer ask(Frontend& frontend, const EntrySaveTexts& texts, std::string_view question) {
    return frontend.messageBox(texts.caption, question, MessageButtons::YesNoCancel,
                               MessageIcon::Question);
}

void reportFailure(Frontend& frontend, const EntrySaveTexts& texts, std::string_view text,
                   const std::filesystem::path& path) {
    frontend.messageBox(texts.caption, std::string(text) + path.string(), MessageButtons::Ok,
                        MessageIcon::Error);
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
            if (!out.write(text.data(), static_cast<std::streamsize>(text.size())).flush())
                return std::nullopt;
        }
        std::string back;
        if (readLibraryFile(path_, back) != LibraryReadStatus::Read || back != text)
            return std::nullopt;
        return back;
    }

private:
    std::filesystem::path path_;
};

// The questions about a file that does not look like one of its kind; false when the
// person does not answer Yes.
bool appendToForeignFile(Frontend& frontend, const EntrySaveTexts& texts,
                         const LibraryFileCheck& check) {
    const bool nonStandard = check.has(kLibraryNonStandard);
    if (nonStandard && ask(frontend, texts, texts.nonStandard) != MessageAnswer::Yes)
        return false;
    if (check.has(kLibraryMalformed) &&
        ask(frontend, texts, nonStandard ? texts.stillMalformed : texts.malformed) !=
            MessageAnswer::Yes)
        return false;
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
std::optional<std::string> newContent(Frontend& frontend, const EntrySaveTexts& texts,
                                      const LibraryFileContent& file, std::string_view entry) {
    const LibraryFileCheck& check = file.check;
    if (!appendToForeignFile(frontend, texts, check))
        return std::nullopt;
    if (!check.has(kLibraryHasEntry))
        return appended(file.bytes, entry);
    switch (ask(frontend, texts, texts.sameName)) {
    case MessageAnswer::Yes:
        return replaced(file.bytes, check, entry);
    case MessageAnswer::No:
        return appended(file.bytes, entry);
    default:
        return std::nullopt;
    }
}

} // namespace

EntrySaveResult replaceFileOrReport(const std::filesystem::path& file, std::string_view content,
                                    const EntrySaveTexts& texts, Frontend& frontend) {
    if (writeFileAtomically(file, content))
        return EntrySaveResult::Saved;
    reportFailure(frontend, texts, texts.writeFailed, file);
    return EntrySaveResult::Failed;
}

EntrySaveResult saveEntryIntoFile(const std::filesystem::path& file, std::string_view entryName,
                                  std::string_view entryText, LibraryBodySyntax syntax,
                                  const EntrySaveTexts& texts, Frontend& frontend) {
    ScratchFile scratch(file.parent_path() / kEntryScratchFileName);
    const auto entry = scratch.store(entryText);
    if (!entry) {
        reportFailure(frontend, texts, texts.writeFailed, file);
        return EntrySaveResult::Failed;
    }
    const LibraryFileContent content = inspectLibraryFile(file, entryName, syntax);
    if (content.check.has(kLibraryUnreadable)) {
        reportFailure(frontend, texts, texts.unreadable, file);
        return EntrySaveResult::Failed;
    }
    const auto updated = newContent(frontend, texts, content, *entry);
    if (!updated)
        return EntrySaveResult::Cancelled;
    return replaceFileOrReport(file, *updated, texts, frontend);
}

} // namespace vortimax
