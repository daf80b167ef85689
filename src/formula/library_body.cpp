#include "formula/library_body.h"

namespace vortimax {

namespace {

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSeparator(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code <= 32 && c != '\n';
}

} // namespace

std::vector<BodyLine> bodyLines(std::string_view body) {
    std::vector<BodyLine> lines;
    BodyLine line;
    std::string field;
    bool inComment = false;
    const auto endField = [&] {
        if (!field.empty()) {
            line.push_back(std::move(field));
            field.clear();
        }
    };
    for (const char c : body) {
        if (c == '\n') {
            endField();
            if (!line.empty()) {
                lines.push_back(std::move(line));
                line.clear();
            }
            inComment = false;
        } else if (c == ';' || inComment) {
            inComment = true;
        } else if (isSeparator(c)) {
            endField();
        } else {
            field.push_back(asciiUpper(c));
        }
    }
    endField();
    if (!line.empty()) {
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace vortimax
