#include "formula/formula_variables.h"

namespace vortimax {

std::uint32_t VariableList::numberOf(std::string_view name) {
    const std::uint32_t known = find(name);
    if (known != 0) {
        return known;
    }
    names_.emplace_back(name);
    const auto number = static_cast<std::uint32_t>(names_.size());
    numbers_.emplace(names_.back(), number);
    return number;
}

std::uint32_t VariableList::find(std::string_view name) const {
    const auto it = numbers_.find(std::string(name));
    return it == numbers_.end() ? 0 : it->second;
}

std::string_view VariableList::nameOf(std::uint32_t number) const {
    if (number == 0 || number > names_.size()) {
        return {};
    }
    return names_[number - 1];
}

std::uint32_t VariableList::shadow(std::string_view name) {
    if (!shadows(name)) {
        shadowed_.emplace_back(name);
    }
    return numberOf(name);
}

bool VariableList::shadows(std::string_view name) const {
    for (const std::string& known : shadowed_) {
        if (known == name) {
            return true;
        }
    }
    return false;
}

void VariableList::clear() {
    shadowed_.clear();
    names_.clear();
    numbers_.clear();
}

} // namespace vortimax
