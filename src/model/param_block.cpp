#include "model/param_block.h"

#include <algorithm>

namespace vortimax {

double loadReal(const std::uint8_t* field) {
    double value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

void storeReal(std::uint8_t* field, double value) {
    std::memcpy(field, &value, sizeof value);
}

std::int32_t loadInt(const std::uint8_t* field) {
    std::int32_t value;
    std::memcpy(&value, field, sizeof value);
    return value;
}

void storeInt(std::uint8_t* field, std::int32_t value) {
    std::memcpy(field, &value, sizeof value);
}

BigFixed loadBigFixed(const std::uint8_t* field) {
    BigFixed::Words words;
    std::memcpy(words.data(), field + 4, sizeof words);
    return BigFixed::fromWords(words);
}

void storeBigFixed(std::uint8_t* field, const BigFixed& value) {
    std::memset(field, 0, 4);
    std::memcpy(field + 4, value.words().data(), sizeof(BigFixed::Words));
}

std::string loadText(const std::uint8_t* field, std::size_t length) {
    const auto* begin = reinterpret_cast<const char*>(field);
    const auto* end = std::find(begin, begin + length, '\0');
    return std::string(begin, end);
}

void storeText(std::uint8_t* field, std::size_t length, std::string_view text) {
    if (length == 0)
        return;
    std::size_t copied = std::min(text.size(), length - 1);
    std::memcpy(field, text.data(), copied);
    std::memset(field + copied, 0, length - copied);
}

} // namespace vortimax
