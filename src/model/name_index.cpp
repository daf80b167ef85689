#include "model/name_index.h"

#include "base/text_utils.h"
#include "model/unique_name.h"

#include <charconv>
#include <optional>

namespace vortimax {

namespace {

std::string lowered(std::string_view name) {
    std::string key(name);
    for (char& c : key)
        c = asciiLower(c);
    return key;
}

// A name of the form "prefix.N" as suffixedName makes it (N >= 1, no leading zero).
struct Numbered {
    std::string_view prefix;
    unsigned long number = 0;
};

std::optional<Numbered> splitNumbered(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    const std::string_view digits = name.substr(dot + 1);
    if (digits.empty() || digits.front() == '0')
        return std::nullopt;
    Numbered numbered{name.substr(0, dot), 0};
    const char* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, numbered.number);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return numbered;
}

} // namespace

void NameIndex::add(std::string_view name) {
    ++counts_[lowered(name)];
}

void NameIndex::remove(std::string_view name) {
    auto found = counts_.find(lowered(name));
    if (found == counts_.end())
        return;
    if (--found->second > 0)
        return;
    counts_.erase(found);
    noteFreed(name);
}

void NameIndex::clear() {
    counts_.clear();
    numbering_.clear();
}

std::size_t NameIndex::count(std::string_view name) const {
    auto found = counts_.find(lowered(name));
    return found == counts_.end() ? 0 : found->second;
}

std::string NameIndex::uniqueName(std::string_view candidate) const {
    std::string name = cutName(candidate, maxLength_);
    if (!taken(name))
        return name;
    return firstFreeSuffixed(nameStem(name));
}

std::string NameIndex::firstFreeSuffixed(std::string_view stem) const {
    Numbering& numbering = numbering_[lowered(stem)];
    // The numbers are only looked at, never claimed: the caller may not use the name.
    while (!numbering.freed.empty()) {
        auto lowest = numbering.freed.begin();
        std::string name = suffixedName(stem, *lowest, maxLength_);
        if (!taken(name))
            return name;
        numbering.freed.erase(lowest);
    }
    for (;; ++numbering.untried) {
        std::string name = suffixedName(stem, numbering.untried, maxLength_);
        if (!taken(name))
            return name;
    }
}

// A name that no item carries any more may be the number N of some stems: of the stem
// equal to its prefix, or, when the stem was cut to make room for the number, of every
// stem that begins with the prefix. Those stems may hand out N again.
void NameIndex::noteFreed(std::string_view name) {
    const std::optional<Numbered> numbered = splitNumbered(name);
    if (!numbered)
        return;
    const std::size_t suffixLength = name.size() - numbered->prefix.size();
    const std::size_t room = maxLength_ > suffixLength ? maxLength_ - suffixLength : 0;
    const std::string prefix = lowered(numbered->prefix);
    if (prefix.size() > room)
        return;
    auto note = [&](Numbering& numbering) {
        if (numbered->number < numbering.untried)
            numbering.freed.insert(numbered->number);
    };
    if (prefix.size() < room) {
        if (auto found = numbering_.find(prefix); found != numbering_.end())
            note(found->second);
        return;
    }
    for (auto it = numbering_.lower_bound(prefix);
         it != numbering_.end() && it->first.starts_with(prefix); ++it)
        note(it->second);
}

} // namespace vortimax
