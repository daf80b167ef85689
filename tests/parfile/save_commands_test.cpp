#include "app/scripted_frontend.h"
#include "app/temp_dir.h"
#include "base/text_io.h"
#include "model/folder.h"
#include "model/type_registry.h"
#include "parfile/entry_writer.h"
#include "parfile/save_commands.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

using namespace vortimax;
using vortimax::test::readBytes;
using vortimax::test::TempDir;
using vortimax::test::writeBytes;

namespace {

constexpr const char* kCaption = "Saving parameters";
constexpr const char* kNonStandard =
    "The file you chose already exists. I'd like\nto append the parameters at the end of the "
    "file,\nbut after looking more closely at it I found out\nthat it contains non standard "
    "characters.\nThus I assume that this file is not a valid\nparameter file.\n\nShould I "
    "really append your parameters to this file?";
constexpr const char* kStillMalformed =
    "I'm very sorry to annoy you again, but after\nchecking the internal format of the file I "
    "still\nthink that it is not a valid parameter file.\n\nAgain, should I really append YOUR "
    "parameters\nto THIS file?";
constexpr const char* kMalformed =
    "The file you chose already exists. I'd like\nto append the parameters at the end of the "
    "file,\nbut after looking quite closely at it I found\nout that it does not conform to the "
    "format of a\nlegal parameter file.\nThus I assume that this file is not a valid\nparameter "
    "file.\n\nShould I really append your parameters to this file?";
constexpr const char* kSameName =
    "The parameter file you chose already contains\nan entry with the same name as that to "
    "be\nadded. Should I replace that entry or\nshould I just add the new entry to the "
    "file?\n\nChoose:\n- YES to overwrite the existing entry.\n- NO to add the entry\n- CANCEL to "
    "abort without saving anything.";

class ParameterSave : public ::testing::Test {
protected:
    ParameterSave() {
        fractal = createRecord(kTypeMandel, 0, RecordCreationContext{});
        fractal->name = "Seahorse";
        fractal->params().setInteger("MaxIter", 999);
        entry = withCrLf(parameterEntryText(*fractal));
    }

    // Saves into `file` (holding `bytes` first, unless null) with the answers given.
    SaveResult save(const char* bytes, std::vector<MessageAnswer> answers = {}) {
        if (bytes != nullptr)
            writeBytes(path, bytes);
        frontend.queuePath(path);
        for (MessageAnswer answer : answers)
            frontend.queueAnswer(answer);
        const SaveResult result = saveFractal(*fractal, frontend, directory);
        EXPECT_FALSE(std::filesystem::exists(dir / "~tmp0091.bac"));
        return result;
    }

    // The texts of the boxes shown, each checked for the save's caption, buttons and icon.
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

    using Texts = std::vector<std::string>;

    TempDir dir;
    std::filesystem::path path = dir / "set.par";
    std::filesystem::path directory = "/start/here";
    ScriptedFrontend frontend;
    std::unique_ptr<FractalRecord> fractal;
    std::string entry;
};

TEST_F(ParameterSave, NewFileGetsALineBreakAndTheEntry) {
    EXPECT_EQ(save(nullptr), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), "\r\n" + entry);
    EXPECT_EQ(questions(), Texts{});
    const auto requests = frontend.callsOf(FrontendCallKind::SaveFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].caption, "Please select a parameter file to save the fractal in...");
    EXPECT_EQ(requests[0].startDirectory, "/start/here");
    EXPECT_EQ(requests[0].filters, std::vector<std::string>{"*.par"});
    EXPECT_EQ(directory, dir.path());
}

TEST_F(ParameterSave, CancelledRequesterWritesNothing) {
    frontend.queuePath(std::nullopt);
    EXPECT_EQ(saveFractal(*fractal, frontend, directory), SaveResult::Cancelled);
    EXPECT_EQ(directory, "/start/here");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(ParameterSave, ValidFileWithoutTheNameIsAppendedTo) {
    EXPECT_EQ(save("Other  {\n  Type=Julia\n}"), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), "Other  {\n  Type=Julia\n}\r\n" + entry);
    EXPECT_EQ(questions(), Texts{});
}

TEST_F(ParameterSave, SameNameYesReplacesExactlyThatEntry) {
    // LF lines, a comment with braces before, a brace in the old entry's comment, an entry
    // of the same name further on and no line break at the end.
    const std::string before = "; my {set}\n\nFirst  {\n  Type=Julia\n}\n\n\n";
    const std::string old = "SEAHORSE  {\n ; old } one\n  Type=Mandel\n}";
    const std::string after = "\n\nSeahorse  {\n}\nLast  {}";
    EXPECT_EQ(save((before + old + after).c_str(), {MessageAnswer::Yes}), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), before + entry + after);
    EXPECT_EQ(questions(), Texts{kSameName});
}

TEST_F(ParameterSave, SameNameNoAppendsAndCancelKeepsTheFile) {
    const std::string file = "Seahorse  {\r\n}\r\n";
    EXPECT_EQ(save(file.c_str(), {MessageAnswer::No}), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), file + "\r\n" + entry);

    frontend.clearCalls();
    EXPECT_EQ(save(file.c_str(), {MessageAnswer::Cancel}), SaveResult::Cancelled);
    EXPECT_EQ(readBytes(path), file);
    EXPECT_EQ(questions(), Texts{kSameName});
}

TEST_F(ParameterSave, ForeignFilesAreAppendedToOnlyWhenConfirmed) {
    struct Case {
        const char* file;
        std::vector<MessageAnswer> answers;
        Texts asked;
        bool written;
    };
    const Case cases[] = {
        {"Caf\xe9  {}", {MessageAnswer::Yes}, {kNonStandard}, true},
        {"Caf\xe9  {}", {MessageAnswer::No}, {kNonStandard}, false},
        {"just some text", {MessageAnswer::Yes}, {kMalformed}, true},
        {"just some text", {MessageAnswer::Cancel}, {kMalformed}, false},
        {"caf\xe9 text",
         {MessageAnswer::Yes, MessageAnswer::Yes},
         {kNonStandard, kStillMalformed},
         true},
        {"caf\xe9 text",
         {MessageAnswer::Yes, MessageAnswer::No},
         {kNonStandard, kStillMalformed},
         false},
        {"caf\xe9 text", {MessageAnswer::Cancel}, {kNonStandard}, false},
        // Confirmed, and then the name question still comes.
        {"Seahorse {\xb0}",
         {MessageAnswer::Yes, MessageAnswer::Yes},
         {kNonStandard, kSameName},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        frontend.clearCalls();
        const SaveResult result = save(c.file, c.answers);
        EXPECT_EQ(questions(), c.asked);
        EXPECT_EQ(result, c.written ? SaveResult::Saved : SaveResult::Cancelled);
        const std::string file = c.file;
        if (!c.written)
            EXPECT_EQ(readBytes(path), file);
        else if (c.asked.back() == kSameName)
            EXPECT_EQ(readBytes(path), entry);
        else
            EXPECT_EQ(readBytes(path), file + "\r\n" + entry);
    }
}

TEST_F(ParameterSave, UnreadableTargetIsReportedAndKept) {
    std::filesystem::create_directory(path);
    EXPECT_EQ(save(nullptr), SaveResult::Failed);
    const auto boxes = frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
    EXPECT_NE(boxes[0].text.find(path.string()), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(ParameterSave, FolderIsWrittenWholeOverTheChosenFile) {
    Folder folder("My_Set.Par", FolderKind::Project, dir / "my_set.par");
    auto second = createRecord(kTypeJulia, 0, RecordCreationContext{});
    second->name = "Aa";
    const std::string first = withCrLf(parameterEntryText(*second)) + "\r\n\r\n\r\n";
    folder.add(std::move(second));
    folder.add(std::move(fractal));
    writeBytes(path, "old content that goes");
    frontend.queuePath(path);
    EXPECT_EQ(saveFolder(folder, frontend, directory), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), first + entry + "\r\n\r\n\r\n");
    const auto requests = frontend.callsOf(FrontendCallKind::SaveFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].caption,
              "Please specify a name for the parameter file to save the fractals in...");
    EXPECT_EQ(requests[0].startDirectory, dir / "My_Set.Par");
    EXPECT_EQ(directory, dir.path());

    // Without a file of its own the folder is proposed in the remembered directory.
    Folder fresh("Fresh", FolderKind::Project, "");
    frontend.queuePath(std::nullopt);
    EXPECT_EQ(saveFolder(fresh, frontend, directory), SaveResult::Cancelled);
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::SaveFile).back().startDirectory,
              dir / "Fresh.par");
}

} // namespace
