#include "animation/anim_data.h"

namespace vortimax {

std::string fitAnimText(std::string_view text, std::size_t length) {
    if (length == 0)
        return {};
    return std::string(text.substr(0, length - 1));
}

} // namespace vortimax
