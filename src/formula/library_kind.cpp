#include "formula/library_kind.h"

#include "base/text_utils.h"
#include "model/type_registry.h"

#include <array>

namespace vortimax {

namespace {

// Formula names are held in 80 characters with the terminator. IFS and L-system fractals
// keep the name in a 64-character field, so longer names could never be referred to.
constexpr std::array<LibraryKindInfo, kLibraryKindCount> kKinds{{
    {LibraryKind::Formula, ".frm", "*.frm", kTypeFormula, "FormulaName", 79, "Loading formulas",
     "Loading formula ", ""},
    {LibraryKind::Ifs, ".ifs", "*.ifs", kTypeIfs, "Formula", 63, "Loading IFS formulas",
     "Loading IFS formula ",
     "IFS files of the old form, rows of numbers without a name and braces, are not read"},
    {LibraryKind::LSystem, ".l", "*.l", kTypeLSystem, "Formula", 63, "Loading LSystem formulas",
     "Loading LSystem formula ", ""},
}};

} // namespace

const LibraryKindInfo& libraryKindInfo(LibraryKind kind) {
    return kKinds.at(static_cast<std::size_t>(kind));
}

std::string noEntriesText(LibraryKind kind, const std::filesystem::path& file) {
    std::string text =
        "No entry found in " + file.string() + ": an entry is a name followed by { ... }";
    const std::string_view hint = libraryKindInfo(kind).noEntryHint;
    if (!hint.empty())
        text += " (" + std::string(hint) + ")";
    return text;
}

std::optional<LibraryKind> libraryKindOfFile(const std::filesystem::path& file) {
    const std::string extension = file.extension().string();
    for (const LibraryKindInfo& info : kKinds) {
        if (equalsIgnoreCase(extension, info.extension)) {
            return info.kind;
        }
    }
    return std::nullopt;
}

} // namespace vortimax
