#include "cli/params_command.h"
#include "cli_test_support.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace vortimax;

namespace {

using vortimax::test::Outcome;

Outcome runParams(std::vector<std::string> args) {
    return vortimax::test::run(cli::runParams, std::move(args));
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t'))
        fields.push_back(field);
    return fields;
}

// Lines by key; the 3D rows come after the type's rows, so a later key of the same
// name (none exists today) would not silently replace an earlier one.
std::map<std::string, std::vector<std::string>> rowsByKey(const std::string& text) {
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        auto fields = splitTabs(line);
        EXPECT_EQ(fields.size(), 8u) << line;
        EXPECT_TRUE(rows.emplace(fields.at(0), fields).second) << "duplicate " << fields[0];
    }
    return rows;
}

TEST(ParamsCommand, MandelMagnetShowsAreaBailoutAndFiniteTest) {
    Outcome result = runParams({"mandel", "--subtype", "3"});
    ASSERT_EQ(result.status, 0) << result.err;
    auto rows = rowsByKey(result.out);
    EXPECT_EQ(rows.size(), 55u + 66u);
    EXPECT_EQ(rows["Bailout"], (std::vector<std::string>{"Bailout", "Bailout", "real", "0",
                                                         "1e+300", "100", "key", "interpolate"}));
    EXPECT_EQ(rows["TestForFinite"],
              (std::vector<std::string>{"TestForFinite", "TestForFinite", "flag", "-", "-", "1",
                                        "key", "match"}));
    EXPECT_EQ(rows["TopLeftR"][5] + " " + rows["BottomRightR"][5] + " " + rows["TopLeftI"][5] +
                  " " + rows["BottomRightI"][5],
              "-4.0 4.0 3.0 -3.0");
    EXPECT_EQ(rows["Cr"][2] + " " + rows["Cr"][6] + " " + rows["Cr"][7], "bigfixed params none");
    EXPECT_EQ(rows["Knotx5"][5], "-1e+10");
}

TEST(ParamsCommand, TypeRowsComeFirstThenThreeDRows) {
    Outcome result = runParams({"Plasma"});
    ASSERT_EQ(result.status, 0);
    std::vector<std::string> lines;
    std::istringstream stream(result.out);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 21u + 66u);
    EXPECT_TRUE(lines.front().starts_with("TopLeftR\t"));
    EXPECT_TRUE(lines.back().starts_with("Knoty20\t"));
    EXPECT_NE(result.out.find("ObserverVAngle\tObserver vert. angle\treal\t-1e+300\t1e+300\t60\t"),
              std::string::npos);
}

TEST(ParamsCommand, BadInputIsRefusedWithAClearMessage) {
    Outcome unknown = runParams({"Mandelbrot"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.err.find("unknown fractal type \"Mandelbrot\""), std::string::npos);
    EXPECT_NE(unknown.err.find("Julia24, Mandel24, Julia, Mandel, Formula"), std::string::npos);
    EXPECT_NE(unknown.err.find("Compound"), std::string::npos);
    for (std::vector<std::string> args : {std::vector<std::string>{},
                                          {"Mandel", "--subtype"},
                                          {"Mandel", "--subtype", "25"},
                                          {"Mandel", "--subtype", "-1"},
                                          {"Mandel", "--subtype", "3x"},
                                          {"Julia24", "--subtype", "2"},
                                          {"Lyapunov", "--subtype", "5"},
                                          {"Mandel", "Julia"}})
        EXPECT_EQ(runParams(args).status, 2) << args.size();
    EXPECT_EQ(runParams({"Bifurcation", "--subtype", "5"}).status, 0); // its highest subtype
    EXPECT_EQ(runParams({"Lyapunov", "--subtype", "4"}).status, 0);    // K sin^2(x + r)
    EXPECT_EQ(runParams({"Mandel24", "--subtype", "1"}).status, 0);    // z^3+c
}

} // namespace
