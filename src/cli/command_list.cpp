#include "cli/command_list.h"

#include "cli/check_command.h"
#include "cli/params_command.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"

#include <ostream>
#include <string>

namespace vortimax::cli {

namespace {

constexpr ArgumentHelp kDirHelp{
    "--dir DIR", "the program directory whose palettes and formulas are used (created and "
                 "given the starter files when new or empty)"};

constexpr ArgumentHelp kRenderDetails[] = {
    {"TYPE", "a fractal type by name (params lists them) at its default parameters"},
    {"--subtype N", "the subtype of TYPE"},
    {"FILE ENTRY", "an entry of a parameter (.par) or .zar file"},
    {"IMAGE.png", "the fractal whose parameters a PNG image written by Vortimax carries"},
    kDirHelp,
    {"--size WxH", "the image size in pixels"},
    {"--depth 8|24", "bits per pixel: 8 colours through the palette, 24 true colour"},
    {"--palette MAP", "colour with this palette map file"},
    {"--set KEY=VALUE", "change one parameter, named as show prints them; may be repeated"},
    {"--3d", "write the relief image of the fractal's 3D settings (which --set changes)"},
    {"--filter N",
     "filter the true-colour image: 0 none, 1 edges, 2 horizontal edges, 3 vertical edges, "
     "4 smooth, 5 enhance detail, 6 the anti-aliased half-size copy"},
    {"--threads N", "calculate on N threads"},
    {"--values OUT.npy",
     "also write the value calculated for every pixel as a NumPy float32 array"},
    {"-o OUT.png", "the image to write"},
};
constexpr ArgumentHelp kParamsDetails[] = {
    {"TYPE", "a fractal type by name; without one the known types are named"},
    {"--subtype N", "the subtype of TYPE"},
};
constexpr ArgumentHelp kListDetails[] = {kDirHelp, {"FILE...", "parameter or .zar files"}};
constexpr ArgumentHelp kShowDetails[] = {
    kDirHelp, {"FILE ENTRY", "an entry of a parameter (.par) or .zar file"}};
constexpr ArgumentHelp kConvertDetails[] = {
    kDirHelp,
    {"IN...", "parameter or .zar files"},
    {"-o OUT.par", "the parameter file to write"},
};
constexpr ArgumentHelp kCheckDetails[] = {
    {"FILE...", "formula (.frm), IFS (.ifs) or L-system (.l) libraries"}};

constexpr Command kCommands[] = {
    {"render",
     "[TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--dir DIR] [--size WxH] [--depth 8|24] "
     "[--palette MAP] [--set KEY=VALUE]... [--3d] [--filter N] [--threads N] "
     "[--values OUT.npy] -o OUT.png",
     "calculate a fractal (the default Mandel at 640x480 without a source; an image's own size "
     "and palette) on N threads (all by default) and write it as a PNG carrying its parameters",
     kRenderDetails, runRender},
    {"params", "TYPE [--subtype N]",
     "list the parameters of a fractal type with their ranges and default values", kParamsDetails,
     runParams},
    {"list", "[--dir DIR] FILE...",
     "list the entries of parameter (.par) and .zar files: folder, name, type, subtype",
     kListDetails, runList},
    {"show", "[--dir DIR] FILE ENTRY", "show every parameter of one entry as key=value lines",
     kShowDetails, runShow},
    {"convert", "[--dir DIR] IN... -o OUT.par",
     "read parameter and .zar files and write every entry that reads into one parameter file "
     "(status 1 when an entry or file was skipped)",
     kConvertDetails, runConvert},
    {"check", "FILE...",
     "compile every entry of formula (.frm), IFS (.ifs) and L-system (.l) files and report "
     "those that fail",
     kCheckDetails, runCheck},
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
    constexpr std::size_t kArgumentColumn = 18;
    for (const Command& command : kCommands) {
        out << "  " << command.name << ' ' << command.arguments << "\n      " << command.help
            << '\n';
        for (const ArgumentHelp& detail : command.details) {
            out << "        " << detail.argument;
            const std::size_t width = detail.argument.size();
            out << (width < kArgumentColumn ? std::string(kArgumentColumn - width, ' ')
                                            : std::string("\n" + std::string(26, ' ')))
                << detail.help << '\n';
        }
    }
}

} // namespace vortimax::cli
