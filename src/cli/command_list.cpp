#include "cli/command_list.h"

#include "cli/check_command.h"
#include "cli/params_command.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"

#include <ostream>

namespace vortimax::cli {

namespace {

constexpr Command kCommands[] = {
    {"render",
     "[TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--dir DIR] [--size WxH] [--depth 8|24] "
     "[--palette MAP] [--set KEY=VALUE]... [--threads N] [--values OUT.npy] -o OUT.png",
     "calculate a fractal (the default Mandel at 640x480 without a source; an image's own size "
     "and palette) on N threads (all by default) and write it as a PNG carrying its parameters",
     runRender},
    {"params", "TYPE [--subtype N]",
     "list the parameters of a fractal type with their ranges and default values", runParams},
    {"list", "[--dir DIR] FILE...",
     "list the entries of parameter (.par) and .zar files: folder, name, type, subtype", runList},
    {"show", "[--dir DIR] FILE ENTRY", "show every parameter of one entry as key=value lines",
     runShow},
    {"convert", "[--dir DIR] IN... -o OUT.par",
     "read parameter and .zar files and write every entry that reads into one parameter file "
     "(status 1 when an entry or file was skipped)",
     runConvert},
    {"check", "FILE...",
     "compile every entry of formula (.frm), IFS (.ifs) and L-system (.l) files and report "
     "those that fail",
     runCheck},
};

} // namespace

std::span<const Command> commands() {
    return kCommands;
}

const Command* findCommand(std::string_view name) {
    for (const Command& command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

void printUsage(std::ostream& out) {
    out << "usage: vortimax-cli COMMAND [ARGUMENTS]\n"
           "       vortimax-cli --help | --version\n\ncommands:\n";
    for (const Command& command : kCommands)
        out << "  " << command.name << ' ' << command.arguments << "\n      " << command.help
            << '\n';
}

} // namespace vortimax::cli
