#pragma once

// An IFS definition: a named set of affine transformations whose coefficients are
// expressions of the formula language, each compiled by itself.

#include "formula/formula_errors.h"
#include "formula/formula_statement.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

class Frontend;
struct EvalContext;

// The elements of a transformation: the matrix rows, the vector, the probability.
enum IfsElementIndex : std::size_t {
    kIfsM11,
    kIfsM12,
    kIfsM13,
    kIfsM21,
    kIfsM22,
    kIfsM23,
    kIfsM31,
    kIfsM32,
    kIfsM33,
    kIfsVec1,
    kIfsVec2,
    kIfsVec3,
    kIfsProbability,
    kIfsElementCount,
};

// Fields of a plane transformation line (a b c d e f p) and of a spatial one.
inline constexpr std::size_t kIfsPlaneFieldCount = 7;
inline constexpr std::size_t kIfsSpatialFieldCount = kIfsElementCount;
inline constexpr std::size_t kMaxIfsElementLength = 499;
// Room for the compiled code of one element.
inline constexpr std::size_t kMaxIfsElementCodeBytes = 2000;
// Title of the error box for an element that does not compile.
inline constexpr std::string_view kIfsElementErrorTitle = "Parsing";

struct IfsElement {
    std::string text; // empty stands for 0
    // Nothing for an empty element or one that did not compile: it evaluates as 0.
    std::optional<CompiledStatement> code;
    std::uint32_t variableCount = 0;
};

struct IfsTransform {
    std::array<IfsElement, kIfsElementCount> elements;
};

struct IfsEntry {
    std::string name;
    std::vector<IfsTransform> transforms;
};

// Bytes the compiled statement occupies in its slot: four per expression word and
// terminator, plus 8 without assignment or 200 with one (targets and terminator).
std::size_t compiledStatementBytes(const CompiledStatement& statement);

// Compiles `text` by itself (a fresh variable list); TooLong beyond kMaxIfsElementLength
// characters or kMaxIfsElementCodeBytes of code. An empty text compiles to nothing. On
// success `code` and `variableCount` are filled.
CompileError compileIfsElement(std::string_view text, std::optional<CompiledStatement>& code,
                               std::uint32_t& variableCount);

// Sets an element as read from a file: the text is kept; the code only when it compiles.
// A failure is shown (title "Parsing") when `frontend` is given. Returns the error.
CompileError setIfsElement(IfsElement& element, std::string_view text, Frontend* frontend);

// Editing one element: the text is stored, and the compiled code replaced only when the
// new text compiles; otherwise the failure is shown and the old code stays. Returns
// whether it compiled.
bool editIfsElement(IfsElement& element, std::string_view text, Frontend& frontend);

// The transformations of a body: one per line of 7 (plane) or 13 (spatial) fields; other
// lines are ignored, and so is a line with a field longer than kMaxIfsElementLength. A plane
// line a b c d e f p stands for the rows (a, b, 0), (c, d, 0), (0, 0, 1), the vector
// (e, f, 0) and the probability p; the zeros stay empty elements and the 1 is the text "1".
// Element failures are shown through `frontend` when given.
std::vector<IfsTransform> parseIfsBody(std::string_view body, Frontend* frontend = nullptr);

// The value of an element: the real part of its expression, 0 for an element without code.
double ifsElementValue(const IfsElement& element, EvalContext& context);

} // namespace vortimax
