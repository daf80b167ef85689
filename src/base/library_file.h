#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vortimax {

// Library files (formulas, IFS, L-systems, parameter files) hold entries of the form
// "NAME  {BODY}". Before an entry is added to such a file, the file is checked: does it
// look like a library file at all, and does it already hold an entry of that name?

// Bits of LibraryFileCheck::flags.
enum LibraryFileFlag : unsigned {
    kLibraryNonStandard = 1, // a byte other than tab, LF, CR and 32..127
    kLibraryMalformed = 2,   // the entry structure is broken somewhere
    kLibraryHasEntry = 4,    // an entry of the wanted name exists (offsets set)
    kLibraryMissing = 8,     // the file does not exist
    kLibraryUnreadable = 16, // the file exists but cannot be read whole (or is too large)
};

// How an entry body treats semicolons. Formula-style files end a body at the first
// closing brace whatever precedes it; in parameter files a semicolon starts a comment
// that runs to the end of its line, and a brace inside it does not count.
enum class LibraryBodySyntax { Plain, SemicolonComments };

// Files beyond this size are not library files; they are never read whole.
constexpr std::uintmax_t kMaxLibraryFileBytes = 64u * 1024u * 1024u;

struct LibraryFileCheck {
    unsigned flags = 0;
    // With kLibraryHasEntry: the byte offset of the entry name's first character and of
    // the entry's closing brace.
    std::size_t entryStart = 0;
    std::size_t entryEnd = 0;

    bool has(unsigned flag) const { return (flags & flag) != 0; }
};

// Checks the bytes of a library file for an entry called `name` (letter case ignored).
// Names are words of characters above 32 and may carry a folder prefix ("[Folder].Name").
// Between entries, blanks, tabs, line breaks and semicolon comments are skipped; after a
// name, blanks, tabs and a parenthesised note may stand before the opening brace. Anything
// else, or text that ends inside an entry, sets kLibraryMalformed and stops the scan. The
// first entry of the wanted name counts.
LibraryFileCheck checkLibraryText(std::string_view text, std::string_view name,
                                  LibraryBodySyntax syntax = LibraryBodySyntax::Plain);

// The check of a file together with the bytes it was made on (empty when the file is
// missing or unreadable), so that a caller can splice the file without reading it twice.
struct LibraryFileContent {
    LibraryFileCheck check;
    std::string bytes;
};

// Reads a whole library file of at most kMaxLibraryFileBytes bytes.
enum class LibraryReadStatus { Read, Missing, Unreadable };
LibraryReadStatus readLibraryFile(const std::filesystem::path& path, std::string& bytes);

LibraryFileContent inspectLibraryFile(const std::filesystem::path& path, std::string_view name,
                                      LibraryBodySyntax syntax = LibraryBodySyntax::Plain);

LibraryFileCheck checkLibraryFile(const std::filesystem::path& path, std::string_view name,
                                  LibraryBodySyntax syntax = LibraryBodySyntax::Plain);

} // namespace vortimax
