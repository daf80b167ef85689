// The forms of older formula files: if blocks, the functions written with a bracket, implicit
// multiplication, iteration sections without abort line, semicolon-separated statements,
// continued lines, assignments to predefined names and inside expressions.

#include "app/scripted_frontend.h"
#include "formula/complex_functions.h"
#include "formula/formula_blocks.h"
#include "formula/formula_entry.h"
#include "formula/formula_eval.h"
#include "formula/formula_iteration.h"
#include "formula_test_support.h"

#include <bit>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using test::statementText;

FormulaCode compiled(const std::string& source) {
    FormulaEntry entry;
    EXPECT_EQ(compileFormula(entry, "f", source, {.silent = true}, nullptr), 0) << source;
    return entry.code;
}

// The message box a failing formula shows (empty when it compiles).
std::string failureText(const std::string& source) {
    ScriptedFrontend frontend;
    FormulaEntry entry;
    if (compileFormula(entry, "f", source, {}, &frontend) == 0) {
        return {};
    }
    return frontend.messageBoxes().empty() ? "?" : frontend.messageBoxes()[0].text;
}

// The words of every statement, for comparing two compiles.
std::vector<std::vector<std::uint32_t>> allWords(const FormulaCode& code) {
    std::vector<std::vector<std::uint32_t>> words;
    for (const auto* list : {&code.init, &code.iteration}) {
        for (const CompiledStatement& statement : *list) {
            words.push_back(statement.words);
        }
    }
    words.push_back(code.abort ? code.abort->words : std::vector<std::uint32_t>{});
    words.push_back(code.insideColour.words);
    words.push_back(code.outsideColour.words);
    return words;
}

// The value of one expression with z = `z`.
Complex valueOf(const std::string& expression, Complex z) {
    VariableList variables;
    CompiledStatement statement;
    EXPECT_EQ(compileStatement(expression, variables, statement), CompileError::None) << expression;
    EvalContext context;
    context.resetVariables(static_cast<std::uint32_t>(variables.size()));
    context.z = z;
    evaluate(context, statement);
    return context.accumulator;
}

bool sameBits(Complex a, Complex b) {
    return std::bit_cast<std::uint64_t>(a.re) == std::bit_cast<std::uint64_t>(b.re) &&
           std::bit_cast<std::uint64_t>(a.im) == std::bit_cast<std::uint64_t>(b.im);
}

// The outside colour of one pixel (the formulas below stop after their first iteration).
double colourAt(const FormulaCode& code, Complex point) {
    FormulaSettings settings;
    settings.maxIter = 10;
    settings.bailout = 4.0;
    settings.p = {Complex{0.25, 0.0}, Complex{}, Complex{}, Complex{}};
    FormulaIterator iterator(code, settings);
    return iterator.iteratePixel({point, 0, 0}).value;
}

TEST(FormulaDialect, BracketFunctionsHaveTheirTextbookValues) {
    const Complex z{-2.5, 1.7};
    EXPECT_TRUE(sameBits(valueOf("cosxx(z)", z), complexConj(complexCos(z))));
    EXPECT_EQ(valueOf("cabs(z)", {3.0, -4.0}), (Complex{5.0, 0.0}));
    EXPECT_EQ(valueOf("round(z)", z), (Complex{-3.0, 2.0}));
    EXPECT_EQ(valueOf("round(z)", {2.5, -0.5}), (Complex{3.0, -1.0}));
    EXPECT_EQ(valueOf("trunc(z)", z), (Complex{-2.0, 1.0}));
    EXPECT_EQ(valueOf("floor(z)", z), (Complex{-3.0, 1.0}));
    EXPECT_EQ(valueOf("ceil(z)", z), (Complex{-2.0, 2.0}));
    EXPECT_EQ(valueOf("ident(z)", z), z);
    EXPECT_EQ(valueOf("zero(z)", z), (Complex{0.0, 0.0}));
    EXPECT_EQ(valueOf("one(z)", z), (Complex{1.0, 0.0}));
    EXPECT_EQ(valueOf("recip(z)", {0.0, 2.0}), (Complex{0.0, -0.5}));
    // Prefix functions bind like the others: cabs z^2 is (cabs z)^2.
    EXPECT_EQ(valueOf("cabs(z)^2", {3.0, 4.0}), (Complex{25.0, 0.0}));
}

// Without a bracket after them these names are variables, as they always were, so formulas
// that use them as variables keep their code.
TEST(FormulaDialect, BracketFunctionNamesStayVariablesElsewhere) {
    VariableList variables;
    CompiledStatement statement;
    ASSERT_EQ(compileStatement("round=cabs+one", variables, statement), CompileError::None);
    EXPECT_EQ(statementText(statement), "#2 #3 + ; #1");
    EXPECT_EQ(compileStatement("cosxx+z", variables, statement), CompileError::None);
    // A name that is no function, before a bracket, is reported as such.
    EXPECT_EQ(compileStatement("z=gamma(z)", variables, statement), CompileError::UnknownFunction);
    EXPECT_NE(failureText("z=pixel:\nz=gamma(z)\n|z|<4").find("Unknown function"),
              std::string::npos);
}

TEST(FormulaDialect, ANumberBeforeANameOrBracketMultiplies) {
    VariableList variables;
    CompiledStatement statement;
    ASSERT_EQ(compileStatement("z=3z+2(z-1)+2pi", variables, statement), CompileError::None);
    EXPECT_EQ(statementText(statement), "3 z * 2 z 1 - * + 2 pi * + ; z");
    ASSERT_EQ(compileStatement("z=2sin(z)^2", variables, statement), CompileError::None);
    EXPECT_EQ(statementText(statement), "2 z sin 2 ^ * ; z");
    // 1e5 could be meant as an exponent: it stays two operands.
    EXPECT_EQ(compileStatement("z=1e5", variables, statement), CompileError::OperandCount);
    EXPECT_EQ(compileStatement("z=1e", variables, statement), CompileError::None);
}

TEST(FormulaDialect, IfBlocksCompileToJumps) {
    const FormulaCode code = compiled("z=pixel:\n"
                                      "if(real(z)<0)\n z=z*2\n"
                                      "elseif(imag(z)<0)\n z=z*3\n a=1\n"
                                      "else\n z=z*4\n"
                                      "endif\n"
                                      "|z|<4");
    ASSERT_EQ(code.iteration.size(), 8u);
    // 0 if, 1 branch, 2 jump to the end, 3 elseif, 4-5 branch, 6 jump to the end, 7 else.
    const std::vector<std::uint32_t> jumpToEnd{kTokJump, 8, kTokEnd, kTokEnd};
    EXPECT_EQ(code.iteration[2].words, jumpToEnd);
    EXPECT_EQ(code.iteration[6].words, jumpToEnd);
    // A condition ends with its jump, the 0 word and an empty target list.
    auto jumpOf = [](const CompiledStatement& s) {
        return std::vector<std::uint32_t>(s.words.end() - 4, s.words.end());
    };
    EXPECT_EQ(jumpOf(code.iteration[0]),
              (std::vector<std::uint32_t>{kTokJumpIfFalse, 3, kTokEnd, kTokEnd}));
    EXPECT_EQ(jumpOf(code.iteration[3]),
              (std::vector<std::uint32_t>{kTokJumpIfFalse, 7, kTokEnd, kTokEnd}));
    EXPECT_EQ(statementText(*code.abort), "z mod 4 <");
}

// Each pixel takes exactly one branch of each block, nested blocks included; blocks may
// stand in the init section too.
TEST(FormulaDialect, IfBlocksChooseOneBranch) {
    const FormulaCode code = compiled("z=pixel,a=0\n"
                                      "if(real(z)<0)\n"
                                      "  a=1\n"
                                      "  if(imag(z)<0)\n a=a+10\n else\n a=a+20\n endif\n"
                                      "elseif(real(z)<1)\n"
                                      "  a=2\n"
                                      "elseif(real(z)<2)\n"
                                      "else\n"
                                      "  a=4\n"
                                      "endif:\n"
                                      "z=z+1\n"
                                      "iter<0:\n"
                                      "0\n"
                                      "a");
    EXPECT_EQ(colourAt(code, {-1.0, -1.0}), 11.0);
    EXPECT_EQ(colourAt(code, {-1.0, 1.0}), 21.0);
    EXPECT_EQ(colourAt(code, {0.5, 1.0}), 2.0);
    EXPECT_EQ(colourAt(code, {1.5, 1.0}), 0.0); // the empty branch
    EXPECT_EQ(colourAt(code, {2.5, 1.0}), 4.0);
}

TEST(FormulaDialect, BlocksThatDoNotPairUpAreNamed) {
    const std::string blocks = "if, elseif, else and endif do not pair up";
    const std::string sources[] = {
        "z=pixel:\nz=z*z\nendif\n|z|<4",
        "z=pixel:\nif(z)\nz=z*z\n|z|<4",
        "z=pixel:\nif(z)\nelse\nelse\nendif\n|z|<4",
        "z=pixel:\nif(z)\nelse\nelseif(z)\nendif\n|z|<4",
        "z=pixel:\nif(a=z)\nendif\n|z|<4",      // a condition may not assign
        "if(pixel)\nz=1:\nendif\nz=z*z\n|z|<4", // a block may not cross sections
        "z=pixel:\nif(z)\nz=z*z\nendif",        // nor end where the abort condition stands
        "z=pixel:\nz=z*z\n|z|<4:\nelse\n1",
    };
    for (const std::string& source : sources) {
        EXPECT_NE(failureText(source).find(blocks), std::string::npos) << source;
    }
    std::string deep = "z=pixel:\n";
    for (std::size_t k = 0; k <= kMaxBlockDepth; ++k) {
        deep += "if(z)\n";
    }
    EXPECT_NE(failureText(deep + "|z|<4"), "");
}

// A one-line iteration section: an assignment goes on while the value it assigned has a
// real part other than 0; an expression is the abort condition itself.
TEST(FormulaDialect, OneLineIterationSectionsNeedNoAbortLine) {
    const FormulaCode assigned = compiled("z=pixel:\n z=z*z-1\n");
    ASSERT_EQ(assigned.iteration.size(), 1u);
    EXPECT_EQ(statementText(*assigned.abort), "z");
    FormulaSettings settings;
    settings.maxIter = 50;
    FormulaIterator iterator(assigned, settings);
    EXPECT_EQ(iterator.iteratePixel({{1.0, 0.0}, 0, 0}).iterations, 1); // 1*1-1 = 0
    EXPECT_TRUE(iterator.iteratePixel({{2.0, 0.0}, 0, 0}).inside);      // 3, 8, 63, ... inf

    const FormulaCode variable = compiled("z=pixel:\n w=z*z-1,");
    EXPECT_EQ(statementText(*variable.abort), "#1");

    const FormulaCode test = compiled("z=pixel:\n |z|<=4");
    EXPECT_TRUE(test.iteration.empty());
    EXPECT_EQ(statementText(*test.abort), "z mod 4 <=");
}

// The oldest files separate statements with semicolons; that reading is tried only when
// the usual one (semicolons start comments) fails, so commented formulas keep their code.
TEST(FormulaDialect, SemicolonsSeparateOnlyWhenCommentsFail) {
    const FormulaCode older = compiled("z = pixel; r = 1:\n z3 = z*z*z;\n"
                                       " z = (3*z3*z + r) / (4*z3),\n .004 <= |z3*z - r|");
    ASSERT_EQ(older.init.size(), 2u);
    EXPECT_EQ(statementText(older.init[1]), "1 ; #1");
    EXPECT_EQ(older.iteration.size(), 2u);

    // Comments are prose: their words do not become statements.
    EXPECT_NE(failureText("z = pixel ; set p1 to 0:\n z = z*z + pixel\n"), "");
    EXPECT_NE(failureText("z = pixel:\n z = z*z ; and \n |z| <; then go on\n"), "");

    const FormulaCode commented = compiled("z = pixel: ; comment\n z = z*z + pixel, |z| <= 4");
    EXPECT_EQ(allWords(commented), allWords(compiled("z=pixel:\nz=z*z+pixel\n|z|<=4")));
}

TEST(FormulaDialect, ABackslashContinuesTheLine) {
    EXPECT_EQ(allWords(compiled("z=pixel:\nz=z*z \\  \n + pixel ; note\n|z|<=4")),
              allWords(compiled("z=pixel:\nz=z*z+pixel\n|z|<=4")));
    // Elsewhere a backslash is still an illegal character.
    EXPECT_NE(failureText("z=pixel:\nz=z\\z\n|z|<=4").find("Illegal character"), std::string::npos);
}

// A formula that assigns to a predefined name has a variable of that name, started from
// the predefined value; reading it before the assignment gives that value.
TEST(FormulaDialect, AssigningAPredefinedNameMakesItAVariable) {
    const FormulaCode code = compiled("a=pixel, pixel=-pixel, bailout=16, e=2:\n"
                                      "z=z+1\n"
                                      "iter<0:\n0\nreal(a)*100+real(pixel)*10+bailout+e");
    ASSERT_GE(code.init.size(), 3u);
    EXPECT_EQ(statementText(code.init[0]), "pixel ; #1");
    EXPECT_EQ(statementText(code.init[1]), "bailout ; #2");
    EXPECT_EQ(statementText(code.init[2]), "e ; #3");
    EXPECT_EQ(colourAt(code, {0.5, 0.0}), 50.0 - 5.0 + 16.0 + 2.0);
    // `rand` draws a number each time; assigning to it stays an error.
    EXPECT_NE(failureText("rand=1:\nz=z\n|z|<4"), "");
}

TEST(FormulaDialect, AssignmentsInsideExpressions) {
    VariableList variables;
    CompiledStatement statement;
    ASSERT_EQ(compileStatement("(z=z*z+1)*(z<0)", variables, statement), CompileError::None);
    ASSERT_EQ(compileStatement("c=3+(b=2)", variables, statement), CompileError::None);
    EXPECT_EQ(statement.highestVariable, 2u);
    // The value read before the assignment stays the old one.
    EXPECT_EQ(valueOf("z+(z=2)", {5.0, 1.0}), (Complex{7.0, 1.0}));
    EXPECT_EQ(valueOf("z*((z=z+1)+z)", {2.0, 0.0}), (Complex{12.0, 0.0}));
    EXPECT_EQ(compileStatement("3+(z+1=2)", variables, statement), CompileError::AssignmentTarget);
}

} // namespace
} // namespace vortimax
