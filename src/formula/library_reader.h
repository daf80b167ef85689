#pragma once

// Splitting the text of a formula, IFS or L-system file into its entries:
// "NAME (note)  {BODY}".

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vortimax {

class Progress;

// Longest entry name read; longer names are cut.
inline constexpr std::size_t kMaxLibraryNameLength = 79;
// Entries of this name (any letter case) are comments, never loaded.
inline constexpr std::string_view kCommentEntryName = "COMMENT";

struct LibraryTextEntry {
    std::string name;
    std::string_view body; // between the braces
};

// The whole file as text with CR LF line ends made LF; nothing when it cannot be read or
// is larger than kMaxLibraryFileBytes.
std::optional<std::string> readLibraryText(const std::filesystem::path& file);

// "Loading file NAME.EXT": the progress text while a file is read.
std::string loadingFileText(const std::filesystem::path& file);

// The name of the entry whose opening brace stands at `open`: the first word of the brace's
// line (starting no earlier than `from`), after skipping characters of code 32 or below
// (bytes of 128 and above count as such), up to a blank, a control character, `(` or `{`.
// Empty when the brace has no name before it.
std::string entryNameBefore(std::string_view text, std::size_t from, std::size_t open);

// Calls `visit` for every named entry of `text` but the comments, in file order: each
// entry is the body from an opening brace to the next closing brace. Text between entries
// is skipped; a closing brace without an opening one before it ends nothing. With a
// progress, its fraction follows the position in the text, and an abort request stops the
// walk after the current entry. Returns whether the walk was aborted.
bool forEachLibraryEntry(std::string_view text, Progress* progress,
                         const std::function<void(const LibraryTextEntry&)>& visit);

} // namespace vortimax
