// vortimax-cli: the headless front end of Vortimax.

#include "cli/check_command.h"
#include "cli/exit_codes.h"
#include "cli/params_command.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"

#include <iostream>
#include <span>
#include <string_view>
#include <vector>

namespace {

using vortimax::cli::kExitSuccess;
using vortimax::cli::kExitUsage;

using CommandHandler = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

struct Command {
    std::string_view name;
    std::string_view arguments;
    std::string_view help;
    CommandHandler run;
};

constexpr Command kCommands[] = {
    {"render",
     "[TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--dir DIR] [--size WxH] [--depth 8|24] "
     "[--palette MAP] [--set KEY=VALUE]... [--threads N] [--values OUT.npy] -o OUT.png",
     "calculate a fractal (the default Mandel at 640x480 without a source; an image's own size "
     "and palette) on N threads (all by default) and write it as a PNG carrying its parameters",
     vortimax::cli::runRender},
    {"params", "TYPE [--subtype N]",
     "list the parameters of a fractal type with their ranges and default values",
     vortimax::cli::runParams},
    {"list", "[--dir DIR] FILE...",
     "list the entries of parameter (.par) and .zar files: folder, name, type, subtype",
     vortimax::cli::runList},
    {"show", "[--dir DIR] FILE ENTRY", "show every parameter of one entry as key=value lines",
     vortimax::cli::runShow},
    {"convert", "[--dir DIR] IN... -o OUT.par",
     "read parameter and .zar files and write every entry that reads into one parameter file "
     "(status 1 when an entry or file was skipped)",
     vortimax::cli::runConvert},
    {"check", "FILE...",
     "compile every entry of formula (.frm), IFS (.ifs) and L-system (.l) files and report "
     "those that fail",
     vortimax::cli::runCheck},
};

void printUsage(std::ostream& out) {
    out << "usage: vortimax-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    for (const auto& command : kCommands)
        out << "  " << command.name << ' ' << command.arguments << "\n      " << command.help
            << '\n';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout);
        return kExitSuccess;
    }
    for (const auto& command : kCommands)
        if (args[0] == command.name)
            return command.run(std::span(args).subspan(1), std::cout, std::cerr);
    std::cerr << "vortimax-cli: unknown command \"" << args[0] << "\"\n\n";
    printUsage(std::cerr);
    return kExitUsage;
}
