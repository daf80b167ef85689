#include "model/param_descriptor.h"

#include "base/text_utils.h"

namespace vortimax {

std::size_t ParamDescriptor::fieldSize() const {
    switch (kind) {
    case ParamKind::Real:
        return 8;
    case ParamKind::Integer:
    case ParamKind::Flag:
        return 4;
    case ParamKind::BigFixed:
        return 44;
    case ParamKind::Text:
        return length;
    }
    return 0;
}

std::optional<std::string_view> ParamDescriptor::choiceName(std::int64_t value) const {
    if (value < 0 || static_cast<std::uint64_t>(value) >= choices.size())
        return std::nullopt;
    return choices[static_cast<std::size_t>(value)];
}

DescriptorTable::DescriptorTable(std::vector<ParamDescriptor> rows) : rows_(std::move(rows)) {
    offsets_.reserve(rows_.size());
    for (const auto& row : rows_) {
        offsets_.push_back(blockSize_);
        blockSize_ += row.fieldSize();
    }
}

std::optional<std::size_t> DescriptorTable::find(std::string_view key) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (equalsIgnoreCase(rows_[i].key, key))
            return i;
    return std::nullopt;
}

} // namespace vortimax
