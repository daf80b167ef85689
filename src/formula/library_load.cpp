#include "formula/library_load.h"

#include "base/frontend.h"
#include "formula/library_reader.h"

namespace vortimax {

namespace {

std::unique_ptr<FormulaEntry> entryFromBody(const LibraryTextEntry& text, const FormulaEntry*) {
    return formulaFromBody(text.name, text.body);
}

std::unique_ptr<IfsEntry> entryFromBody(const LibraryTextEntry& text, const IfsEntry*) {
    return ifsFromBody(text.name, text.body);
}

std::unique_ptr<LSystemEntry> entryFromBody(const LibraryTextEntry& text, const LSystemEntry*) {
    return lsystemFromBody(text.name, text.body);
}

template <class Entry>
LibraryLoadResult loadEntries(EntryLibrary<Entry>& library, std::string_view text,
                              Progress* progress) {
    LibraryLoadResult result;
    result.read = true;
    result.aborted = forEachLibraryEntry(text, progress, [&](const LibraryTextEntry& found) {
        std::unique_ptr<Entry> entry = entryFromBody(found, static_cast<const Entry*>(nullptr));
        if (entry != nullptr && library.insert(std::move(entry)) != nullptr) {
            ++result.added;
        } else {
            ++result.dropped;
        }
    });
    return result;
}

template <class Entry>
LibraryLoadResult loadFile(EntryLibrary<Entry>& library, const std::filesystem::path& file,
                           Progress* progress) {
    const std::optional<std::string> text = readLibraryText(file);
    if (!text) {
        return {};
    }
    if (progress != nullptr) {
        progress->setText(loadingFileText(file));
    }
    return loadEntries(library, *text, progress);
}

} // namespace

std::unique_ptr<FormulaEntry> formulaFromBody(std::string_view name, std::string_view body) {
    auto entry = std::make_unique<FormulaEntry>();
    if (compileFormula(*entry, name, body, {.checkOnly = false, .silent = true}, nullptr) != 0) {
        return nullptr;
    }
    return entry;
}

std::unique_ptr<IfsEntry> ifsFromBody(std::string_view name, std::string_view body) {
    auto entry = std::make_unique<IfsEntry>();
    entry->name = std::string(name);
    entry->transforms = parseIfsBody(body);
    return entry;
}

std::unique_ptr<LSystemEntry> lsystemFromBody(std::string_view name, std::string_view body) {
    auto entry = std::make_unique<LSystemEntry>();
    entry->name = std::string(name);
    parseLSystemBody(body, *entry);
    return entry;
}

LibraryLoadResult loadLibraryText(FormulaLibrary& library, std::string_view text,
                                  Progress* progress) {
    return loadEntries(library, text, progress);
}

LibraryLoadResult loadLibraryText(IfsLibrary& library, std::string_view text, Progress* progress) {
    return loadEntries(library, text, progress);
}

LibraryLoadResult loadLibraryText(LSystemLibrary& library, std::string_view text,
                                  Progress* progress) {
    return loadEntries(library, text, progress);
}

LibraryLoadResult loadFormulaFile(FormulaLibrary& library, const std::filesystem::path& file,
                                  Progress* progress) {
    return loadFile(library, file, progress);
}

LibraryLoadResult loadIfsFile(IfsLibrary& library, const std::filesystem::path& file,
                              Progress* progress) {
    return loadFile(library, file, progress);
}

LibraryLoadResult loadLSystemFile(LSystemLibrary& library, const std::filesystem::path& file,
                                  Progress* progress) {
    return loadFile(library, file, progress);
}

} // namespace vortimax
