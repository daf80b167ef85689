#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace vortimax {

// The names of a list's items, letter case ignored, so that "is this name taken?" and
// "which is the first free stem.N?" are answered without walking the list. The owner
// reports every name that enters (add) or leaves (remove) the list.
//
// For numbered names it remembers per stem the first number not yet tried and the
// numbers below it that were freed since: a list that receives thousands of entries of
// one name then finds each new number in constant time instead of trying every number
// from 1 again. The results are always those of trying 1, 2, 3, ... in turn.
class NameIndex {
public:
    explicit NameIndex(std::size_t maxLength) : maxLength_(maxLength) {}

    void add(std::string_view name);
    // One item of that name has left the list.
    void remove(std::string_view name);
    void clear();

    // How many items carry the name (letter case ignored).
    std::size_t count(std::string_view name) const;
    bool taken(std::string_view name) const { return count(name) > 0; }

    // The candidate cut to maxLength when it is free, otherwise firstFreeSuffixed of its
    // stem: what makeUniqueName gives for a new item.
    std::string uniqueName(std::string_view candidate) const;
    // suffixedName(stem, N) for the smallest N >= 1 whose name is free.
    std::string firstFreeSuffixed(std::string_view stem) const;

private:
    // What is known of the numbers of one stem: every number below `untried` that is not
    // in `freed` gives a taken name. Numbers in `freed` may have been taken again since.
    struct Numbering {
        unsigned long untried = 1;
        std::set<unsigned long> freed;
    };

    void noteFreed(std::string_view name);

    std::size_t maxLength_;
    std::unordered_map<std::string, std::size_t> counts_;
    // By stem in lower case; ordered, so that the stems sharing a cut prefix are found
    // together. A cache: kept current by queries, hence mutable.
    mutable std::map<std::string, Numbering, std::less<>> numbering_;
};

} // namespace vortimax
