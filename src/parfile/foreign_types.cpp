#include "parfile/foreign_types.h"

#include "base/text_utils.h"
#include "model/type_registry.h"

namespace vortimax {

namespace {

// clang-format off
constexpr ForeignType kForeignTypes[] = {
    {"Magnet1j",        kTypeJulia,       3},
    {"Magnet1m",        kTypeMandel,      3},
    {"Magnet2j",        kTypeJulia,       4},
    {"Magnet2m",        kTypeMandel,      4},
    {"Barnsleym1",      kTypeMandel,      6},
    {"Barnsleyj1",      kTypeJulia,       6},
    {"Barnsleym2",      kTypeMandel,      7},
    {"Barnsleyj2",      kTypeJulia,       7},
    {"Barnsleym3",      kTypeMandel,      8},
    {"Barnsleyj3",      kTypeJulia,       8},
    {"bif+sinpi",       kTypeBifurcation, 2},
    {"bif=sinpi",       kTypeBifurcation, 3},
    {"biflambda",       kTypeBifurcation, 0},
    {"bifmay",          kTypeBifurcation, 5},
    {"bifstewart",      kTypeBifurcation, 4},
    {"bifurcation",     kTypeBifurcation, 1},
    {"SQR(fn)",         kTypeJulia,       9},
    {"SQR(1/fn)",       kTypeJulia,       10},
    {"fn(z)+fn(pix)",   kTypeMandel,      11},
    {"fn(z*z)",         kTypeJulia,       12},
    {"marksjulia",      kTypeJulia,       20},
    {"marksmandel",     kTypeMandel,      20},
    {"fn*fn",           kTypeJulia,       13},
    {"fn*z+z",          kTypeJulia,       14},
    {"fn+fn",           kTypeJulia,       15},
    {"lambda",          kTypeJulia,       16},
    {"mandellambda",    kTypeMandel,      16},
    {"lambda(fn||fn)",  kTypeJulia,       17},
    {"manlam(fn||fn)",  kTypeMandel,      17},
    {"julia(fn||fn)",   kTypeJulia,       18},
    {"mandel(fn||fn)",  kTypeMandel,      18},
    {"julfn+exp",       kTypeJulia,       19},
    {"manfn+exp",       kTypeMandel,      19},
    {"cmplxmarksjul",   kTypeJulia,       20},
    {"cmplxmarksmand",  kTypeMandel,      20},
    {"julzpower",       kTypeJulia,       21},
    {"manzpower",       kTypeMandel,      21},
    {"julzzpwr",        kTypeJulia,       22},
    {"manzzpwr",        kTypeMandel,      22},
    {"manowarj",        kTypeJulia,       23},
    {"manowar",         kTypeMandel,      23},
    {"julfn+zsqrd",     kTypeJulia,       24},
    {"manfn+zsqrd",     kTypeMandel,      24},
};
// clang-format on

} // namespace

std::span<const ForeignType> foreignTypes() {
    return kForeignTypes;
}

std::optional<ForeignType> findForeignType(std::string_view name) {
    std::optional<ForeignType> found;
    for (const ForeignType& row : kForeignTypes)
        if (equalsIgnoreCase(row.name, name))
            found = row;
    return found;
}

std::optional<EntryType> resolveTypeName(std::string_view name) {
    if (auto id = findTypeByRegistryName(name))
        return EntryType{*id, 0, false};
    if (auto row = findForeignType(name))
        return EntryType{row->type, row->subtype, true};
    return std::nullopt;
}

} // namespace vortimax
