// vortimax-cli: the headless front end of Vortimax.

#include "app/version.h"
#include "cli/command_list.h"
#include "cli/exit_codes.h"

#include <iostream>
#include <span>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    using namespace vortimax::cli;
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout);
        return kExitSuccess;
    }
    if (args[0] == "--version") {
        std::cout << "vortimax-cli " << vortimax::kProgramVersion << '\n';
        return kExitSuccess;
    }
    if (const Command* command = findCommand(args[0]))
        return command->run(std::span(args).subspan(1), std::cout, std::cerr);
    std::cerr << "vortimax-cli: unknown command \"" << args[0] << "\"\n\n";
    printUsage(std::cerr);
    return kExitUsage;
}
