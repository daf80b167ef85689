#include "formula/ifs_entry.h"

#include "formula/formula_eval.h"
#include "formula/formula_postfix.h"
#include "formula/formula_variables.h"
#include "formula/library_body.h"

#include <algorithm>
#include <span>

namespace vortimax {

namespace {

constexpr std::size_t kWordBytes = 4;
constexpr std::size_t kTargetlessExtra = 8;
constexpr std::size_t kTargetListExtra = 200;

// Where each field of a plane line goes; the other elements stay empty except m33.
constexpr std::array<std::size_t, kIfsPlaneFieldCount> kPlaneElements{
    kIfsM11, kIfsM12, kIfsM21, kIfsM22, kIfsVec1, kIfsVec2, kIfsProbability};
constexpr std::string_view kPlaneM33 = "1";

// The fields of `line` in element order, or nothing when the line is no transformation.
std::optional<std::array<std::string_view, kIfsElementCount>> elementTexts(const BodyLine& line) {
    if (line.size() != kIfsPlaneFieldCount && line.size() != kIfsSpatialFieldCount) {
        return std::nullopt;
    }
    if (std::any_of(line.begin(), line.end(),
                    [](const std::string& field) { return field.size() > kMaxIfsElementLength; })) {
        return std::nullopt;
    }
    std::array<std::string_view, kIfsElementCount> texts{};
    if (line.size() == kIfsSpatialFieldCount) {
        std::copy(line.begin(), line.end(), texts.begin());
        return texts;
    }
    for (std::size_t field = 0; field < kIfsPlaneFieldCount; ++field) {
        texts[kPlaneElements[field]] = line[field];
    }
    texts[kIfsM33] = kPlaneM33;
    return texts;
}

} // namespace

std::size_t compiledStatementBytes(const CompiledStatement& statement) {
    const std::span<const std::uint32_t> words(statement.words);
    std::size_t expressionWords = 0;
    while (expressionWords < words.size() && words[expressionWords] != 0) {
        expressionWords += tokenWidth(words, expressionWords);
    }
    const bool hasTargets = expressionWords + 1 < words.size() && words[expressionWords + 1] != 0;
    return kWordBytes * (expressionWords + 1) + (hasTargets ? kTargetListExtra : kTargetlessExtra);
}

CompileError compileIfsElement(std::string_view text, std::optional<CompiledStatement>& code,
                               std::uint32_t& variableCount) {
    if (text.empty()) {
        code.reset();
        variableCount = 0;
        return CompileError::None;
    }
    if (text.size() > kMaxIfsElementLength) {
        return CompileError::TooLong;
    }
    VariableList variables;
    CompiledStatement statement;
    if (const CompileError error = compileStatement(text, variables, statement);
        error != CompileError::None) {
        return error;
    }
    if (compiledStatementBytes(statement) > kMaxIfsElementCodeBytes) {
        return CompileError::TooLong;
    }
    code = std::move(statement);
    variableCount = static_cast<std::uint32_t>(variables.size());
    return CompileError::None;
}

CompileError setIfsElement(IfsElement& element, std::string_view text, Frontend* frontend) {
    element.text = std::string(text);
    element.code.reset();
    element.variableCount = 0;
    const CompileError error = compileIfsElement(text, element.code, element.variableCount);
    if (error != CompileError::None && frontend != nullptr) {
        showCompileError(*frontend, kIfsElementErrorTitle, text, static_cast<int>(error));
    }
    return error;
}

bool editIfsElement(IfsElement& element, std::string_view text, Frontend& frontend) {
    std::optional<CompiledStatement> code;
    std::uint32_t variableCount = 0;
    const CompileError error = compileIfsElement(text, code, variableCount);
    if (error != CompileError::None) {
        showCompileError(frontend, kIfsElementErrorTitle, text, static_cast<int>(error));
        if (text.size() <= kMaxIfsElementLength) {
            element.text = std::string(text);
        }
        return false;
    }
    element.text = std::string(text);
    element.code = std::move(code);
    element.variableCount = variableCount;
    return true;
}

std::vector<IfsTransform> parseIfsBody(std::string_view body, Frontend* frontend) {
    std::vector<IfsTransform> transforms;
    for (const BodyLine& line : bodyLines(body)) {
        const auto texts = elementTexts(line);
        if (!texts) {
            continue;
        }
        IfsTransform& transform = transforms.emplace_back();
        for (std::size_t index = 0; index < kIfsElementCount; ++index) {
            setIfsElement(transform.elements[index], (*texts)[index], frontend);
        }
    }
    return transforms;
}

double ifsElementValue(const IfsElement& element, EvalContext& context) {
    if (!element.code) {
        return 0.0;
    }
    context.resetVariables(element.variableCount);
    if (!evaluate(context, *element.code)) {
        return 0.0;
    }
    return context.accumulator.re;
}

} // namespace vortimax
