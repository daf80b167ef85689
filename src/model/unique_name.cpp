#include "model/unique_name.h"

#include <charconv>

namespace vortimax {

namespace {

bool isDigitOrDot(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

} // namespace

std::string cutName(std::string_view name, std::size_t maxLength) {
    return std::string(name.substr(0, maxLength));
}

std::string_view nameStem(std::string_view name) {
    std::size_t end = name.size();
    while (end > 0 && isDigitOrDot(name[end - 1]))
        --end;
    return name.substr(0, end);
}

std::string suffixedName(std::string_view stem, unsigned long number, std::size_t maxLength) {
    char digits[24];
    digits[0] = '.';
    auto [end, ec] = std::to_chars(digits + 1, digits + sizeof digits, number);
    (void)ec; // 20 digits always fit
    std::string_view suffix(digits, static_cast<std::size_t>(end - digits));
    std::size_t room = maxLength > suffix.size() ? maxLength - suffix.size() : 0;
    std::string name(stem.substr(0, room));
    name += suffix;
    return name;
}

std::string makeUniqueName(std::string_view candidate, const NameTakenFn& taken,
                           std::size_t maxLength) {
    std::string name = cutName(candidate, maxLength);
    if (!taken(name))
        return name;
    return firstFreeSuffixed(nameStem(name), taken, maxLength);
}

std::string firstFreeSuffixed(std::string_view stem, const NameTakenFn& taken,
                              std::size_t maxLength) {
    // The list is finite, so some number is free.
    for (unsigned long number = 1;; ++number) {
        std::string next = suffixedName(stem, number, maxLength);
        if (!taken(next))
            return next;
    }
}

} // namespace vortimax
