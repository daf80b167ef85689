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

namespace vortimax {

namespace {

constexpr std::string_view kNoName = "No name";
constexpr std::string_view kLoadingText = "Loading parameter file";

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
bool readPiece(std::istream& in, std::string& piece, std::size_t& budget) {
    piece.clear();
    bool any = false;
    while (budget > 0) {
        int c = in.get();
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

std::string readParameterText(std::istream& in) {
    std::string text;
    std::string piece;
    std::size_t budget = kMaxParameterFileBytes;
    while (readPiece(in, piece, budget))
        appendLine(text, piece);
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
    if (close == std::string_view::npos)
        return std::nullopt;
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
    previousEnd_ = close + 1;
    return found;
}

Folder* loadParameterFile(const std::filesystem::path& file, Workspace& workspace,
                          Progress* progress, const ParameterLoadOptions& options) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return nullptr;
    const std::string text = readParameterText(in);
    Folder* folder = nullptr;
    EntryFinder finder(text);
    while (std::optional<FoundEntry> found = finder.next()) {
        if (folder == nullptr)
            folder = &createFolderFor(file, workspace);
        workspace.addFractal(*folder, pendingRecord(*found, text, options), false);
        if (progress != nullptr) {
            progress->setFraction(static_cast<double>(found->close) /
                                  static_cast<double>(text.size()));
            if (progress->abortRequested())
                break;
        }
    }
    if (folder != nullptr && options.resolveCompoundLayers)
        options.resolveCompoundLayers(*folder);
    return folder;
}

std::vector<Folder*> loadParameterDirectories(std::string_view directoryList, Workspace& workspace,
                                              Progress* progress,
                                              const ParameterLoadOptions& options) {
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
            if (Folder* folder = loadParameterFile(file, workspace, progress, options))
                folders.push_back(folder);
        }
    }
    return folders;
}

} // namespace vortimax
