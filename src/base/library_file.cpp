#include "base/library_file.h"

#include "base/text_utils.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace vortimax {

namespace {

bool isStandardByte(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 127);
}

bool isBlankOrTab(unsigned char c) {
    return c == ' ' || c == '\t';
}

bool isLayoutByte(unsigned char c) {
    return isBlankOrTab(c) || c == '\n' || c == '\r';
}

// Walks the text once through four states: between entries, in a name, after a name and
// in a body. Each state handler looks at the byte at pos_, moves pos_ on and returns
// false on a format error.
class EntryScanner {
public:
    EntryScanner(std::string_view text, std::string_view wanted, LibraryBodySyntax syntax)
        : text_(text), wanted_(wanted), syntax_(syntax) {}

    LibraryFileCheck run() {
        while (pos_ < text_.size()) {
            if (!step()) {
                result_.flags |= kLibraryMalformed;
                return result_;
            }
        }
        if (state_ != State::Between)
            result_.flags |= kLibraryMalformed;
        return result_;
    }

private:
    enum class State { Between, Name, AfterName, Body };

    bool step() {
        switch (state_) {
        case State::Between:
            return between();
        case State::Name:
            return inName();
        case State::AfterName:
            return afterName();
        case State::Body:
            return inBody();
        }
        return false;
    }

    unsigned char current() const { return static_cast<unsigned char>(text_[pos_]); }
    bool found() const { return (result_.flags & kLibraryHasEntry) != 0; }

    void skipToLineEnd() {
        const std::size_t end = text_.find('\n', pos_);
        pos_ = end == std::string_view::npos ? text_.size() : end;
    }

    bool between() {
        const unsigned char c = current();
        if (c == ';') {
            skipToLineEnd();
            return true;
        }
        if (c == '{') {
            entryWanted_ = false; // a body without a name
            state_ = State::Body;
        } else if (c >= 33 && c <= 127) {
            nameStart_ = pos_;
            state_ = State::Name;
        } else if (!isLayoutByte(c)) {
            return false;
        }
        ++pos_;
        return true;
    }

    bool inName() {
        const unsigned char c = current();
        if (isBlankOrTab(c)) {
            const std::string_view name = text_.substr(nameStart_, pos_ - nameStart_);
            entryWanted_ = !found() && !wanted_.empty() && equalsIgnoreCase(name, wanted_);
            state_ = State::AfterName;
        } else if (c <= 32) {
            return false;
        }
        ++pos_;
        return true;
    }

    bool afterName() {
        const unsigned char c = current();
        if (c == '(') {
            const std::size_t close = text_.find(')', pos_ + 1);
            // No closing parenthesis: the text ends outside every entry's frame.
            pos_ = close == std::string_view::npos ? text_.size() : close + 1;
            return true;
        }
        if (c == '{')
            state_ = State::Body;
        else if (!isBlankOrTab(c))
            return false;
        ++pos_;
        return true;
    }

    bool inBody() {
        const unsigned char c = current();
        if (c == ';' && syntax_ == LibraryBodySyntax::SemicolonComments) {
            skipToLineEnd();
            return true;
        }
        if (c == '}') {
            if (entryWanted_) {
                result_.flags |= kLibraryHasEntry;
                result_.entryStart = nameStart_;
                result_.entryEnd = pos_;
                entryWanted_ = false;
            }
            state_ = State::Between;
        }
        ++pos_;
        return true;
    }

    std::string_view text_;
    std::string_view wanted_;
    LibraryBodySyntax syntax_;
    State state_ = State::Between;
    std::size_t pos_ = 0;
    std::size_t nameStart_ = 0;
    bool entryWanted_ = false;
    LibraryFileCheck result_;
};

} // namespace

LibraryReadStatus readLibraryFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found)
        return LibraryReadStatus::Missing;
    if (error || !std::filesystem::is_regular_file(status))
        return LibraryReadStatus::Unreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxLibraryFileBytes)
        return LibraryReadStatus::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return LibraryReadStatus::Unreadable;
    // Read in chunks and stop past the limit, so a file growing meanwhile stays bounded.
    bytes.reserve(static_cast<std::size_t>(size));
    char chunk[65536];
    while (bytes.size() <= kMaxLibraryFileBytes && in.read(chunk, sizeof chunk).gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad() || bytes.size() > kMaxLibraryFileBytes) {
        bytes.clear();
        return LibraryReadStatus::Unreadable;
    }
    return LibraryReadStatus::Read;
}

LibraryFileCheck checkLibraryText(std::string_view text, std::string_view name,
                                  LibraryBodySyntax syntax) {
    LibraryFileCheck check = EntryScanner(text, name, syntax).run();
    if (!std::all_of(text.begin(), text.end(),
                     [](char c) { return isStandardByte(static_cast<unsigned char>(c)); }))
        check.flags |= kLibraryNonStandard;
    return check;
}

LibraryFileContent inspectLibraryFile(const std::filesystem::path& path, std::string_view name,
                                      LibraryBodySyntax syntax) {
    LibraryFileContent content;
    switch (readLibraryFile(path, content.bytes)) {
    case LibraryReadStatus::Missing:
        content.check.flags = kLibraryMissing;
        break;
    case LibraryReadStatus::Unreadable:
        content.check.flags = kLibraryUnreadable;
        break;
    case LibraryReadStatus::Read:
        content.check = checkLibraryText(content.bytes, name, syntax);
        break;
    }
    return content;
}

LibraryFileCheck checkLibraryFile(const std::filesystem::path& path, std::string_view name,
                                  LibraryBodySyntax syntax) {
    return inspectLibraryFile(path, name, syntax).check;
}

} // namespace vortimax
