#include "formula/library_reader.h"

#include "base/frontend.h"
#include "base/library_file.h"
#include "base/text_utils.h"

namespace vortimax {

namespace {

bool isLeadingBlank(char c) {
    return static_cast<signed char>(c) <= 32;
}

bool endsName(char c) {
    return static_cast<unsigned char>(c) <= 32 || c == '(' || c == '{';
}

std::string withoutCarriageReturns(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text.push_back(bytes[i]);
    }
    return text;
}

// Where the line of `open` starts, not before `from` and after any closing brace.
std::size_t nameLineStart(std::string_view text, std::size_t from, std::size_t open) {
    const std::size_t boundary = text.substr(0, open).find_last_of("\n}");
    if (boundary == std::string_view::npos || boundary + 1 < from) {
        return from;
    }
    return boundary + 1;
}

} // namespace

std::optional<std::string> readLibraryText(const std::filesystem::path& file) {
    std::string bytes;
    if (readLibraryFile(file, bytes) != LibraryReadStatus::Read) {
        return std::nullopt;
    }
    return withoutCarriageReturns(bytes);
}

std::string loadingFileText(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);
    }
    return "Loading file " + file.stem().string() + "." + extension;
}

std::string entryNameBefore(std::string_view text, std::size_t from, std::size_t open) {
    std::size_t pos = nameLineStart(text, from, open);
    while (pos < open && isLeadingBlank(text[pos])) {
        ++pos;
    }
    const std::size_t start = pos;
    while (pos < open && !endsName(text[pos]) && pos - start < kMaxLibraryNameLength) {
        ++pos;
    }
    return std::string(text.substr(start, pos - start));
}

bool forEachLibraryEntry(std::string_view text, Progress* progress,
                         const std::function<void(const LibraryTextEntry&)>& visit) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('{', pos);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find('}', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        if (progress != nullptr) {
            progress->setFraction(static_cast<double>(close) / static_cast<double>(text.size()));
        }
        LibraryTextEntry entry{entryNameBefore(text, pos, open),
                               text.substr(open + 1, close - open - 1)};
        if (!entry.name.empty() && !equalsIgnoreCase(entry.name, kCommentEntryName)) {
            visit(entry);
        }
        if (progress != nullptr && progress->abortRequested()) {
            return true;
        }
        pos = close + 1;
    }
    return false;
}

} // namespace vortimax
