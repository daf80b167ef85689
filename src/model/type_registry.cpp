#include "model/type_registry.h"

#include "base/text_utils.h"

#include <string>

namespace vortimax {

namespace {

constexpr bool kArea = true, kNoArea = false;
constexpr bool k3D = true, kNo3D = false;
constexpr bool kWindow2 = true, kNoWindow2 = false;
constexpr bool kSubtypes = true, kNoSubtypes = false;

// clang-format off
constexpr FractalTypeInfo kTypes[] = {
    {0,  "Julia24",        "Julia",           29015, "24 bit Julia",     200000, "200 000", 370, kArea,   k3D,   kNoWindow2, kNoSubtypes},
    {1,  "Mandel24",       "Mandel",          29016, "24 bit Mandel",    200000, "200 000", 370, kArea,   k3D,   kNoWindow2, kNoSubtypes},
    {2,  "Julia",          "Juliatyp 1",      29017, "Julia",            100000, "100 000", 370, kArea,   k3D,   kWindow2,   kSubtypes},
    {3,  "Mandel",         "Mandeltyp 1",     29018, "Mandel",           100000, "100 000", 370, kArea,   k3D,   kWindow2,   kSubtypes},
    {4,  "Formula",        "Formula",         29019, "Formula",          40000,  "40 000",  370, kArea,   k3D,   kWindow2,   kNoSubtypes},
    {5,  "Lyapunov",       "Lyapunov",        29021, "Lyapunov Space",   0,      "",        500, kArea,   k3D,   kNoWindow2, kNoSubtypes},
    {6,  "Plasma",         "Plasma",          29020, "Plasma",           0,      "",        470, kNoArea, k3D,   kNoWindow2, kNoSubtypes},
    {7,  "Bifurcation",    "Bifurcation",     29022, "Bifurcation",      0,      "",        310, kArea,   kNo3D, kNoWindow2, kNoSubtypes},
    {8,  "Dynamic_System", "DynamicSystem",   29023, "Dynamic system",   0,      "",        440, kArea,   kNo3D, kNoWindow2, kNoSubtypes},
    {9,  "LSystem",        "LSystem",         29190, "LSystem",          0,      "",        560, kArea,   kNo3D, kNoWindow2, kNoSubtypes},
    {10, "IFS",            "IFS",             29189, "IFS",              0,      "",        530, kArea,   kNo3D, kNoWindow2, kNoSubtypes},
    {11, "Tiera_Julia",    "Julia_Tiera",     29177, "Julia (Tiera)",    40000,  "40 000",  370, kArea,   k3D,   kWindow2,   kSubtypes},
    {12, "Tiera_Mandel",   "Mandel_Tiera",    29178, "Mandel (Tiera)",   40000,  "40 000",  370, kArea,   k3D,   kWindow2,   kSubtypes},
    {13, "Compound",       "CompoundFractal", 29187, "Compound Fractal", 0,      "",        580, kNoArea, k3D,   kNoWindow2, kNoSubtypes},
};
// clang-format on

constexpr std::string_view kUnknownNames[] = {"Unknown_14", "Unknown_15", "Unknown_16",
                                              "Unknown_17", "Unknown_18", "Unknown_19",
                                              "Unknown_20"};

// The systems of type 8, by subtype: five flows, then the maps drawn point by point.
constexpr std::string_view kDynamicSystemNames[] = {
    "Lorenz",       "System 1",        "System 2",       "System 3",
    "Roessler",     "Hopalong",        "Martin",         "Chip",
    "Threeply",     "Quadruptwo",      "Gingerbreadman", "Henon",
    "Latoocarfian", "Kamtorus",        "Inverse Julia",  "Pickover",
    "Popcorn",      "Mandelbrot cloud"};

constexpr std::string_view kEscapeSubtypeNames[] = {
    "z^2+c",       "z^3+c",           "exp(z)-z-c",      "Magnet 1",        "Magnet 2",
    "c*fn1(z)",    "Barnsley1",       "Barnsley2",       "Barnsley3",       "SQR(fn)+c",
    "SQR(1/fn)+c", "fn(z)+fn(pixel)", "fn(z*z)",         "fn*fn",           "fn*z+z",
    "fn+fn",       "lambda",          "lambda*(fn||fn)", "lambda+(fn||fn)", "fn+exp",
    "cmplxmarks",  "zpower",          "zzpwr",           "manowar",         "fn+zsqrd",
};
static_assert(std::size(kEscapeSubtypeNames) == kEscapeSubtypeCount);

constexpr std::string_view kBifurcationNames[] = {"lambda",    "bifurcation", "bif+sinpi",
                                                  "bif=sinpi", "Stewart",     "May"};

// The maps of the Lyapunov space, by subtype: r*x*(1-x) ... K*sin^2(x+r).
constexpr std::string_view kLyapunovNames[] = {"logistic", "logistic+x", "sine", "sine+x",
                                               "sine squared"};

} // namespace

std::span<const FractalTypeInfo> fractalTypes() {
    return kTypes;
}

const FractalTypeInfo* fractalType(std::uint32_t id) {
    return id < kFractalTypeCount ? &kTypes[id] : nullptr;
}

std::string_view registryName(std::uint32_t id) {
    if (id < kFractalTypeCount)
        return kTypes[id].registryName;
    if (id < kRegistryNameCount)
        return kUnknownNames[id - kFractalTypeCount];
    return {};
}

std::optional<std::uint32_t> findTypeByRegistryName(std::string_view name) {
    for (const auto& type : kTypes)
        if (equalsIgnoreCase(type.registryName, name))
            return type.id;
    return std::nullopt;
}

std::span<const std::string_view> escapeSubtypeNames() {
    return kEscapeSubtypeNames;
}

std::span<const std::string_view> bifurcationSubtypeNames() {
    return kBifurcationNames;
}

std::span<const std::string_view> subtypeNames(std::uint32_t type) {
    const FractalTypeInfo* info = fractalType(type);
    if (info == nullptr)
        return {};
    if (info->hasSubtypeFormula)
        return kEscapeSubtypeNames;
    if (type == kTypeDynamicSystem)
        return kDynamicSystemNames;
    if (type == kTypeJulia24 || type == kTypeMandel24)
        return std::span(kEscapeSubtypeNames).first(2); // z^2+c and z^3+c
    if (type == kTypeBifurcation)
        return kBifurcationNames;
    if (type == kTypeLyapunov)
        return kLyapunovNames;
    return {};
}

std::uint32_t highestSubtype(std::uint32_t type) {
    const std::size_t count = subtypeNames(type).size();
    return count == 0 ? 0 : static_cast<std::uint32_t>(count - 1);
}

} // namespace vortimax
