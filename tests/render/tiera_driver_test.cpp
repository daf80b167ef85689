#include "driver_view.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace vortimax {
namespace {

using test::DriverView;

std::unique_ptr<FractalRecord> areaRecord(std::uint32_t type) {
    auto r = createRecord(type, 0, RecordCreationContext{});
    test::setArea(*r, "-2.1", "0.7", "-1.2", "1.2");
    test::set(*r, "MaxIter", "80");
    return r;
}

// The three value buffers after a Tierazon-mode calculation on `threads` threads.
struct ThreeBuffers {
    std::vector<float> first, second, third;
    std::vector<std::uint8_t> pixels;
    long uncalculated = 0;
};

ThreeBuffers renderTiera(FractalRecord& record, int threads) {
    DriverView driver(record, 41, 29, threads);
    EXPECT_TRUE(allocateBuffers({41, 29, record.displayDepth, false, true, false, 24},
                                driver.view->buffers()));
    driver.calculate();
    const ImageBuffers& b = driver.view->buffers();
    return {b.values, b.tierazon1, b.tierazon2, b.pixels, driver.uncalculated()};
}

TEST(TieraDriverTest, NormalWithoutFilterGivesThePlainValues) {
    auto plain = areaRecord(kTypeMandel);
    const auto [values, pixels] = test::renderImage(*plain, 41, 29, 2);
    auto tiera = areaRecord(kTypeTieraMandel);
    const ThreeBuffers three = renderTiera(*tiera, 2);
    EXPECT_EQ(three.first, values);
    const auto zero = [](float v) { return v == 0.0f; };
    EXPECT_TRUE(std::all_of(three.second.begin(), three.second.end(), zero));
    EXPECT_TRUE(std::all_of(three.third.begin(), three.third.end(), zero));
}

// Pixel by pixel (a filter and a method reading the saved value) and on the escape-time
// lanes (no filter, a method of the last z): one and four threads give the same buffers
// and the same picture.
TEST(TieraDriverTest, ThreeBuffersAreTheSameForAnyThreadCount) {
    const std::pair<const char*, const char*> filterAndMethods[] = {{"12", "2"}, {"0", "1"}};
    for (const auto& [filter, method] : filterAndMethods) {
        auto r = areaRecord(kTypeTieraJulia);
        test::set(*r, "Cr", "-0.4");
        test::set(*r, "Ci", "0.6");
        test::set(*r, "Analysis", filter);
        test::set(*r, "Operation", method);
        r->displayDepth = 24;
        const ThreeBuffers one = renderTiera(*r, 1);
        const ThreeBuffers four = renderTiera(*r, 4);
        EXPECT_EQ(one.uncalculated, 0);
        EXPECT_EQ(one.first, four.first) << method;
        EXPECT_EQ(one.second, four.second) << method;
        EXPECT_EQ(one.third, four.third) << method;
        EXPECT_EQ(one.pixels, four.pixels) << method;
        EXPECT_TRUE(
            std::any_of(one.third.begin(), one.third.end(), [](float v) { return v > 0.0f; }));
    }
}

} // namespace
} // namespace vortimax
