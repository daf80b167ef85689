#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vortimax::cli {

using CommandHandler = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

// One argument or option of a command and what it does.
struct ArgumentHelp {
    std::string_view argument;
    std::string_view help;
};

// One command of vortimax-cli: what --help and the manual page say about it, and the
// function that runs it.
struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view help;
    std::span<const ArgumentHelp> details;
    CommandHandler run;
};

// Every command, in the order --help and the manual page list them.
std::span<const Command> commands();

// The command of that name; nullptr when there is none.
const Command* findCommand(std::string_view name);

// The --help text: the synopsis and every command with its arguments and help.
void printUsage(std::ostream& out);

} // namespace vortimax::cli
