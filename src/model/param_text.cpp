#include "model/param_text.h"

#include "base/text_utils.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace vortimax {

namespace {

std::int32_t saturateToInt32(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

std::optional<std::int64_t> choiceIndex(const ParamDescriptor& row, std::string_view text) {
    for (std::size_t i = 0; i < row.choices.size(); ++i)
        if (equalsIgnoreCase(row.choices[i], text))
            return static_cast<std::int64_t>(i);
    return std::nullopt;
}

// The stored value of an integer row read from text, range rule applied.
std::optional<std::int32_t> integerFromText(const ParamDescriptor& row, std::string_view text) {
    std::optional<std::int64_t> value = choiceIndex(row, text);
    if (!value)
        value = scanLong(text);
    if (!value)
        return std::nullopt;
    if (row.kind == ParamKind::Integer) {
        auto v = static_cast<double>(*value);
        if (v < row.minimum || v > row.maximum)
            return saturateToInt32(static_cast<std::int64_t>(row.minimum));
    }
    return saturateToInt32(*value);
}

} // namespace

bool setByKey(BlockRef block, std::string_view key, std::string_view text) {
    auto index = block.table().find(key);
    if (!index)
        return false;
    const ParamDescriptor& row = block.table().row(*index);
    std::uint8_t* field = block.field(*index);
    switch (row.kind) {
    case ParamKind::Real:
        if (auto value = scanDouble(text))
            storeReal(field, *value);
        break;
    case ParamKind::BigFixed:
        if (auto value = BigFixed::fromText(text, BigFixed::kFileDigitLimit))
            storeBigFixed(field, *value);
        break;
    case ParamKind::Text:
        storeText(field, row.length, text);
        break;
    case ParamKind::Integer:
    case ParamKind::Flag:
        if (auto value = integerFromText(row, text))
            storeInt(field, *value);
        break;
    }
    return true;
}

bool readsAsValue(const ParamDescriptor& row, std::string_view text) {
    switch (row.kind) {
    case ParamKind::Real:
        return scanDouble(text).has_value();
    case ParamKind::BigFixed:
        return BigFixed::fromText(text, BigFixed::kFileDigitLimit).has_value();
    case ParamKind::Text:
        return true;
    case ParamKind::Integer:
    case ParamKind::Flag:
        return integerFromText(row, text).has_value();
    }
    return false;
}

std::string displayValue(ConstBlockRef block, std::size_t index) {
    const ParamDescriptor& row = block.table().row(index);
    const std::uint8_t* field = block.field(index);
    switch (row.kind) {
    case ParamKind::Real:
        return formatShortest(loadReal(field));
    case ParamKind::BigFixed:
        return loadBigFixed(field).toText();
    case ParamKind::Text:
        return loadText(field, row.length);
    case ParamKind::Integer:
    case ParamKind::Flag: {
        std::int32_t value = loadInt(field);
        if (auto name = row.choiceName(value))
            return std::string(*name);
        return std::to_string(value);
    }
    }
    return {};
}

bool valueDiffers(ConstBlockRef block, ConstBlockRef defaults, std::size_t index) {
    const ParamDescriptor& row = block.table().row(index);
    const std::uint8_t* a = block.field(index);
    const std::uint8_t* b = defaults.field(index);
    switch (row.kind) {
    case ParamKind::Real: {
        double x = loadReal(a), y = loadReal(b);
        // NaN compares false either way: treat a changed NaN-ness as a difference.
        if (std::isnan(x) || std::isnan(y))
            return std::isnan(x) != std::isnan(y);
        return !(std::fabs(x - y) < 1e-13);
    }
    case ParamKind::BigFixed:
        return std::memcmp(a + 4, b + 4, 40) != 0;
    case ParamKind::Text:
        return loadText(a, row.length) != loadText(b, row.length);
    case ParamKind::Integer:
    case ParamKind::Flag:
        return loadInt(a) != loadInt(b);
    }
    return false;
}

} // namespace vortimax
