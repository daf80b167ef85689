#include "app/temp_dir.h"
#include "base/library_file.h"

#include <gtest/gtest.h>
#include <string>

using namespace vortimax;
using vortimax::test::writeBytes;

namespace {

constexpr unsigned kNS = kLibraryNonStandard, kBad = kLibraryMalformed, kHas = kLibraryHasEntry;

TEST(LibraryFile, FlagsAndTheEntryLocated) {
    const std::string set = "; header { with braces }\r\nJulia  {\r\n  Type=Julia\r\n}\r\n\r\n"
                            "\tmandel (XAXIS) {a}  MANDEL  { second }\nOther  {\n}";
    const std::string keys = "[Zoom].Key1  {\n}\n\n\n[Zoom].Key2  {\n}\nKey2  {}";
    // A brace in a body comment counts only in formula-style (plain) bodies.
    const std::string commented = "Mandel  {\n ; was {z}\n Type=Mandel\n}\nNext  {}";
    const struct {
        std::string text;
        const char* name;
        unsigned flags;
        const char* entry;
        LibraryBodySyntax syntax = LibraryBodySyntax::Plain;
    } cases[] = {
        // The first entry of the name, letter case ignored.
        {set, "Mandel", kHas, "mandel (XAXIS) {a}"},
        {set, "julia", kHas, "Julia  {\r\n  Type=Julia\r\n}"},
        {set, "Mandel1", 0, ""},
        {"", "Mandel", 0, ""},
        {"{ x }\nA {}", "", 0, ""}, // a nameless body is allowed and never matches
        // Folder-prefixed names are whole words.
        {keys, "[zoom].key2", kHas, "[Zoom].Key2  {\n}"},
        {keys, "Key2", kHas, "Key2  {}"},
        {keys, "Key1", 0, ""},
        // Tab, CR, LF and 32..127 are standard; a high byte anywhere is only non-standard,
        // a control byte between entries both.
        {"A\t{\x7f}\r\n", "A", kHas, "A\t{\x7f}"},
        {"; caf\xe9\nA {\xff}", "B", kNS, ""},
        {"Sch\xf6n  {}", "SCH\xf6N", kNS | kHas, "Sch\xf6n  {}"},
        {std::string("A {}\0", 5), "A", kNS | kBad | kHas, "A {}"},
        {"A {}\f", "A", kNS | kBad | kHas, "A {}"},
        {"Na\x01me {}", "Name", kNS | kBad, ""},
        // Format errors stop the scan: entries behind them are not looked for.
        {"Name\n{ }", "Name", kBad, ""},
        {"Name x { }", "Name", kBad, ""},
        {"Name { ", "Name", kBad, ""},
        {"Name", "Name", kBad, ""},
        {"Name (XAXIS { }", "Name", kBad, ""},
        {"A B {}\nWanted {}", "Wanted", kBad, ""},
        {"Wanted {}\nA B {}", "Wanted", kBad | kHas, "Wanted {}"},
        {commented, "Mandel", kHas, "Mandel  {\n ; was {z}\n Type=Mandel\n}",
         LibraryBodySyntax::SemicolonComments},
        {commented, "Mandel", kBad | kHas, "Mandel  {\n ; was {z}"},
    };
    for (const auto& c : cases) {
        const LibraryFileCheck check = checkLibraryText(c.text, c.name, c.syntax);
        EXPECT_EQ(check.flags, c.flags) << c.text << " / " << c.name;
        if (check.has(kHas)) {
            EXPECT_EQ(c.text.substr(check.entryStart, check.entryEnd + 1 - check.entryStart),
                      c.entry);
        }
    }
}

TEST(LibraryFile, FilesMissingUnreadableOrTooLarge) {
    vortimax::test::TempDir dir;
    EXPECT_EQ(checkLibraryFile(dir / "missing.par", "A").flags, unsigned(kLibraryMissing));
    EXPECT_EQ(checkLibraryFile(dir.path(), "A").flags, unsigned(kLibraryUnreadable));

    writeBytes(dir / "set.par", "X  {}\r\nA  {\r\n}");
    const LibraryFileContent content =
        inspectLibraryFile(dir / "set.par", "a", LibraryBodySyntax::SemicolonComments);
    EXPECT_EQ(content.bytes, "X  {}\r\nA  {\r\n}");
    EXPECT_EQ(content.check.flags, kHas);
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
