#include "model/type_registry.h"
#include "parfile/entry_parser.h"
#include "parfile/foreign_types.h"

#include <gtest/gtest.h>

using namespace vortimax;

namespace {

void expectType(std::string_view name, std::uint32_t type, std::uint32_t subtype, bool foreign) {
    auto found = resolveTypeName(name);
    ASSERT_TRUE(found) << name;
    EXPECT_EQ(found->type, type) << name;
    EXPECT_EQ(found->subtype, subtype) << name;
    EXPECT_EQ(found->foreign, foreign) << name;
}

TEST(ForeignTypes, RegistryNamesFirstThenTheForeignTableWhateverTheCase) {
    expectType("MAGNET2M", kTypeMandel, 4, true);
    expectType("Lambda(fn||fn)", kTypeJulia, 17, true);
    expectType("bif=sinpi", kTypeBifurcation, 3, true);
    expectType("julia24", kTypeJulia24, 0, false);
    // The registry also names ids 14..20, but no fractal of those ids can exist.
    for (std::string_view unknown : {"Unknown_14", "Foo", "", "magnet2m "})
        EXPECT_FALSE(resolveTypeName(unknown)) << unknown;
    for (const ForeignType& row : foreignTypes())
        EXPECT_LE(row.subtype, highestSubtype(row.type)) << row.name;
}

} // namespace
