#include "app/temp_dir.h"
#include "base/library_file.h"

#include <gtest/gtest.h>
#include <string>

using namespace vortimax;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

constexpr LibraryBodySyntax kPar = LibraryBodySyntax::SemicolonComments;

// The entry text the check located.
std::string located(std::string_view text, const LibraryFileCheck& check) {
    if (!check.has(kLibraryHasEntry))
        return "(none)";
    return std::string(text.substr(check.entryStart, check.entryEnd + 1 - check.entryStart));
}

TEST(LibraryFile, FindsTheFirstEntryOfTheNameWithExactOffsets) {
    const std::string text = "; header { with braces }\r\n"
                             "Julia  {\r\n  Type=Julia\r\n}\r\n\r\n"
                             "\tmandel (XAXIS) {a}  MANDEL  { second }\n"
                             "Other  {\n}";
    const LibraryFileCheck check = checkLibraryText(text, "Mandel");
    EXPECT_EQ(check.flags, unsigned(kLibraryHasEntry));
    EXPECT_EQ(located(text, check), "mandel (XAXIS) {a}");
    EXPECT_EQ(located(text, checkLibraryText(text, "julia")), "Julia  {\r\n  Type=Julia\r\n}");
    EXPECT_EQ(checkLibraryText(text, "Mandel1").flags, 0u);
    EXPECT_EQ(checkLibraryText("", "Mandel").flags, 0u);
    // A nameless body is allowed and never matches.
    EXPECT_EQ(checkLibraryText("{ x }\nA {}", "").flags, 0u);
}

TEST(LibraryFile, FolderPrefixedNamesAreWholeWords) {
    const std::string text = "[Zoom].Key1  {\n}\n\n\n[Zoom].Key2  {\n}\nKey2  {}";
    EXPECT_EQ(located(text, checkLibraryText(text, "[zoom].key2")), "[Zoom].Key2  {\n}");
    EXPECT_EQ(located(text, checkLibraryText(text, "Key2")), "Key2  {}");
    EXPECT_EQ(checkLibraryText(text, "Key1").flags, 0u);
}

TEST(LibraryFile, NonStandardBytes) {
    // Tab, CR, LF and 32..127 (DEL included) are standard.
    EXPECT_EQ(checkLibraryText("A\t{\x7f}\r\n", "A").flags, unsigned(kLibraryHasEntry));
    // A high byte inside a comment or body is only non-standard, not a format error.
    EXPECT_EQ(checkLibraryText("; caf\xe9\nA {\xff}", "B").flags, unsigned(kLibraryNonStandard));
    // A name may hold high bytes; it is still found.
    EXPECT_EQ(checkLibraryText("Sch\xf6n  {}", "SCH\xf6N").flags,
              unsigned(kLibraryNonStandard | kLibraryHasEntry));
    // A control byte between entries is both.
    EXPECT_EQ(checkLibraryText(std::string("A {}\0", 5), "A").flags,
              unsigned(kLibraryNonStandard | kLibraryMalformed | kLibraryHasEntry));
}

TEST(LibraryFile, FormatErrorsStopTheScan) {
    struct Case {
        const char* text;
        const char* what;
    };
    const Case cases[] = {
        {"Name\n{ }", "line break between name and brace"},
        {"Name x { }", "two words before the brace"},
        {"Name { ", "body without closing brace"},
        {"Name", "text ends in a name"},
        {"Name  ", "text ends after a name"},
        {"Name (XAXIS { }", "note without closing parenthesis"},
        {"A {}\f", "form feed between entries"},
        {"Na\x01me {}", "control byte in a name"},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(checkLibraryText(c.text, "Name").has(kLibraryMalformed)) << c.what;
    // An entry behind the error is not looked for.
    const LibraryFileCheck check = checkLibraryText("A B {}\nWanted {}", "Wanted");
    EXPECT_EQ(check.flags, unsigned(kLibraryMalformed));
    // An entry before it is found, with its offsets.
    EXPECT_EQ(checkLibraryText("Wanted {}\nA B {}", "Wanted").flags,
              unsigned(kLibraryMalformed | kLibraryHasEntry));
}

TEST(LibraryFile, BraceInABodyCommentCountsOnlyInPlainBodies) {
    const std::string text = "Mandel  {\n ; was {z}\n Type=Mandel\n}\nNext  {}";
    EXPECT_EQ(located(text, checkLibraryText(text, "Mandel", kPar)),
              "Mandel  {\n ; was {z}\n Type=Mandel\n}");
    // A formula body ends at the first brace, leaving words that break the format.
    const LibraryFileCheck plain = checkLibraryText(text, "Mandel");
    EXPECT_EQ(located(text, plain), "Mandel  {\n ; was {z}");
    EXPECT_TRUE(plain.has(kLibraryMalformed));
}

TEST(LibraryFile, FilesMissingUnreadableOrTooLarge) {
    TempDir dir;
    EXPECT_EQ(checkLibraryFile(dir / "missing.par", "A").flags, unsigned(kLibraryMissing));
    EXPECT_EQ(checkLibraryFile(dir.path(), "A").flags, unsigned(kLibraryUnreadable));

    writeBytes(dir / "set.par", "X  {}\r\nA  {\r\n}");
    const LibraryFileContent content = inspectLibraryFile(dir / "set.par", "a", kPar);
    EXPECT_EQ(content.bytes, "X  {}\r\nA  {\r\n}");
    EXPECT_EQ(content.check.flags, unsigned(kLibraryHasEntry));
    EXPECT_EQ(content.check.entryStart, 7u);
    EXPECT_EQ(content.check.entryEnd, 13u);

    // A sparse file just beyond the limit is refused without being read.
    writeBytes(dir / "huge.par", "");
    std::filesystem::resize_file(dir / "huge.par", kMaxLibraryFileBytes + 1);
    std::string bytes = "stale";
    EXPECT_EQ(readLibraryFile(dir / "huge.par", bytes), LibraryReadStatus::Unreadable);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(checkLibraryFile(dir / "huge.par", "A").flags, unsigned(kLibraryUnreadable));
}

} // namespace
