#include "ui/tool_windows/parameter_pages.h"

#include "base/text_utils.h"
#include "model/descriptor_tables.h"
#include "model/type_registry.h"

#include <algorithm>

namespace vortimax::ui {

namespace {

constexpr std::string_view kAreaKeys[] = {
    "TopLeftR", "TopLeftI", "BottomRightR", "BottomRightI", "TopRightR",  "TopRightI",  "Stretch",
    "RotateX",  "RotateY",  "Angle",        "InvRadius",    "InvCenterX", "InvCenterY", "Inversion",
};

constexpr std::string_view kColourMappingKeys[] = {
    "ColormodeType",
    "ColormodeSpeed",
    "ColormodeAccel",
    "ColorSmoothing",
};

// Colouring rows that types with a second parameter window show there.
constexpr std::string_view kSecondWindowKeys[] = {
    "Inside",        "Outside",     "Insidemult",  "Outsidemult",     "Decomp",
    "Coding",        "DecFactor",   "PotSlope",    "Biomorphy",       "BiomorphVar",
    "BiomorphColor", "Palette2",    "Palette3",    "Analysis",        "Operation",
    "Strands",       "BayFactor1",  "BayFactor2",  "Colorseparation", "Colormode",
    "Colorsource",   "Factor1",     "Factor2",     "Factor3",         "PalStepRed",
    "PalStepGreen",  "PalStepBlue", "PalStartRed", "PalStartGreen",   "PalStartBlue",
};

constexpr Page3D kPages3D[] = {
    {"View", "ObserverVAngle"}, {"Light", "LightHAngle"}, {"Colour", "Drawmode"},
    {"Overlay", "Overlay"},     {"Spline", "Knotx1"},
};

template <std::size_t N> bool listed(const std::string_view (&keys)[N], std::string_view key) {
    return std::any_of(std::begin(keys), std::end(keys), [&](std::string_view listedKey) {
        return equalsIgnoreCase(listedKey, key);
    });
}

bool hasSecondWindow(std::uint32_t type) {
    const FractalTypeInfo* info = fractalType(type);
    return info != nullptr && info->hasParamWindow2;
}

bool isOwnRow(std::string_view key) {
    return !isAreaRow(key) && !isColourMappingRow(key);
}

std::size_t rowOf(std::string_view key) {
    return settings3DTable().find(key).value_or(settings3DTable().size());
}

} // namespace

bool isAreaRow(std::string_view key) {
    return listed(kAreaKeys, key);
}

bool isColourMappingRow(std::string_view key) {
    return listed(kColourMappingKeys, key);
}

bool isFirstWindowRow(std::uint32_t type, std::string_view key) {
    return isOwnRow(key) && !isSecondWindowRow(type, key);
}

bool isSecondWindowRow(std::uint32_t type, std::string_view key) {
    return hasSecondWindow(type) && isOwnRow(key) && listed(kSecondWindowKeys, key);
}

std::span<const Page3D> pages3D() {
    return kPages3D;
}

RowFilter page3DFilter(std::size_t page) {
    const std::size_t first = rowOf(kPages3D[page].firstKey);
    const std::size_t end = page + 1 < std::size(kPages3D) ? rowOf(kPages3D[page + 1].firstKey)
                                                           : settings3DTable().size();
    return [first, end](std::uint32_t, std::size_t index, const ParamDescriptor&) {
        return index >= first && index < end;
    };
}

} // namespace vortimax::ui
