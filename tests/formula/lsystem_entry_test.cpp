// L-system bodies: keywords, rules, merging, limits and the written form.

#include "formula/library_load.h"
#include "formula/library_writer.h"
#include "formula/lsystem_entry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

LSystemEntry parsed(std::string_view body) {
    LSystemEntry entry;
    parseLSystemBody(body, entry);
    return entry;
}

TEST(LSystemBody, AngleForms) {
    const struct {
        std::string line;
        double angle;
    } cases[] = {
        {"Angle=60", 60.0},   {"angle 60", 60.0},  {"angle=6;", 6.0},
        {"Angle\t 4.5", 4.5}, {"ANGLEX 12", 12.0}, {"Angle", 8.0},
        {"Angle=", 8.0},      {"Angle = 60", 8.0}, // "=" is the value
        {"Angle nan", 8.0},   {"Angle inf", 8.0},  {"Angle -3", -3.0},
        {"Angle 1e2", 100.0},
    };
    for (const auto& [line, angle] : cases) {
        EXPECT_EQ(parsed(line).angle, angle) << line;
    }
}

TEST(LSystemBody, AxiomAndRules) {
    const LSystemEntry entry = parsed("  axiom f--f--f ; start\n"
                                      "F = FF\n"     // blanks: not a rule
                                      "f=f+f--f+f\n" // upper-cased
                                      "X=\n"         // empty replacement
                                      "+=F\n"
                                      "something else\n");
    EXPECT_EQ(entry.axiom, "F--F--F");
    EXPECT_EQ(entry.rules, (std::vector<LSystemRule>{{'F', "F+F--F+F"}, {'X', ""}, {'+', "F"}}));
    EXPECT_EQ(parsed("AXIOM=FX").axiom, "FX");
    EXPECT_EQ(parsed("AXIOM= FX").axiom, "");
    EXPECT_EQ(parsed("Axiom").axiom, "");
    // Rules of one letter are merged.
    EXPECT_EQ(parsed("F=A\nG=B\nF=C\nG=\nF=D\n").rules,
              (std::vector<LSystemRule>{{'F', "ACD"}, {'G', "B"}}));
}

TEST(LSystemBody, FieldsAreCutAt510Characters) {
    const std::string longText(600, 'F');
    const LSystemEntry entry = parsed("Axiom " + longText + "\nF=" + longText + "\n");
    EXPECT_EQ(entry.axiom.size(), kMaxLSystemFieldLength);
    ASSERT_EQ(entry.rules.size(), 1u);
    EXPECT_EQ(entry.rules[0].replacement.size(), kMaxLSystemFieldLength - 2);
}

TEST(LSystemBody, WrittenWithKeywordsAndReadBackAlike) {
    const auto entry = lsystemFromBody("Dragon", "Angle=4\nAxiom=FX\nX=X+YF+\nY=-FX-Y\n");
    const std::string text = entryText(*entry);
    EXPECT_EQ(text, "Dragon  {\nAngle 4.000\nAxiom FX\n X=X+YF+\n Y=-FX-Y\n}");
    const auto again = lsystemFromBody("Dragon", text.substr(text.find('{') + 1));
    EXPECT_EQ(entryText(*again), text);
    // A new entry has the angle 8 and nothing else.
    EXPECT_EQ(entryText(LSystemEntry{"Basic", "", kDefaultLSystemAngle, {}}),
              "Basic  {\nAngle 8.000\nAxiom \n}");
}

} // namespace
} // namespace vortimax
