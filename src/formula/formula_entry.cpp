#include "formula/formula_entry.h"

#include "base/frontend.h"
#include "formula/formula_preprocess.h"

namespace vortimax {

namespace {

// Indices of the colon lines of a complete formula.
struct Sections {
    std::size_t firstColon = 0;
    std::optional<std::size_t> secondColon;
};

constexpr std::size_t kColourLineCount = 2;
constexpr std::size_t kMinIterationLines = 2; // at least one statement and the abort condition

// Nothing when the structure is incomplete: no colon, no init line, fewer than two lines
// in the iteration section, or a colour section of other than two lines.
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
    if (second - first - 1 < kMinIterationLines) {
        return std::nullopt;
    }
    if (second == lines.size()) {
        return Sections{first, std::nullopt};
    }
    if (lines.size() - second - 1 != kColourLineCount) {
        return std::nullopt;
    }
    return Sections{first, second};
}

// Compiles lines and reports the first failure to the person.
class LineCompiler {
public:
    LineCompiler(Frontend* frontend, VariableList& variables)
        : frontend_(frontend), variables_(variables) {}

    bool compile(const std::string& line, std::string_view title, CompiledStatement& out) {
        const CompileError error = compileStatement(line, variables_, out);
        if (error == CompileError::None) {
            return true;
        }
        if (frontend_ != nullptr) {
            showCompileError(*frontend_, title, line, static_cast<int>(error));
        }
        return false;
    }

    bool append(const std::string& line, std::string_view title,
                std::vector<CompiledStatement>& list) {
        CompiledStatement statement;
        if (!compile(line, title, statement)) {
            return false;
        }
        list.push_back(std::move(statement));
        return true;
    }

private:
    Frontend* frontend_;
    VariableList& variables_;
};

bool compileSections(const std::vector<std::string>& lines, const Sections& sections,
                     LineCompiler& compiler, FormulaCode& code) {
    for (std::size_t i = 0; i < sections.firstColon; ++i) {
        if (!compiler.append(lines[i], "Error in Initmember", code.init)) {
            return false;
        }
    }
    std::size_t end = lines.size(); // one past the abort condition
    if (sections.secondColon) {
        end = *sections.secondColon;
        if (!compiler.compile(lines[end + 1], "Error in Color1-member", code.insideColour) ||
            !compiler.compile(lines[end + 2], "Error in Color2-member", code.outsideColour)) {
            return false;
        }
    }
    CompiledStatement abort;
    if (!compiler.compile(lines[end - 1], "Error in Abortcondition", abort)) {
        return false;
    }
    code.abort = std::move(abort);
    for (std::size_t i = sections.firstColon + 1; i + 1 < end; ++i) {
        if (!compiler.append(lines[i], "Error in Itermember", code.iteration)) {
            return false;
        }
    }
    return true;
}

} // namespace

int compileFormula(FormulaEntry& entry, std::string_view name, std::string_view source,
                   FormulaCompileOptions options, Frontend* frontend) {
    Frontend* const reporter = options.silent ? nullptr : frontend;
    const std::vector<std::string> lines = preprocessFormula(source);
    const std::optional<Sections> sections = findSections(lines);
    if (!sections) {
        if (reporter != nullptr) {
            reporter->messageBox(kParsingFormulaCaption, kIncompleteFormulaText, MessageButtons::Ok,
                                 MessageIcon::Error);
        }
        return 1;
    }
    VariableList variables;
    LineCompiler compiler(reporter, variables);
    FormulaCode code;
    if (!compileSections(lines, *sections, compiler, code)) {
        return 1;
    }
    code.variableCount = static_cast<std::uint32_t>(variables.size());
    if (!options.checkOnly) {
        entry.name = std::string(name);
        entry.source = std::string(source);
        entry.code = std::move(code);
    }
    return 0;
}

} // namespace vortimax
