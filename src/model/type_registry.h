#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace vortimax {

class DescriptorTable;

enum FractalTypeId : std::uint32_t {
    kTypeJulia24 = 0,
    kTypeMandel24 = 1,
    kTypeJulia = 2,
    kTypeMandel = 3,
    kTypeFormula = 4,
    kTypeLyapunov = 5,
    kTypePlasma = 6,
    kTypeBifurcation = 7,
    kTypeDynamicSystem = 8,
    kTypeLSystem = 9,
    kTypeIfs = 10,
    kTypeTieraJulia = 11,
    kTypeTieraMandel = 12,
    kTypeCompound = 13,
};

// Number of types a fractal can have (ids 0..13).
constexpr std::uint32_t kFractalTypeCount = 14;
// Ids 14..20 only have a name ("Unknown_14".."Unknown_20").
constexpr std::uint32_t kRegistryNameCount = 21;

struct FractalTypeInfo {
    std::uint32_t id;
    std::string_view registryName; // "Type=" in parameter files, shown in the status bar
    std::string_view defaultName;  // name of a new fractal
    int menuCommand;               // the "New" menu command
    std::string_view menuText;
    std::uint32_t iterationWarningLimit; // 0: the type never warns
    std::string_view iterationWarningText;
    int helpContext;
    bool hasArea;           // zoom, selection, "Proportional", zoom count
    bool has3D;             // 3D transformation
    bool hasParamWindow2;   // second parameter window
    bool hasSubtypeFormula; // the subtype selects one of the 25 iteration formulas
};

std::span<const FractalTypeInfo> fractalTypes();
// Row of a type id 0..13, or null.
const FractalTypeInfo* fractalType(std::uint32_t id);

// Registry name of ids 0..20, or an empty view beyond.
std::string_view registryName(std::uint32_t id);
// Type id 0..13 of a registry name, compared without regard to letter case.
std::optional<std::uint32_t> findTypeByRegistryName(std::string_view name);

// Names of the 25 iteration formulas of types 2, 3, 11 and 12, by subtype.
constexpr std::uint32_t kEscapeSubtypeCount = 25;
std::span<const std::string_view> escapeSubtypeNames();
// Names of the bifurcation maps of type 7, by subtype.
std::span<const std::string_view> bifurcationSubtypeNames();

// The subtypes a type has, by name: the 25 iteration formulas of types 2, 3, 11 and 12,
// "z^2+c" and "z^3+c" of the true-colour types 0 and 1, the five maps of the Lyapunov
// space (type 5), the bifurcation maps of type 7; nothing for the types that only have
// subtype 0.
std::span<const std::string_view> subtypeNames(std::uint32_t type);
// The highest subtype a type accepts (0 for the types without subtype names).
std::uint32_t highestSubtype(std::uint32_t type);

// Caption and question asked before an interactive start with a high MaxIter.
constexpr std::string_view kIterationWarningCaption = "Warning...";

} // namespace vortimax
