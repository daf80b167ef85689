#include "parfile/par_loader.h"

#include "base/frontend.h"
#include "base/text_utils.h"
#include "model/workspace.h"
#include "parfile/entry_parser.h"
#include "parfile/line_continuation.h"
#include "parfile/value_list.h"

#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

namespace vortimax {

namespace {

constexpr std::string_view kNoName = "No name";
constexpr std::string_view kLoadingText = "Loading parameter file";
constexpr std::string_view kNotRegularText =
    " is not a regular file (a pipe, device or socket is not read)";

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char asciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Reads the next piece of a line: up to the line end or kParameterLineLength bytes,
// whichever comes first; a CR before the line end is dropped. False at the end of the
// input or when the byte budget is used up.
bool readPiece(std::streambuf& in, std::string& piece, std::size_t& budget) {
    piece.clear();
    bool any = false;
    while (budget > 0) {
        int c = in.sbumpc();
        if (c == std::char_traits<char>::eof())
            break;
        --budget;
        any = true;
        if (c == '\n')
            break;
        piece.push_back(static_cast<char>(c));
        if (piece.size() == kParameterLineLength)
            break;
    }
    if (!piece.empty() && piece.back() == '\r')
        piece.pop_back();
    return any;
}

void appendLine(std::string& text, std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && isBlankOrControl(line[start]))
        ++start;
    line.remove_prefix(start);
    if (line.empty())
        return;
    std::size_t backslash = continuationAt(line);
    if (backslash != std::string_view::npos) {
        text += line.substr(0, backslash);
        return;
    }
    text += line;
    text += '\n';
}

bool hasParExtension(const std::filesystem::path& path) {
    return equalsIgnoreCase(path.extension().string(), ".par");
}

// The ".par" files of a directory in name order; none when it cannot be listed.
std::vector<std::filesystem::path> parameterFilesIn(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    if (error)
        return files;
    for (const auto& entry : it) {
        std::error_code ignored;
        if (entry.is_regular_file(ignored) && hasParExtension(entry.path()))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The folder of a file. Its file is the one read, so that saving the folder replaces
// that file even where its name differs in letter case from the folder's name - unless
// another folder already saves to it.
Folder& createFolderFor(const std::filesystem::path& file, Workspace& workspace) {
    Folder& folder = workspace.createFolder(
        file.parent_path(), parameterFolderName(file.filename().string()), FolderKind::Project);
    for (const Folder& other : workspace.folders().all())
        if (&other != &folder && other.filePath() == file)
            return folder;
    folder.setFilePath(file);
    return folder;
}

std::string quotedPath(const std::filesystem::path& file) {
    return "\"" + file.string() + "\"";
}

// Why a file that goes on beyond kMaxParameterFileBytes is refused, naming the entry the
// limit cuts through, or the last entry read whole. `text` is what was read of it.
std::string tooLargeText(std::string_view text) {
    EntryFinder finder(text);
    std::string last;
    while (std::optional<FoundEntry> found = finder.next())
        last = found->name;
    std::string reason = " is larger than the " + std::to_string(kMaxParameterFileBytes >> 20) +
                         " MiB a parameter file may hold";
    if (const std::optional<FoundEntry>& unclosed = finder.unclosed())
        reason += ": entry \"" + unclosed->name + "\" does not end within them";
    else if (!last.empty())
        reason += ": nothing after entry \"" + last + "\" was read";
    return reason + "; the file was not loaded";
}

// Whether the text holds more than `limit` entries, found without making their records.
bool holdsMoreEntries(std::string_view text, std::size_t limit) {
    EntryFinder finder(text);
    for (std::size_t count = 0; finder.next(); ++count)
        if (count == limit)
            return true;
    return false;
}

std::unique_ptr<FractalRecord> pendingRecord(const FoundEntry& found, std::string_view text,
                                             const ParameterLoadOptions& options) {
    std::string entry(text.substr(found.open, found.close - found.open + 1));
    EntryType type = peekEntryType(entry).value_or(EntryType{kTypeMandel, 0, false});
    std::unique_ptr<FractalRecord> record = createRecord(type.type, type.subtype, options.context);
    record->name = found.name;
    record->pendingEntry = std::move(entry);
    return record;
}

} // namespace

std::string readParameterText(std::istream& in, bool* cut) {
    std::string text;
    std::string piece;
    std::size_t budget = kMaxParameterFileBytes;
    // Straight from the buffer: a stream's get() per byte made 64 MiB take a second.
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr)
        return text;
    while (readPiece(*buffer, piece, budget))
        appendLine(text, piece);
    if (cut != nullptr)
        *cut = budget == 0 && buffer->sgetc() != std::char_traits<char>::eof();
    return text;
}

std::string parameterFolderName(std::string_view fileName) {
    std::string name(fileName);
    bool afterLetter = false;
    for (char& c : name) {
        bool letter = isAsciiLetter(c);
        if (letter)
            c = afterLetter ? asciiLower(c) : asciiUpper(c);
        afterLetter = letter;
    }
    return name;
}

EntryFinder::EntryFinder(std::string_view text) : text_(text), scanner_(text) {}

std::optional<FoundEntry> EntryFinder::next() {
    std::size_t open = scanner_.next('{');
    if (open == std::string_view::npos)
        return std::nullopt;
    std::size_t close = scanner_.next('}');
    if (close == std::string_view::npos) {
        unclosed_ = entryAt(open, close);
        return std::nullopt;
    }
    FoundEntry found = entryAt(open, close);
    previousEnd_ = close + 1;
    return found;
}

FoundEntry EntryFinder::entryAt(std::size_t open, std::size_t close) const {
    std::size_t end = open;
    while (end > previousEnd_ && isBlankOrControl(text_[end - 1]))
        --end;
    std::size_t start = end;
    while (start > previousEnd_ && !isBlankOrControl(text_[start - 1]))
        --start;
    FoundEntry found;
    found.name = start < end ? std::string(text_.substr(start, end - start)) : std::string(kNoName);
    found.name.resize(std::min(found.name.size(), kMaxFileNameLength));
    found.open = open;
    found.close = close;
    return found;
}

Folder* loadParameterFile(const std::filesystem::path& file, Workspace& workspace,
                          Progress* progress, const ParameterLoadOptions& options,
                          std::string* refusal) {
    auto refuse = [&](std::string reason) -> Folder* {
        if (refusal != nullptr)
            *refusal = quotedPath(file) + std::move(reason);
        return nullptr;
    };
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return refuse(std::string(kNotRegularText));
    std::ifstream in;
    if (std::filesystem::is_regular_file(status))
        in.open(file, std::ios::binary);
    if (!in.is_open())
        return nullptr;
    bool cut = false;
    const std::string text = readParameterText(in, &cut);
    if (cut)
        return refuse(tooLargeText(text));
    if (holdsMoreEntries(text, kMaxParameterEntries))
        return refuse(" holds more than " + std::to_string(kMaxParameterEntries) +
                      " entries; the file was not loaded");
    // The records are made first and put in the folder at once: one sort instead of a
    // search and a shift per entry.
    std::vector<std::unique_ptr<FractalRecord>> records;
    EntryFinder finder(text);
    while (std::optional<FoundEntry> found = finder.next()) {
        records.push_back(pendingRecord(*found, text, options));
        if (progress != nullptr) {
            progress->setFraction(static_cast<double>(found->close) /
                                  static_cast<double>(text.size()));
            if (progress->abortRequested())
                break;
        }
    }
    if (options.refuseUnclosedEntry && finder.unclosed())
        return refuse(": entry \"" + finder.unclosed()->name +
                      "\" has no closing \"}\"; the file was not loaded");
    if (records.empty())
        return nullptr;
    Folder& folder = createFolderFor(file, workspace);
    workspace.addFractals(folder, std::move(records));
    if (options.resolveCompoundLayers)
        options.resolveCompoundLayers(folder);
    return &folder;
}

std::vector<Folder*>
loadParameterDirectories(std::string_view directoryList, Workspace& workspace, Progress* progress,
                         const ParameterLoadOptions& options,
                         const std::function<void(const std::string&)>& refused) {
    std::vector<Folder*> folders;
    std::vector<std::string_view> directories =
        splitValues(directoryList, directoryList.size() + 1, ';');
    for (std::string_view directory : directories) {
        if (directory.empty())
            continue;
        for (const auto& file : parameterFilesIn(std::filesystem::path(directory))) {
            if (progress != nullptr) {
                if (progress->abortRequested())
                    return folders;
                progress->setText(kLoadingText);
            }
            std::string refusal;
            if (Folder* folder = loadParameterFile(file, workspace, progress, options, &refusal))
                folders.push_back(folder);
            else if (!refusal.empty() && refused)
                refused(refusal);
        }
    }
    return folders;
}

} // namespace vortimax
