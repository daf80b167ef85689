#include "cli/command_list.h"

#include "cli/animate_command.h"
#include "cli/check_command.h"
#include "cli/palette_command.h"
#include "cli/params_command.h"
#include "cli/parfile_commands.h"
#include "cli/render_command.h"
#include "cli/slave_command.h"
#include "cli/stitch_command.h"
#include "cli/tiles_command.h"

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
    {"--region X,Y,W,H",
     "calculate only this rectangle of the --size image (X, Y from its top-left corner): a tile "
     "with exactly the whole image's pixels there, for stitch"},
    {"--quiet", "no progress on the standard error (shown for renders longer than a second)"},
    {"--master", "share the calculation with slaves over TCP (Julia, Mandel, their true-colour "
                 "forms and Formula); the image is the same as without"},
    {"--port P", "with --master: the port to listen on (13242 by default; 0 any free one)"},
    {"--slaves N", "with --master: wait for N slaves before calculating (0 by default: start at "
                   "once; slaves that come later help with the next image)"},
    {"--bind ADDR", "with --master: listen on this address only (every address by default)"},
    {"--values OUT.npy",
     "also write the value calculated for every pixel as a NumPy float32 array"},
    {"-o OUT.png", "the image to write"},
};
constexpr ArgumentHelp kSlaveDetails[] = {
    {"--master HOST", "the machine where render --master runs (a name or an address)"},
    {"--port P", "the master's port (13242 by default)"},
    kDirHelp,
};
constexpr ArgumentHelp kTilesDetails[] = {
    {"FILE ENTRY", "an entry of a parameter (.par) or .zar file"},
    {"--size WxH", "the size of the whole image"},
    {"--count N", "cut it into N tiles, as nearly square as N allows"},
    {"--tile-size WxH", "or into tiles of at most this size"},
    {"-o PREFIX", "the tiles are PREFIX-1.png, PREFIX-2.png ... (numbers padded; default tile)"},
    {"--dir, --depth, --palette, --set, --threads", "passed on to every render command"},
};
constexpr ArgumentHelp kAnimateDetails[] = {
    {"FILE", "an animation data file: its settings and key frames"},
    {"--key PARFILE ENTRY",
     "or a key frame named by an entry of a parameter file; at least two, in order"},
    {"--gap N", "the frames from one --key to the next (at least 1; each entry's NumFrames "
                "without it)"},
    {"--frames RANGE",
     "A-B: make only frames A to B (1-based), so that a batch scheduler can split "
     "the animation; the frames equal those of one whole run. For a video each range is a "
     "video file of its own (join them with a video tool)"},
    {"--size WxH", "the frame size in pixels (the file's, or 640x480 for --key, without it)"},
    {"--format png|avi|mp4",
     "numbered PNG files carrying their parameters (the default), or one video file at the "
     "animation's frames per second"},
    {"--codec dib|mjpeg|ffv1|h264",
     "how a video stores its frames: dib uncompressed (AVI, the AVI default), ffv1 lossless "
     "(AVI), mjpeg (AVI), h264 (AVI or MP4, the MP4 default; when FFmpeg has the encoder)"},
    kDirHelp,
    {"--threads N", "calculate on N threads"},
    {"--quiet", "no line per frame or video written"},
    {"-o OUT", "PNG: the folder the frames go to, as OUT/NAME1.png, OUT/NAME2.png ... (NAME is "
               "the animation's name); video: the video file, written as named"},
};
constexpr ArgumentHelp kStitchDetails[] = {
    {"TILE.png...", "the tiles render --region wrote"},
    {"-o POSTER.png", "the whole image to write"},
    {"--quiet", "no progress on the standard error"},
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
constexpr ArgumentHelp kPaletteDetails[] = {
    {"--generate MODE", "startstep (a triangle wave from start and step), sine (up to six "
                        "sine periods), fourier (three cosines and three sines, mirrored) or "
                        "random (straight segments closing into a ring)"},
    {"--set NAME=VALUE", "a generator setting: P<p>.<c> is parameter p (0..12) of channel c (0 "
                         "red, 1 green, 2 blue), Component and Entries (sine periods, 1..6); may "
                         "be repeated"},
    {"--seed N", "the seed of the random mode (1 by default): a seed always gives the same map"},
    {"-o OUT.map", "the map file to write"},
};
constexpr ArgumentHelp kCheckDetails[] = {
    {"FILE...", "formula (.frm), IFS (.ifs) or L-system (.l) libraries"}};

constexpr Command kCommands[] = {
    {"render",
     "[TYPE [--subtype N] | FILE ENTRY | IMAGE.png] [--dir DIR] [--size WxH] [--depth 8|24] "
     "[--palette MAP] [--set KEY=VALUE]... [--3d] [--filter N] [--threads N] "
     "[--region X,Y,W,H] [--values OUT.npy] [--master [--port P] [--slaves N] [--bind ADDR]] "
     "[--quiet] -o OUT.png",
     "calculate a fractal (the default Mandel at 640x480 without a source; an image's own size "
     "and palette) on N threads (all by default) and write it as a PNG carrying its parameters",
     kRenderDetails, runRender},
    {"slave", "--master HOST [--port P] [--dir DIR]",
     "calculate rows of images for a master until it ends the connection; Ctrl-C leaves it "
     "gracefully (the master gets the rows back). Its messages go to the standard error",
     kSlaveDetails, runSlave},
    {"tiles", "FILE ENTRY --size WxH (--count N | --tile-size WxH) [-o PREFIX] [render options]",
     "print one render command line per tile of a large image, for a batch scheduler (GNU "
     "parallel, Slurm array jobs) to run",
     kTilesDetails, runTiles},
    {"stitch", "TILE.png... -o POSTER.png [--quiet]",
     "join the tiles of one image into the whole PNG, checking that they cover it exactly once; "
     "holds a few rows in memory, not the image",
     kStitchDetails, runStitch},
    {"animate",
     "(FILE | --key PARFILE ENTRY --key PARFILE ENTRY ... [--gap N]) [--frames RANGE] "
     "[--size WxH] [--format png|avi|mp4] [--codec NAME] [--dir DIR] [--threads N] [--quiet] "
     "-o OUT",
     "make the frames of an animation, interpolated between its key frames (splines, "
     "zoom-aware areas, palettes), as numbered PNG files or one AVI or MP4 video",
     kAnimateDetails, runAnimate},
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
    {"palette",
     "--generate startstep|sine|fourier|random [--set NAME=VALUE]... [--seed N] -o OUT.map",
     "fill a palette with the palette generator and write it as a map file", kPaletteDetails,
     runPalette},
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
