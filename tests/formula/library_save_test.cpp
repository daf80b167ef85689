// Saving library entries into chosen files, byte for byte, with the questions asked.

#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "formula/library_load.h"
#include "formula/library_save.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vortimax {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::writeBytes;

constexpr std::string_view kCaption = "Saving formula entry";
constexpr std::string_view kNonStandard =
    "The file you chose already exists. I'd like\nto append the parameters at the end of the "
    "file,\nbut after looking more closely at it I found out\nthat it contains non standard "
    "characters.\nThus I assume that this file is not a valid\nformula file.\n\nShould I "
    "really append your formula to this file?";
constexpr std::string_view kStillMalformed =
    "I'm very sorry to annoy you again, but after\nchecking the internal format of the file "
    "I still\nthink that it is not a valid formula file.\n\nAgain, should I really append "
    "YOUR formula\nto THIS file?";
constexpr std::string_view kMalformed =
    "The file you chose already exists. I'd like\nto append the parameters at the end of the "
    "file,\nbut after looking quite closely at it I found\nout that it does not conform to the "
    "format of a\nlegal formula file.\nThus I assume that this file is not a valid\nformula "
    "file.\n\nShould I really append your formula to this file?";
constexpr std::string_view kSameName =
    "The formula file you chose already contains\nan entry with the same name as that to "
    "be\nadded. Should I replace that entry or\nshould I just add the new entry to the "
    "file?\n\nChoose:\n- YES to overwrite the existing entry.\n- NO to add the entry\n- CANCEL "
    "to abort without saving anything.";

const std::string kBasic = "Basic  {\r\nz = pixel:\r\nz = z^2 + pixel\r\n|z| <= 4\r\n}";

std::unique_ptr<FormulaEntry> basic() {
    return formulaFromBody("Basic", "\nz = pixel:\nz = z^2 + pixel\n|z| <= 4\n");
}

class LibrarySave : public ::testing::Test {
protected:
    LibrarySaveResult save(const std::optional<std::string>& existing,
                           std::vector<MessageAnswer> answers) {
        if (existing) {
            writeBytes(file, *existing);
        }
        frontend.queuePath(file);
        for (MessageAnswer answer : answers) {
            frontend.queueAnswer(answer);
        }
        return saveEntry(*basic(), frontend, directory);
    }

    std::vector<std::string> questions() const {
        std::vector<std::string> texts;
        for (const FrontendCall& box : frontend.messageBoxes()) {
            EXPECT_EQ(box.caption, kCaption);
            EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(box.icon, MessageIcon::Question);
            texts.push_back(box.text);
        }
        return texts;
    }

    test::TempDir dir;
    fs::path file = dir / "mine.frm";
    fs::path directory = "/nowhere";
    ScriptedFrontend frontend;
};

TEST_F(LibrarySave, ANewFileStartsWithAnEmptyLine) {
    EXPECT_EQ(save(std::nullopt, {}), LibrarySaveResult::Saved);
    EXPECT_EQ(readBytes(file), "\r\n" + kBasic);
    EXPECT_TRUE(questions().empty());
    EXPECT_EQ(directory, dir.path());
    const auto requester = frontend.callsOf(FrontendCallKind::SaveFile).at(0);
    EXPECT_EQ(requester.caption, "Please select a formula file to save the formula in...");
    EXPECT_EQ(requester.filters, (std::vector<std::string>{"*.frm"}));
}

TEST_F(LibrarySave, AnEntryOfTheSameName) {
    const std::string before = "; mine\nFirst {\nz=0:\nz=z+1\niter<3\n}\n";
    const std::string after = "\n  Last {\nz=1:\nz=z\n1\n}\n";
    const std::string existing = before + "BASIC (XAXIS) {\nold\n}" + after;
    const struct {
        MessageAnswer answer;
        LibrarySaveResult result;
        std::string content;
    } cases[] = {
        {MessageAnswer::Yes, LibrarySaveResult::Saved, before + kBasic + after},
        {MessageAnswer::No, LibrarySaveResult::Saved, existing + "\r\n" + kBasic},
        {MessageAnswer::Cancel, LibrarySaveResult::Cancelled, existing},
    };
    for (const auto& c : cases) {
        frontend.clearCalls();
        EXPECT_EQ(save(existing, {c.answer}), c.result);
        EXPECT_EQ(readBytes(file), c.content);
        EXPECT_EQ(questions(), (std::vector<std::string>{std::string(kSameName)}));
        EXPECT_FALSE(fs::exists(dir / "~tmp0091.bac"));
    }
}

TEST_F(LibrarySave, FilesThatDoNotLookLikeFormulaFiles) {
    const std::string nonStandard = "Julia {\nz=0:\nz=z\n\xe9\n}\n";
    const std::string malformed = "Julia {\nz=0:\nz=z\n1\n";
    const std::string both = "J\x01 {\xe9";
    const struct {
        std::string existing;
        std::vector<MessageAnswer> answers;
        std::vector<std::string_view> asked;
        bool appended;
    } cases[] = {
        {nonStandard, {MessageAnswer::Yes}, {kNonStandard}, true},
        {nonStandard, {MessageAnswer::No}, {kNonStandard}, false},
        {malformed, {MessageAnswer::Yes}, {kMalformed}, true},
        {malformed, {MessageAnswer::No}, {kMalformed}, false},
        {both, {MessageAnswer::Yes, MessageAnswer::Yes}, {kNonStandard, kStillMalformed}, true},
        {both, {MessageAnswer::Yes, MessageAnswer::No}, {kNonStandard, kStillMalformed}, false},
    };
    for (const auto& c : cases) {
        frontend.clearCalls();
        save(c.existing, c.answers);
        EXPECT_EQ(readBytes(file), c.appended ? c.existing + "\r\n" + kBasic : c.existing);
        EXPECT_EQ(questions(), std::vector<std::string>(c.asked.begin(), c.asked.end()));
    }
}

TEST_F(LibrarySave, CancelledRequesterAndWriteFailures) {
    EXPECT_EQ(saveEntry(*basic(), frontend, directory), LibrarySaveResult::Cancelled);
    EXPECT_TRUE(frontend.messageBoxes().empty());
    frontend.queuePath(dir / "missing" / "x.frm");
    EXPECT_EQ(saveEntry(*basic(), frontend, directory), LibrarySaveResult::Failed);
    ASSERT_EQ(frontend.messageBoxes().size(), 1u);
    EXPECT_EQ(frontend.messageBoxes()[0].icon, MessageIcon::Error);
    EXPECT_EQ(frontend.messageBoxes()[0].text,
              "The formula could not be written to\n" + (dir / "missing" / "x.frm").string());
}

// Saving the whole library writes every entry followed by an empty line.
TEST_F(LibrarySave, SaveAllWritesEveryEntry) {
    IfsLibrary library;
    loadLibraryText(library, "Tri {\n.5 0 0 .5 0 0 .33\n.5 0 0 .5 1 0 .33\n}\n"
                             "a3d (3D) {\n1 2 3 4 5 6 7 8 9 10 11 12 .5\n}\n");
    frontend.queuePath(file);
    ASSERT_EQ(saveAll(library, frontend, directory), LibrarySaveResult::Saved);
    const std::string written = readBytes(file);
    EXPECT_EQ(written, "a3d  {\r\n 1 2 3 4 5 6 7 8 9 10 11 12 .5\r\n}\r\n\r\n"
                       "Tri  {\r\n .5 0 0 0 .5 0 0 0 1 0 0 0 .33\r\n .5 0 0 0 .5 0 0 0 1 1 0 0 "
                       ".33\r\n}\r\n\r\n");
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::SaveFile).at(0).caption,
              "Please select a formula file to save all formulas in...");
}

} // namespace
} // namespace vortimax
