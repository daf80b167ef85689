#pragma once

#include <cstdint>
#include <optional>

namespace vortimax {

class FractalRecord;

// Julia and Mandel turn into their true-colour twins Julia24 and Mandel24 and back.
enum class ConversionDirection { ToTrueColour, ToEscapeTime };

// The type a record of `type` becomes, or nothing when it has no twin in that direction.
std::optional<std::uint32_t> conversionTarget(std::uint32_t type, ConversionDirection direction);

// Gives the record its twin type: the parameters take the new type's defaults (subtype
// kept), then every parameter both types share (same key, kind and size) keeps its value,
// so area, constants, iteration limits and palette settings survive. The 3D settings
// stay as they are. Returns false, changing nothing, when the type has no twin.
bool convertFractalType(FractalRecord& record, ConversionDirection direction);

} // namespace vortimax
