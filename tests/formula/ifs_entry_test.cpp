// IFS bodies (transformation lines, element compilation and evaluation) and L-system bodies
// (keywords, rules, merging, limits), and the written form of both.

#include "app/scripted_frontend.h"
#include "formula/formula_eval.h"
#include "formula/ifs_entry.h"
#include "formula/library_load.h"
#include "formula/library_writer.h"
#include "formula/lsystem_entry.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

std::vector<double> values(const IfsTransform& transform) {
    EvalContext context;
    std::vector<double> result;
    for (const IfsElement& element : transform.elements) {
        result.push_back(ifsElementValue(element, context));
    }
    return result;
}

TEST(IfsBody, PlaneAndSpatialLines) {
    const std::vector<IfsTransform> transforms =
        parseIfsBody("\n  .5 0 0 .5 0 0 .33 ; plane\n"
                     "\t1 2 3 4 5 6 7 8 9 10 11 12 13\n"
                     "0.5 0 0 0.5 0 0 0.33 0.1\n" // 8 fields: ignored
                     "1 2 3\n"
                     "\n");
    ASSERT_EQ(transforms.size(), 2u);
    EXPECT_EQ(values(transforms[0]),
              (std::vector<double>{.5, 0, 0, 0, .5, 0, 0, 0, 1, 0, 0, 0, .33}));
    EXPECT_EQ(values(transforms[1]),
              (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

TEST(IfsBody, ElementsAreExpressionsCompiledOneByOne) {
    ScriptedFrontend frontend;
    const std::vector<IfsTransform> transforms =
        parseIfsBody("pi/2 -1 sqr(3) (1+2*i)*i 1/0 2*x x=3 1#2 0 0 0 0 .5\n", &frontend);
    ASSERT_EQ(transforms.size(), 1u);
    const std::vector<double> v = values(transforms[0]);
    EXPECT_DOUBLE_EQ(v[0], 3.1415926535 / 2);
    EXPECT_EQ(v[1], -1.0);
    EXPECT_EQ(v[2], 9.0);
    EXPECT_EQ(v[3], -2.0);         // (1+2i)*i = -2+i
    EXPECT_TRUE(std::isnan(v[4])); // complex division by 0
    EXPECT_EQ(v[5], 0.0);          // a variable starts at 0
    EXPECT_EQ(v[6], 3.0);          // an assignment yields its value
    EXPECT_EQ(v[7], 0.0);          // does not compile: 0
    EXPECT_EQ(transforms[0].elements[kIfsM32].text, "1#2");
    EXPECT_FALSE(transforms[0].elements[kIfsM32].code.has_value());
    const auto boxes = frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Parsing formula");
    EXPECT_EQ(boxes[0].text,
              "Parsing:\nOffending line: 1#2\n          Illegal character encountered...");
}

TEST(IfsBody, OversizedElementsAreRejected) {
    // A field beyond 499 characters makes the line no transformation.
    const std::string longField = "1" + std::string(kMaxIfsElementLength, '0');
    EXPECT_TRUE(parseIfsBody(longField + " 0 0 1 0 0 1\n").empty());
    // Code beyond the 2000-byte slot does not compile.
    std::string sum = "1";
    while (sum.size() + 2 <= kMaxIfsElementLength) {
        sum += "+1";
    }
    std::optional<CompiledStatement> code;
    std::uint32_t variables = 0;
    EXPECT_EQ(compileIfsElement(sum, code, variables), CompileError::TooLong);
    EXPECT_EQ(compileIfsElement("a=2", code, variables), CompileError::None);
    EXPECT_EQ(variables, 1u);
}

TEST(IfsBody, WrittenWithAllThirteenFieldsAndReadBackAlike) {
    auto entry = ifsFromBody("Fern", "0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n");
    IfsElement& edited = entry->transforms[1].elements[kIfsM12];
    ScriptedFrontend frontend;
    editIfsElement(edited, "0.1 * 2", frontend); // blanks never compile, and are not written
    const std::string text = entryText(*entry);
    EXPECT_EQ(text, "Fern  {\n 0 0 0 0 .16 0 0 0 1 0 0 0 .01\n"
                    " .85 0.1*2 0 -.04 .85 0 0 0 1 0 1.6 0 .85\n}");
    const std::string body = text.substr(text.find('{') + 1, text.size() - text.find('{') - 2);
    const auto again = ifsFromBody("Fern", body);
    ASSERT_EQ(again->transforms.size(), 2u);
    EXPECT_EQ(values(again->transforms[0]), values(entry->transforms[0]));
    EXPECT_EQ(values(again->transforms[1])[kIfsM12], 0.2);
    EXPECT_EQ(entryText(*again), text);
}

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
