#pragma once

#include <cstddef>
#include <string_view>

namespace vortimax {

// Walks through parameter-file text looking for braces. A semicolon starts a comment that
// runs to the end of its line; braces inside comments do not count.
class BraceScanner {
public:
    explicit BraceScanner(std::string_view text) : text_(text) {}

    // Position of the next `wanted` outside comments; the scan continues behind it.
    // npos when there is none (the scan is then at the end).
    std::size_t next(char wanted) {
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == '\n')
                inComment_ = false;
            else if (c == ';')
                inComment_ = true;
            else if (c == wanted && !inComment_)
                return pos_ - 1;
        }
        return std::string_view::npos;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool inComment_ = false;
};

} // namespace vortimax
