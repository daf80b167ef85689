#include "imagefile/entry_text_shape.h"

#include <gtest/gtest.h>

namespace vortimax {
namespace {

TEST(EntryTextShape, OneNamedBracedEntryAndNothingElse) {
    const struct {
        std::string_view text;
        bool entry;
    } cases[] = {
        {"Mine  {\r\n  Type=Mandel\r\n}", true},
        {"\r\n Mine (a note) {type=julia}\r\n\r\n", true},
        {"Mine{}", true},
        {"Mine { ; a comment with } a brace\n maxiter=9 }", true},
        {"", false},
        {"   \r\n", false},
        {"this is not an entry at all", false},
        {"type=mandel maxiter=99", false},
        {"{ type=mandel }", false},    // no name
        {"Mine { type=mandel", false}, // never closed
        {"Mine { ; closed only in a comment }", false},
        {"Mine (note { type=mandel }", false}, // note never closed
        {"Mine { type=mandel } trailing", false},
        {"One { } Two { }", false},
        {"Mine } type=mandel {", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSingleEntryText(c.text), c.entry) << c.text;
}

} // namespace
} // namespace vortimax
