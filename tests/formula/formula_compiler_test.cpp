// Tests of the statement compiler and of compileFormula.

#include "app/scripted_frontend.h"
#include "formula/formula_entry.h"
#include "formula/formula_errors.h"
#include "formula/formula_eval.h"
#include "formula/formula_preprocess.h"
#include "formula/formula_statement.h"
#include "formula/formula_token_codes.h"
#include "formula_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

using test::statementText;

std::string compiled(const std::string& text) {
    VariableList variables;
    CompiledStatement statement;
    const CompileError error = compileStatement(text, variables, statement);
    EXPECT_EQ(error, CompileError::None) << text;
    return statementText(statement);
}

CompileError compileError(const std::string& text) {
    VariableList variables;
    CompiledStatement statement;
    return compileStatement(text, variables, statement);
}

TEST(FormulaCompiler, PostfixForms) {
    const struct {
        std::string text;
        std::string postfix;
    } cases[] = {
        {"z=z^2+p1", "z 2 ^ p1 + ; z"},
        {"z=c=pixel", "pixel ; z #1"},
        {"2^3^2", "2 3 ^ 2 ^"},
        {"-2^2", "2 neg 2 ^"},
        {"2^-2", "2 2 neg ^"},
        {"sin(z)+1", "z sin 1 +"},
        {"sin-z^2", "z neg sin 2 ^"},
        {"1+2*3", "1 2 3 * +"},
        {"(1+2)*3", "1 2 + 3 *"},
        {"1-2-3", "1 2 - 3 -"},
        {"a<b&&c>d", "#1 #2 < #3 && #4 >"},
        {"a||b<c", "#1 #2 || #3 <"},
        {"!a==b", "#1 ! #2 =="},
        {"|z|<=4", "z mod 4 <="},
        {"srand(7)", "7 srand"},
        {"(z)=(c)=-1", "1 neg ; z #1"},
        {"a=(b=3)", "3 ; #1 #2"},
    };
    for (const auto& [text, postfix] : cases) {
        EXPECT_EQ(compiled(text), postfix) << text;
    }
}

TEST(FormulaCompiler, Errors) {
    const struct {
        std::string text;
        CompileError error;
    } cases[] = {
        {"(z+1", CompileError::Brackets},
        {"z+1)", CompileError::Brackets},
        {"[z)", CompileError::Brackets},
        {"|z", CompileError::Brackets},
        {"z#1", CompileError::IllegalCharacter},
        {"z z", CompileError::IllegalCharacter},
        {"a&b", CompileError::UnknownToken},
        {"1+..", CompileError::UnknownToken},
        {"1e5", CompileError::OperandCount},
        {"zz(z)", CompileError::UnknownFunction},
        {"()", CompileError::OperandCount},
        {"", CompileError::OperandCount},
        {"z+", CompileError::OperandCount},
        {"|z+|w||", CompileError::OperandCount},
        {"z=", CompileError::OperandCount},
        {"z=3+(c+1=2)", CompileError::AssignmentTarget},
        {"z=3+(p1=2)", CompileError::AssignmentTarget},
        {"z+1=3", CompileError::AssignmentTarget},
        {"p1=0", CompileError::AssignmentTarget},
        {"-z=1", CompileError::AssignmentTarget},
        {std::string(kMaxStatementLength + 1, '1'), CompileError::TooLong},
        {std::string(kMaxIdentifierLength + 1, 'v'), CompileError::TooLong},
        {std::string(kMaxBarDepth, '(') + "|z|" + std::string(kMaxBarDepth, ')'),
         CompileError::TooLong},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(compileError(text), error) << text.substr(0, 40);
    }
    EXPECT_EQ(compileError(std::string(kMaxStatementLength, '1')), CompileError::None);
}

// 1+(1+(1+ ... (1) ... )) keeps one value per level pending.
std::string nestedSum(std::uint32_t pendingValues) {
    std::string text;
    for (std::uint32_t i = 1; i < pendingValues; ++i) {
        text += "1+(";
    }
    return text + "1" + std::string(pendingValues - 1, ')');
}

// The deepest statement compiles and runs on the whole value stack; one level more is refused.
TEST(FormulaCompiler, ValueStackBound) {
    VariableList variables;
    CompiledStatement statement;
    ASSERT_EQ(compileStatement(nestedSum(kValueStackSize), variables, statement),
              CompileError::None);
    EXPECT_EQ(statement.stackDepth, kValueStackSize);
    EvalContext context;
    context.resetVariables(0);
    ASSERT_TRUE(evaluate(context, statement));
    EXPECT_EQ(context.accumulator, (Complex{static_cast<double>(kValueStackSize), 0.0}));
    EXPECT_EQ(compileError(nestedSum(kValueStackSize + 1)), CompileError::TooLong);
    const std::string deepModulus =
        std::string(kValueStackSize, '[') + "z" + std::string(kValueStackSize, ']');
    EXPECT_EQ(compileError("1+" + deepModulus), CompileError::None); // brackets hold no values
}

TEST(FormulaCompiler, ErrorMessages) {
    const std::string texts[] = {
        "Probably brackets are set wrong",
        "Illegal character encountered...",
        "Unknown operand/operator, perhaps you misspelled something...",
        "Unknown error, this shouldn't happen. Contact the author...",
        "Number of operands doesn't match number of operators...",
        "Statement too long or nested too deeply...",
        "Assignments can only be made at the beginning of a formula...",
        "All left assignment statements must be variables...",
    };
    for (int code = 1; code <= 8; ++code) {
        EXPECT_EQ(compileErrorMessage("T", "z=(", code),
                  "T:\nOffending line: z=(\n          " + texts[code - 1]);
    }
    EXPECT_EQ(compileErrorMessage("T", "z=(", 11), "T:\nOffending line: z=(");
}

// --- compileFormula ---

struct FormulaCompile {
    int result = 0;
    FormulaEntry entry;
    std::vector<FrontendCall> boxes;
};

FormulaCompile compileWhole(const std::string& source) {
    ScriptedFrontend frontend;
    FormulaCompile run;
    run.result = compileFormula(run.entry, "Name", source, {}, &frontend);
    run.boxes = frontend.messageBoxes();
    return run;
}

TEST(FormulaCompileFormula, SectionStructure) {
    const FormulaCompile plain = compileWhole("z = Pixel:\nz = z^2 + Pixel\nabs(z) <= 4");
    ASSERT_EQ(plain.result, 0);
    EXPECT_TRUE(plain.boxes.empty());
    ASSERT_EQ(plain.entry.code.init.size(), 1u);
    EXPECT_EQ(statementText(plain.entry.code.init[0]), "pixel ; z");
    ASSERT_EQ(plain.entry.code.iteration.size(), 1u);
    EXPECT_EQ(statementText(plain.entry.code.iteration[0]), "z 2 ^ pixel + ; z");
    EXPECT_EQ(statementText(*plain.entry.code.abort), "z abs 4 <=");

    // Variables are numbered in compile order: init (a, u), colours (c, then b), abort,
    // iteration lines (d).
    const FormulaCompile coloured = compileWhole("a=1,u=2:\nz=b+c+d\nz=z*b\n|z|<4:\nc\nb");
    ASSERT_EQ(coloured.result, 0);
    EXPECT_EQ(coloured.entry.code.init.size(), 2u);
    ASSERT_EQ(coloured.entry.code.iteration.size(), 2u);
    EXPECT_EQ(statementText(coloured.entry.code.iteration[0]), "#4 #3 + #5 + ; z");
    EXPECT_EQ(statementText(coloured.entry.code.iteration[1]), "z #4 * ; z");
    EXPECT_EQ(statementText(*coloured.entry.code.abort), "z mod 4 <");
    EXPECT_EQ(statementText(coloured.entry.code.insideColour), "#3");
    EXPECT_EQ(statementText(coloured.entry.code.outsideColour), "#4");
    EXPECT_EQ(coloured.entry.code.variableCount, 5u);
}

// Missing sections, and the first failing statement in compile order: init, inside colour,
// outside colour, abort condition, iteration lines.
TEST(FormulaCompileFormula, FailuresShowOneBox) {
    const std::string incomplete = "Unexpected end of formula. Incomplete formula...";
    const struct {
        std::string source;
        std::string text;
    } cases[] = {
        {"z=1", incomplete},
        {":\nz=z\nz<4", incomplete},
        {"z=1:\n:\nz<4", incomplete},
        {"z=pixel:z=z*z+p1:abs(z)<4", incomplete},
        {"z=1:\nz=z\nz<4:\nc1", incomplete},
        {"z=1:\nz=z\nz<4:\nc1\nc2\nc3", incomplete},
        {"z=1:\nz=z\nz<4:", incomplete},
        {"a=#:\nz=#\n#:\n#\n#", compileErrorMessage("Error in Initmember", "a=#", 2)},
        {"a=1:\nz=#\n#:\n#\n#", compileErrorMessage("Error in Color1-member", "#", 2)},
        {"a=1:\nz=#\nz<#:\n1\n2)", compileErrorMessage("Error in Color2-member", "2)", 1)},
        {"a=1:\nz=#\nz<(:\n1\n2", compileErrorMessage("Error in Abortcondition", "z<(", 1)},
        {"a=1:\nz=1\nz=#\nz<4", compileErrorMessage("Error in Itermember", "z=#", 2)},
    };
    for (const auto& [source, text] : cases) {
        const FormulaCompile run = compileWhole(source);
        EXPECT_EQ(run.result, 1) << source;
        ASSERT_EQ(run.boxes.size(), 1u) << source;
        EXPECT_EQ(run.boxes[0].caption, "Parsing formula");
        EXPECT_EQ(run.boxes[0].icon, MessageIcon::Error);
        EXPECT_EQ(run.boxes[0].text, text) << source;
    }
}

TEST(FormulaCompileFormula, CheckOnlySilentAndFailureKeepTheEntry) {
    ScriptedFrontend frontend;
    FormulaEntry entry;
    const std::string good = "z=pixel:\nz=z*z+pixel\n|z|<=4";
    ASSERT_EQ(compileFormula(entry, "Good", good, {}, &frontend), 0);
    const std::string before = statementText(entry.code.iteration[0]);

    const std::string other = "z=0:\nz=z+1\nz<9";
    EXPECT_EQ(compileFormula(entry, "Other", other, {.checkOnly = true}, &frontend), 0);
    EXPECT_EQ(entry.name, "Good");
    EXPECT_EQ(entry.source, good);
    EXPECT_EQ(statementText(entry.code.iteration[0]), before);

    EXPECT_EQ(compileFormula(entry, "Bad", "z=0:\nz=z+(\nz<9", {.silent = true}, &frontend), 1);
    EXPECT_TRUE(frontend.messageBoxes().empty());
    EXPECT_EQ(compileFormula(entry, "Bad", "z=0:\nz=z+(\nz<9", {}, nullptr), 1);
    EXPECT_EQ(compileFormula(entry, "Bad", "z=0:\nz=z+(\nz<9", {}, &frontend), 1);
    EXPECT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(entry.source, good);
    EXPECT_EQ(statementText(entry.code.iteration[0]), before);
}

} // namespace
} // namespace vortimax
