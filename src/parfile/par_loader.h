#pragma once

#include "model/fractal_record.h"
#include "parfile/brace_scanner.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Folder;
class Progress;
class Workspace;

// Physical lines are read in pieces of at most this many bytes.
constexpr std::size_t kParameterLineLength = 511;
// Bytes read from one file at most. A larger file is refused as a whole: a folder holding
// only its first part would, when saved, replace the file and lose the rest.
constexpr std::size_t kMaxParameterFileBytes = 64u << 20;
// Entries read from one file at most. Every entry becomes a record of a few kilobytes, so
// a small file of empty entries could otherwise ask for more memory than the machine has.
// A file with more is refused as a whole, for the same reason as a larger one.
constexpr std::size_t kMaxParameterEntries = 250000;

struct ParameterLoadOptions {
    // Values every new record takes over (display depth, screen depth, default comment).
    RecordCreationContext context;
    // Resolves the layer references of the compound fractals of a freshly loaded folder.
    // Optional: the program links compounds when they are opened and recalculated.
    std::function<void(Folder&)> resolveCompoundLayers;
    // Refuse a file whose last entry has no closing brace instead of loading the entries
    // before it: for a command that would otherwise list or convert part of the file.
    bool refuseUnclosedEntry = false;
};

// The text of a parameter file with its lines joined: leading characters up to code 32
// dropped, empty lines skipped, and a line without a semicolon whose last character above
// 31 is a backslash continued on the next line (the backslash removed). Other lines end
// with "\n". Lines end at LF or CR LF; a line longer than kParameterLineLength bytes is
// taken as several lines. At most kMaxParameterFileBytes bytes are read; `cut` (when
// given) tells whether the input went on beyond them.
std::string readParameterText(std::istream& in, bool* cut = nullptr);

// A folder's name from its file name: every letter that follows a non-letter upper case,
// every other letter lower case ("my_set.par" gives "My_Set.Par").
std::string parameterFolderName(std::string_view fileName);

// One entry of a parameter text: its name and the text from '{' to '}' inclusive.
struct FoundEntry {
    std::string name;
    std::size_t open = 0;  // position of the '{'
    std::size_t close = 0; // position of the '}'
};

// Finds the entries of a parameter text one after the other. Braces inside semicolon
// comments do not count. The name is the last word before the '{' (at most 31
// characters), or "No name"; a '{' without a closing '}' ends the search.
class EntryFinder {
public:
    explicit EntryFinder(std::string_view text);
    std::optional<FoundEntry> next();
    // Once next() has found nothing more: the entry whose '{' has no '}' (its close is
    // npos), or nothing when the text ended between entries.
    const std::optional<FoundEntry>& unclosed() const { return unclosed_; }

private:
    FoundEntry entryAt(std::size_t open, std::size_t close) const;

    std::string_view text_;
    BraceScanner scanner_;
    std::size_t previousEnd_ = 0; // behind the last entry: names never reach further back
    std::optional<FoundEntry> unclosed_;
};

// Reads every entry of a parameter file into a new project folder named after the file,
// whose records hold their entry text as pending entry until they are first opened. The
// folder is created with the first entry: a file without entries (or one that cannot be
// read) gives none. The progress fraction follows the entries; an abort request stops the
// reading after the current entry (the flag stays set for the caller to acknowledge).
// Only regular files are opened: a pipe or a device could block the reader or feed it
// without end. Such a file, one larger than kMaxParameterFileBytes and one with more than
// kMaxParameterEntries entries give no folder
// and, in `refusal` when given, one sentence saying why.
Folder* loadParameterFile(const std::filesystem::path& file, Workspace& workspace,
                          Progress* progress = nullptr, const ParameterLoadOptions& options = {},
                          std::string* refusal = nullptr);

// Start-up: every "*.par" file (letter case ignored) of the directories of a list
// separated by semicolons, in name order within each directory, each into a folder of
// its own. Directories that do not exist are passed over. A file that is refused is
// told to `refused` (when given) with the sentence saying why. Returns the new folders.
std::vector<Folder*>
loadParameterDirectories(std::string_view directoryList, Workspace& workspace,
                         Progress* progress = nullptr, const ParameterLoadOptions& options = {},
                         const std::function<void(const std::string&)>& refused = {});

} // namespace vortimax
