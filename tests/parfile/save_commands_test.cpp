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
using vortimax::test::writeBytes;

namespace {

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

using Texts = std::vector<std::string>;

class ParameterSave : public ::testing::Test {
protected:
    ParameterSave() {
        fractal = createRecord(kTypeMandel, 0, RecordCreationContext{});
        fractal->name = "Seahorse";
        fractal->params().setInteger("MaxIter", 999);
        entry = withCrLf(parameterEntryText(*fractal));
    }

    // Saves into `path` (holding `bytes` first, unless null) with the answers given; every
    // box must be the save's question.
    SaveResult save(const char* bytes, const std::vector<MessageAnswer>& answers = {}) {
        frontend.clearCalls();
        if (bytes != nullptr)
            writeBytes(path, bytes);
        frontend.queuePath(path);
        for (MessageAnswer answer : answers)
            frontend.queueAnswer(answer);
        const SaveResult result = saveFractal(*fractal, frontend, directory);
        EXPECT_FALSE(std::filesystem::exists(dir / "~tmp0091.bac"));
        asked.clear();
        for (const FrontendCall& box : frontend.messageBoxes()) {
            EXPECT_EQ(box.caption, "Saving parameters");
            EXPECT_EQ(box.buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(box.icon, MessageIcon::Question);
            asked.push_back(box.text);
        }
        return result;
    }

    vortimax::test::TempDir dir;
    std::filesystem::path path = dir / "set.par";
    std::filesystem::path directory = "/start/here";
    ScriptedFrontend frontend;
    std::unique_ptr<FractalRecord> fractal;
    std::string entry;
    Texts asked;
};

TEST_F(ParameterSave, NewFileGetsALineBreakAndTheEntry) {
    frontend.queuePath(std::nullopt);
    EXPECT_EQ(saveFractal(*fractal, frontend, directory), SaveResult::Cancelled);
    EXPECT_EQ(directory, "/start/here");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    EXPECT_EQ(save(nullptr), SaveResult::Saved);
    EXPECT_EQ(readBytes(path), "\r\n" + entry);
    EXPECT_EQ(asked, Texts{});
    const auto requests = frontend.callsOf(FrontendCallKind::SaveFile);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].caption, "Please select a parameter file to save the fractal in...");
    EXPECT_EQ(requests[0].startDirectory, "/start/here");
    EXPECT_EQ(requests[0].filters, std::vector<std::string>{"*.par"});
    EXPECT_EQ(directory, dir.path());
}

// One case per flag and answer. Kept files keep every byte; a replaced entry (LF lines,
// braces in comments, the same name again further on) is swapped for the new one alone.
TEST_F(ParameterSave, QuestionsAndAnswers) {
    enum Outcome { Kept, Appended, Replaced };
    using enum MessageAnswer;
    const std::string old = "SEAHORSE  {\n ; old } one\n  Type=Mandel\n}";
    const std::string set =
        "; my {set}\n\nFirst  {\n  Type=Julia\n}\n\n\n" + old + "\n\nSeahorse  {\n}\nLast  {}";
    const struct {
        const char* file;
        std::vector<MessageAnswer> answers;
        Texts asked;
        Outcome outcome;
        const char* old = "";
    } cases[] = {
        {"Other  {\n  Type=Julia\n}", {}, {}, Appended},
        {"Seahorse  {\r\n}\r\n", {No}, {kSameName}, Appended},
        {"Seahorse  {\r\n}\r\n", {Cancel}, {kSameName}, Kept},
        {set.c_str(), {Yes}, {kSameName}, Replaced, old.c_str()},
        {"Caf\xe9  {}", {Yes}, {kNonStandard}, Appended},
        {"Caf\xe9  {}", {No}, {kNonStandard}, Kept},
        {"just some text", {Yes}, {kMalformed}, Appended},
        {"just some text", {Cancel}, {kMalformed}, Kept},
        {"caf\xe9 text", {Yes, Yes}, {kNonStandard, kStillMalformed}, Appended},
        {"caf\xe9 text", {Yes, No}, {kNonStandard, kStillMalformed}, Kept},
        {"caf\xe9 text", {Cancel}, {kNonStandard}, Kept},
        // Confirmed, and then the name question still comes.
        {"Seahorse {\xb0}", {Yes, Yes}, {kNonStandard, kSameName}, Replaced, "Seahorse {\xb0}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(save(c.file, c.answers),
                  c.outcome == Kept ? SaveResult::Cancelled : SaveResult::Saved);
        EXPECT_EQ(asked, c.asked);
        std::string replaced = c.file;
        replaced.replace(replaced.find(c.old), std::string_view(c.old).size(), entry);
        const std::string expected[] = {c.file, c.file + ("\r\n" + entry), replaced};
        EXPECT_EQ(readBytes(path), expected[c.outcome]);
    }
}

TEST_F(ParameterSave, UnreadableTargetIsReportedAndKept) {
    std::filesystem::create_directory(path);
    frontend.queuePath(path);
    EXPECT_EQ(saveFractal(*fractal, frontend, directory), SaveResult::Failed);
    const auto boxes = frontend.messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
    EXPECT_NE(boxes[0].text.find(path.string()), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_FALSE(std::filesystem::exists(dir / "~tmp0091.bac"));
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
    const auto request = frontend.callsOf(FrontendCallKind::SaveFile).at(0);
    EXPECT_EQ(request.caption,
              "Please specify a name for the parameter file to save the fractals in...");
    EXPECT_EQ(request.startDirectory, dir / "My_Set.Par");
    EXPECT_EQ(directory, dir.path());
    // Without a file of its own the folder is proposed in the remembered directory.
    Folder fresh("Fresh", FolderKind::Project, "");
    frontend.queuePath(std::nullopt);
    EXPECT_EQ(saveFolder(fresh, frontend, directory), SaveResult::Cancelled);
    EXPECT_EQ(frontend.callsOf(FrontendCallKind::SaveFile).back().startDirectory,
              dir / "Fresh.par");
}

} // namespace
