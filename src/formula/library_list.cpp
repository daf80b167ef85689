#include "formula/library_list.h"

#include "base/text_utils.h"

namespace vortimax {

std::string UniqueNameHints::uniqueName(std::string_view candidate, const NameTakenFn& taken,
                                        std::size_t maxLength) {
    std::string name = cutName(candidate, maxLength);
    if (!taken(name)) {
        return name;
    }
    const std::string_view stem = nameStem(name);
    std::string key;
    for (const char c : stem) {
        key.push_back(asciiLower(c));
    }
    unsigned long& number = firstUntried_.try_emplace(key, 1).first->second;
    for (;; ++number) {
        std::string next = suffixedName(stem, number, maxLength);
        if (!taken(next)) {
            return next;
        }
    }
}

} // namespace vortimax
