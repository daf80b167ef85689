#include "model/image_region.h"

#include "model/type_registry.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace vortimax {

namespace {

// The types whose every pixel is calculated from its own point alone.
constexpr std::uint32_t kRegionTypes[] = {kTypeJulia24,    kTypeMandel24,   kTypeJulia,
                                          kTypeMandel,     kTypeFormula,    kTypeLyapunov,
                                          kTypeTieraJulia, kTypeTieraMandel};

// Reads a whole number up to the next character of `stop` (or to the end when `stop` is 0)
// and moves `text` past it and the separator.
bool readNumber(std::string_view& text, char stop, int& value) {
    const std::size_t end = stop == 0 ? text.size() : text.find(stop);
    if (end == std::string_view::npos || end == 0 || end > 9)
        return false;
    const char* first = text.data();
    const auto [last, error] = std::from_chars(first, first + end, value);
    if (error != std::errc() || last != first + end)
        return false;
    text.remove_prefix(stop == 0 ? end : end + 1);
    return true;
}

} // namespace

bool isInsideWholeImage(const ImageRegion& r) {
    return r.width > 0 && r.height > 0 && r.x >= 0 && r.y >= 0 && r.fullWidth > 0 &&
           r.fullHeight > 0 && r.x <= r.fullWidth - r.width && r.y <= r.fullHeight - r.height;
}

std::string regionText(const ImageRegion& r) {
    return std::to_string(r.x) + ',' + std::to_string(r.y) + ',' + std::to_string(r.width) + ',' +
           std::to_string(r.height) + " of " + std::to_string(r.fullWidth) + 'x' +
           std::to_string(r.fullHeight);
}

std::optional<ImageRegion> parseRegionText(std::string_view text) {
    constexpr std::string_view kOf = " of ";
    const std::size_t of = text.find(kOf);
    if (of == std::string_view::npos)
        return std::nullopt;
    std::string_view rectangle = text.substr(0, of);
    std::string_view whole = text.substr(of + kOf.size());
    ImageRegion r;
    if (!readNumber(rectangle, ',', r.x) || !readNumber(rectangle, ',', r.y) ||
        !readNumber(rectangle, ',', r.width) || !readNumber(rectangle, 0, r.height) ||
        !readNumber(whole, 'x', r.fullWidth) || !readNumber(whole, 0, r.fullHeight) ||
        !isInsideWholeImage(r))
        return std::nullopt;
    return r;
}

bool typeRendersRegions(std::uint32_t type) {
    return std::find(std::begin(kRegionTypes), std::end(kRegionTypes), type) !=
           std::end(kRegionTypes);
}

} // namespace vortimax
