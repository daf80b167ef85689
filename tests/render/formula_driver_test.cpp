#include "formula/formula_entry.h"
#include "model/fractal_view.h"
#include "model/param_text.h"
#include "render/drivers.h"
#include "render/escape/escape_kernel.h"
#include "render/escape/escape_params.h"
#include "render/escape/formula_driver.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>

namespace vortimax {
namespace {

constexpr std::string_view kBasic = "z = pixel: z = z^2 + pixel, |z| <= 4";

class FormulaDriverTest : public ::testing::Test {
protected:
    FormulaDriverTest() {
        EXPECT_EQ(compileFormula(library["Basic"], "Basic", kBasic, {}, nullptr), 0);
        installDrivers(environment.drivers);
        installFormulaDriver(environment.drivers, environment.hooks,
                             [this](std::string_view name) -> std::optional<FormulaCode> {
                                 auto it = library.find(std::string(name));
                                 if (it == library.end())
                                     return std::nullopt;
                                 return it->second.code;
                             });
    }

    // The record's image at 64 x 48, calculated through the installed driver, and what
    // the driver said about a calculation it could not run.
    std::vector<float> render(FractalRecord& record, CalculationFailure* failure = nullptr) {
        record.width = 64;
        record.height = 48;
        FractalView view(record, environment);
        EXPECT_TRUE(
            allocateBuffers(BufferLayout{64, 48, 8, false, false, false, 24}, view.buffers()));
        environment.drivers[record.type](view, 0, 0, 64, 47);
        if (failure != nullptr)
            *failure = view.failure();
        return view.buffers().values;
    }

    static void set(FractalRecord& record, std::string_view key, std::string_view value) {
        ASSERT_TRUE(setByKey(record.params(), key, value)) << key;
    }

    std::map<std::string, FormulaEntry> library;
    ViewEnvironment environment;
};

// z = z^2 + pixel stopped by |z|^2 > 4 is the Mandel set: with the same area, limits and
// colouring, the Formula type gives the general Mandel kernel's values bit for bit
// (the supremum inside rule keeps Mandel off its fast loop, and both track the orbit).
TEST_F(FormulaDriverTest, BasicFormulaMatchesTheGeneralMandelKernel) {
    auto mandel = createRecord(kTypeMandel, 0, RecordCreationContext{});
    auto formula = createRecord(kTypeFormula, 0, RecordCreationContext{});
    for (FractalRecord* record : {mandel.get(), formula.get()}) {
        set(*record, "TopLeftR", "-2.1");
        set(*record, "TopLeftI", "1.2");
        set(*record, "BottomRightR", "0.9");
        set(*record, "BottomRightI", "-1.2");
        set(*record, "MaxIter", "100");
        set(*record, "Bailout", "4");
        set(*record, "Inside", "2");
    }
    ASSERT_FALSE(usesFastPath(readEscapeParams(*mandel)));
    const std::vector<float> expected = render(*mandel);
    const std::vector<float> values = render(*formula);
    ASSERT_EQ(values.size(), expected.size());
    int differing = 0, inside = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        differing += std::memcmp(&values[i], &expected[i], sizeof(float)) != 0 ? 1 : 0;
        inside += values[i] < 0.0f ? 1 : 0;
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inside, 100); // the test looks at both kinds of pixels
}

// The built-in stop tests run after each step the formula lets go on: with the formula's
// own test off, the infinity test with Bailout 4 stops the same orbits.
TEST_F(FormulaDriverTest, BuiltInStopTestsReplaceTheFormulasTest) {
    auto own = createRecord(kTypeFormula, 0, RecordCreationContext{});
    auto builtIn = createRecord(kTypeFormula, 0, RecordCreationContext{});
    for (FractalRecord* record : {own.get(), builtIn.get()}) {
        set(*record, "MaxIter", "60");
        set(*record, "Bailout", "4");
    }
    set(*builtIn, "TestForFormula", "0");
    set(*builtIn, "TestForInfinify", "1");
    EXPECT_EQ(render(*own), render(*builtIn));
    set(*builtIn, "TestForInfinify", "0"); // nothing stops: every pixel is inside
    for (float v : render(*builtIn)) {
        if (v != 0.0f) { // the spare column is never calculated
            EXPECT_LT(v, 0.0f);
        }
    }
}

// Opening checks the formula; the driver tells the view why it cannot calculate when the
// formula went missing or broken since, and leaves the image alone.
TEST_F(FormulaDriverTest, MissingOrBrokenFormulasAreNotCalculated) {
    EXPECT_EQ(
        compileFormula(library["Broken"], "Broken", "z = pixel: z = z^2 +, |z| <= 4", {}, nullptr),
        1);
    auto record = createRecord(kTypeFormula, 0, RecordCreationContext{});
    EXPECT_EQ(environment.hooks.checkFormula(*record), FormulaCheck::Ok);
    const std::pair<std::string, std::string> cases[] = {
        {"Missing", "Formula \"Missing\" isn't available."},
        {"Broken", "Formula \"Broken\" does not compile."},
    };
    for (const auto& [name, reason] : cases) {
        set(*record, "FormulaName", name);
        EXPECT_EQ(environment.hooks.checkFormula(*record), FormulaCheck::FormulaNotAvailable);
        CalculationFailure failure;
        for (float v : render(*record, &failure))
            ASSERT_EQ(v, 0.0f) << name;
        EXPECT_TRUE(failure.failed) << name;
        EXPECT_EQ(failure.reason, reason);
    }
}

} // namespace
} // namespace vortimax
