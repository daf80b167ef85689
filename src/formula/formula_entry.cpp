#include "formula/formula_entry.h"

#include "base/frontend.h"
#include "formula/formula_blocks.h"
#include "formula/formula_postfix.h"
#include "formula/formula_preprocess.h"
#include "formula/formula_shadow.h"
#include "formula/formula_token_codes.h"

#include <cctype>

namespace vortimax {

namespace {

// Indices of the colon lines of a complete formula.
struct Sections {
    std::size_t firstColon = 0;
    std::optional<std::size_t> secondColon;
};

constexpr std::size_t kColourLineCount = 2;

// Nothing when the structure is incomplete: no colon, no init line, no line in the
// iteration section, or a colour section of other than two lines. An iteration section of
// one line has no abort condition of its own (see compileSections).
std::optional<Sections> findSections(const std::vector<std::string>& lines) {
    const auto isColon = [&](std::size_t i) { return lines[i] == ":"; };
    std::size_t first = 0;
    while (first < lines.size() && !isColon(first)) {
        ++first;
    }
    if (first == 0 || first == lines.size()) {
        return std::nullopt;
    }
    std::size_t second = first + 1;
    while (second < lines.size() && !isColon(second)) {
        ++second;
    }
    if (second - first - 1 < 1) {
        return std::nullopt;
    }
    if (second == lines.size()) {
        return Sections{first, std::nullopt};
    }
    if (second - first - 1 < 2 || lines.size() - second - 1 != kColourLineCount) {
        return std::nullopt;
    }
    return Sections{first, second};
}

// The first failure of a compile, reported only when no reading of the formula compiles.
struct CompileFailure {
    bool incomplete = false;
    std::string title;
    std::string line;
    CompileError error = CompileError::None;
};

// Compiles lines, remembering the first failure.
class LineCompiler {
public:
    explicit LineCompiler(VariableList& variables) : variables_(variables) {}

    // One statement by itself: an if block word cannot stand here.
    bool compile(const std::string& line, std::string_view title, CompiledStatement& out) {
        std::string_view condition;
        if (blockWordOf(line, condition) != BlockWord::None) {
            return check(CompileError::BlockStructure, title, line);
        }
        return check(compileStatement(line, variables_, out), title, line);
    }

    // Lines with if blocks into one statement list.
    bool block(const std::vector<std::string>& lines, std::size_t begin, std::size_t end,
               std::string_view title, std::vector<CompiledStatement>& list) {
        BlockCompiler compiler(variables_, list);
        for (std::size_t i = begin; i < end; ++i) {
            if (!check(compiler.line(lines[i]), title, lines[i])) {
                return false;
            }
        }
        return check(compiler.finish(), title, end > begin ? lines[end - 1] : std::string());
    }

    const CompileFailure& failure() const { return failure_; }

private:
    bool check(CompileError error, std::string_view title, std::string_view line) {
        if (error == CompileError::None) {
            return true;
        }
        failure_ = {false, std::string(title), std::string(line), error};
        return false;
    }

    VariableList& variables_;
    CompileFailure failure_;
};

// A statement that reads the first assignment target of `statement` (its value).
std::optional<CompiledStatement> readFirstTarget(const CompiledStatement& statement) {
    const std::vector<std::uint32_t>& words = statement.words;
    std::size_t at = 0;
    while (at < words.size() && words[at] != kTokEnd) {
        at += tokenWidth(words, at);
    }
    ++at;
    if (at >= words.size() || words[at] == kTokEnd) {
        return std::nullopt;
    }
    CompiledStatement read;
    read.words.push_back(words[at]);
    if (words[at] == kTokVariable && at + 1 < words.size()) {
        read.words.push_back(words[at + 1]);
        read.highestVariable = words[at + 1];
    }
    read.words.insert(read.words.end(), {kTokEnd, kTokEnd});
    read.stackDepth = 1;
    return read;
}

// An iteration section of one line has no abort line, as in older formula files: an
// assignment is the iteration statement and the pixel goes on while the value it assigned
// has a real part other than 0; any other statement is the abort condition itself.
bool compileWithoutAbortLine(const std::string& line, LineCompiler& compiler, FormulaCode& code) {
    std::vector<CompiledStatement> iteration;
    if (!compiler.block({line}, 0, 1, "Error in Itermember", iteration)) {
        return false;
    }
    if (iteration.size() == 1) {
        if (std::optional<CompiledStatement> read = readFirstTarget(iteration[0])) {
            code.iteration = std::move(iteration);
            code.abort = std::move(*read);
            return true;
        }
        code.abort = std::move(iteration[0]);
        return true;
    }
    return false;
}

bool compileSections(const std::vector<std::string>& lines, const Sections& sections,
                     LineCompiler& compiler, FormulaCode& code) {
    if (!compiler.block(lines, 0, sections.firstColon, "Error in Initmember", code.init)) {
        return false;
    }
    std::size_t end = lines.size(); // one past the abort condition
    if (sections.secondColon) {
        end = *sections.secondColon;
        if (!compiler.compile(lines[end + 1], "Error in Color1-member", code.insideColour) ||
            !compiler.compile(lines[end + 2], "Error in Color2-member", code.outsideColour)) {
            return false;
        }
    }
    if (end == sections.firstColon + 2) {
        return compileWithoutAbortLine(lines[end - 1], compiler, code);
    }
    CompiledStatement abort;
    if (!compiler.compile(lines[end - 1], "Error in Abortcondition", abort)) {
        return false;
    }
    code.abort = std::move(abort);
    return compiler.block(lines, sections.firstColon + 1, end - 1, "Error in Itermember",
                          code.iteration);
}

// Compiles one reading of a formula into `code`; a formula that assigns to predefined
// names gets its own variables for them first.
bool compileLines(const std::vector<std::string>& lines, FormulaCode& code,
                  CompileFailure& failure) {
    const std::optional<Sections> sections = findSections(lines);
    if (!sections) {
        failure = {true, {}, {}, CompileError::None};
        return false;
    }
    VariableList variables;
    for (const std::string& name : assignedPredefinedNames(lines)) {
        code.init.push_back(shadowStart(name, variables.shadow(name)));
    }
    LineCompiler compiler(variables);
    if (!compileSections(lines, *sections, compiler, code)) {
        failure = compiler.failure();
        return false;
    }
    code.variableCount = static_cast<std::uint32_t>(variables.size());
    return true;
}

bool isWordCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
}

// Whether the text after each semicolon could be statements rather than a comment: text in
// which two words stand side by side, separated by blanks only, is a comment.
bool semicolonsCanSeparate(std::string_view source) {
    if (source.find(';') == std::string_view::npos) {
        return false;
    }
    bool afterSemicolon = false;
    bool wordEnded = false; // a word followed by blanks
    char last = ' ';
    for (const char c : source) {
        if (c == ';' || c == '\n') {
            afterSemicolon = c == ';';
            wordEnded = false;
        } else if (afterSemicolon && (c == ' ' || c == '\t')) {
            wordEnded = wordEnded || isWordCharacter(last);
        } else if (afterSemicolon) {
            if (wordEnded && isWordCharacter(c)) {
                return false;
            }
            wordEnded = false;
        }
        last = c;
    }
    return true;
}

void report(Frontend& frontend, const CompileFailure& failure) {
    if (failure.incomplete) {
        frontend.messageBox(kParsingFormulaCaption, kIncompleteFormulaText, MessageButtons::Ok,
                            MessageIcon::Error);
    } else {
        showCompileError(frontend, failure.title, failure.line, static_cast<int>(failure.error));
    }
}

} // namespace

int compileFormula(FormulaEntry& entry, std::string_view name, std::string_view source,
                   FormulaCompileOptions options, Frontend* frontend) {
    Frontend* const reporter = options.silent ? nullptr : frontend;
    FormulaCode code;
    CompileFailure failure;
    if (!compileLines(preprocessFormula(source), code, failure)) {
        // The oldest files separate statements with semicolons and have no comments.
        FormulaCode older;
        CompileFailure ignored;
        if (!semicolonsCanSeparate(source) ||
            !compileLines(preprocessFormula(source, true), older, ignored)) {
            if (reporter != nullptr) {
                report(*reporter, failure);
            }
            return 1;
        }
        code = std::move(older);
    }
    if (!options.checkOnly) {
        entry.name = std::string(name);
        entry.source = std::string(source);
        entry.code = std::move(code);
    }
    return 0;
}

} // namespace vortimax
