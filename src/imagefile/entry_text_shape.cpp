#include "imagefile/entry_text_shape.h"

namespace vortimax {

namespace {

bool isLayout(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u > 32 && c != '{' && c != '}' && c != ';';
}

// Moves `pos` past bytes for which `keep` holds.
template <typename Predicate>
void skipWhile(std::string_view text, std::size_t& pos, Predicate keep) {
    while (pos < text.size() && keep(text[pos]))
        ++pos;
}

// Moves `pos` past the body's closing brace; false when the text ends first.
bool skipBody(std::string_view text, std::size_t& pos) {
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '}')
            return true;
        if (c == ';') {
            const std::size_t end = text.find('\n', pos);
            pos = end == std::string_view::npos ? text.size() : end;
        }
    }
    return false;
}

} // namespace

bool isSingleEntryText(std::string_view text) {
    std::size_t pos = 0;
    skipWhile(text, pos, isLayout);
    const std::size_t nameStart = pos;
    skipWhile(text, pos, isNameByte);
    if (pos == nameStart)
        return false;
    skipWhile(text, pos, [](char c) { return c == ' ' || c == '\t'; });
    if (pos < text.size() && text[pos] == '(') {
        const std::size_t close = text.find(')', pos);
        if (close == std::string_view::npos)
            return false;
        pos = close + 1;
        skipWhile(text, pos, [](char c) { return c == ' ' || c == '\t'; });
    }
    if (pos >= text.size() || text[pos] != '{')
        return false;
    ++pos;
    if (!skipBody(text, pos))
        return false;
    skipWhile(text, pos, isLayout);
    return pos == text.size();
}

} // namespace vortimax
