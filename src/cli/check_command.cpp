#include "cli/check_command.h"

#include "app/scripted_frontend.h"
#include "cli/exit_codes.h"
#include "formula/formula_entry.h"
#include "formula/ifs_entry.h"
#include "formula/library_kind.h"
#include "formula/library_reader.h"
#include "formula/lsystem_entry.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kIndent = "  ";

// The error boxes compiling one entry shows (none when it compiles).
using EntryErrors = std::vector<std::string>;

std::vector<std::string> boxTexts(const ScriptedFrontend& frontend) {
    std::vector<std::string> texts;
    for (const FrontendCall& box : frontend.messageBoxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

EntryErrors checkFormula(const LibraryTextEntry& text) {
    ScriptedFrontend frontend;
    FormulaEntry entry;
    compileFormula(entry, text.name, text.body, {.checkOnly = true, .silent = false}, &frontend);
    return boxTexts(frontend);
}

EntryErrors checkIfs(const LibraryTextEntry& text) {
    ScriptedFrontend frontend;
    parseIfsBody(text.body, &frontend);
    return boxTexts(frontend);
}

// L-system bodies have nothing that can fail: unknown lines are ignored.
EntryErrors checkLSystem(const LibraryTextEntry& text) {
    LSystemEntry entry;
    parseLSystemBody(text.body, entry);
    return {};
}

using EntryChecker = EntryErrors (*)(const LibraryTextEntry&);

EntryChecker checkerFor(LibraryKind kind) {
    constexpr EntryChecker kCheckers[kLibraryKindCount] = {checkFormula, checkIfs, checkLSystem};
    return kCheckers[static_cast<std::size_t>(kind)];
}

struct Tally {
    std::size_t compiled = 0;
    std::size_t failed = 0;
    bool unreadable = false;
    bool empty = false; // a file without a single entry
};

void printEntry(const std::string& file, const LibraryTextEntry& entry, const EntryErrors& errors,
                std::ostream& out) {
    out << file << ": " << entry.name << ": " << (errors.empty() ? "ok" : "failed") << '\n';
    for (const std::string& error : errors) {
        std::size_t start = 0;
        while (start <= error.size()) {
            const std::size_t end = std::min(error.find('\n', start), error.size());
            out << kIndent << std::string_view(error).substr(start, end - start) << '\n';
            start = end + 1;
        }
    }
}

void checkFile(std::string_view name, Tally& tally, std::ostream& out, std::ostream& err) {
    const fs::path path{std::string(name)};
    const std::optional<LibraryKind> kind = libraryKindOfFile(path);
    if (!kind) {
        err << "vortimax-cli check: \"" << name << "\" is no .frm, .ifs or .l file\n";
        tally.unreadable = true;
        return;
    }
    const std::optional<std::string> text = readLibraryText(path);
    if (!text) {
        err << "vortimax-cli: cannot read \"" << name << "\"\n";
        tally.unreadable = true;
        return;
    }
    const EntryChecker check = checkerFor(*kind);
    std::size_t entries = 0;
    forEachLibraryEntry(*text, nullptr, [&](const LibraryTextEntry& entry) {
        const EntryErrors errors = check(entry);
        ++(errors.empty() ? tally.compiled : tally.failed);
        ++entries;
        printEntry(std::string(name), entry, errors, out);
    });
    if (entries == 0) {
        err << "vortimax-cli check: " << noEntriesText(*kind, path) << '\n';
        tally.empty = true;
    }
}

} // namespace

int runCheck(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << "usage: vortimax-cli check FILE...\n";
        return kExitUsage;
    }
    Tally tally;
    for (std::string_view file : args) {
        checkFile(file, tally, out, err);
    }
    out << tally.compiled << " compiled, " << tally.failed << " failed\n";
    if (tally.unreadable) {
        return kExitUsage;
    }
    return tally.failed > 0 || tally.empty ? kExitFailure : kExitSuccess;
}

} // namespace vortimax::cli
