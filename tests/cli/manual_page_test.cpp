#include "app/program_options.h"
#include "app/version.h"
#include "cli/command_list.h"
#include "cli/exit_codes.h"
#include "cli/manual_page.h"

#include <gtest/gtest.h>
#include <sstream>

namespace vortimax::cli {
namespace {

TEST(ManualPage, TroffEscapingGuardsControlCharactersBackslashesAndMinus) {
    EXPECT_EQ(troffEscaped("--dir DIR"), "\\-\\-dir DIR");
    EXPECT_EQ(troffEscaped("a\\b"), "a\\eb");
    // A '.' or '\'' starting a line would be read as a request; inside a line it is text.
    EXPECT_EQ(troffEscaped(".par files"), "\\&.par files");
    EXPECT_EQ(troffEscaped("x\n'quoted'"), "x\n\\&'quoted'");
    EXPECT_EQ(troffEscaped("read .par and .zar"), "read .par and .zar");
}

// Every line of a page either is a request or text: no raw line starting with '.' or '\''
// sneaks in from the tables, and no request is glued to the end of a text line.
void expectWellFormed(const std::string& page) {
    std::istringstream lines(page);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '.')
            continue;
        EXPECT_EQ(line.find(" .B"), std::string::npos) << line;
        EXPECT_NE(line[0], '\'') << line;
    }
}

TEST(ManualPage, CliPageListsEveryCommandAndExitStatus) {
    std::ostringstream out;
    writeCliManualPage(out);
    const std::string page = out.str();
    expectWellFormed(page);
    EXPECT_NE(page.find(std::string(kProgramVersion)), std::string::npos);
    for (const Command& command : commands()) {
        const std::string tag = ".TP\n\\fB" + std::string(command.name) + "\\fR " +
                                troffEscaped(command.arguments) + "\n";
        EXPECT_NE(page.find(tag), std::string::npos) << command.name;
        // Each argument is explained under its command, before the next command.
        const std::size_t next = page.find(".TP\n\\fB", page.find(tag) + 1);
        for (const ArgumentHelp& detail : command.details)
            EXPECT_LT(page.find(".TP\n.B " + troffEscaped(detail.argument) + "\n", page.find(tag)),
                      next)
                << command.name << ' ' << detail.argument;
    }
    for (const ExitStatus& status : kExitStatuses)
        EXPECT_NE(page.find(".TP\n.B " + std::to_string(status.code) + "\n"), std::string::npos)
            << status.code;
}

TEST(ManualPage, DesktopPageListsEveryOption) {
    std::ostringstream out;
    writeDesktopManualPage(out);
    const std::string page = out.str();
    expectWellFormed(page);
    for (const ProgramOption& option : kProgramOptions)
        EXPECT_NE(page.find("\\-\\-" + troffEscaped(option.name)), std::string::npos)
            << option.name;
    EXPECT_NE(page.find("\\-\\-version"), std::string::npos);
}

// --help prints the same table the manual page is written from.
TEST(ManualPage, HelpListsEveryCommandWithItsArguments) {
    std::ostringstream help;
    printUsage(help);
    for (const Command& command : commands())
        EXPECT_NE(help.str().find("  " + std::string(command.name) + ' ' +
                                  std::string(command.arguments) + '\n'),
                  std::string::npos)
            << command.name;
    // Every option a command's synopsis names is explained.
    for (const Command& command : commands()) {
        std::size_t at = 0;
        while ((at = command.arguments.find('-', at)) != std::string_view::npos) {
            const std::size_t end = command.arguments.find_first_of(" ]", at);
            const std::string_view option = command.arguments.substr(at, end - at);
            bool explained = false;
            for (const ArgumentHelp& detail : command.details)
                explained = explained || detail.argument.starts_with(option);
            EXPECT_TRUE(explained) << command.name << ' ' << option;
            at = end;
        }
    }
}

} // namespace
} // namespace vortimax::cli
