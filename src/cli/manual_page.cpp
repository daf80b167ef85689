#include "cli/manual_page.h"

#include "app/program_directory.h"
#include "app/program_options.h"
#include "app/version.h"
#include "cli/command_list.h"
#include "cli/exit_codes.h"

#include <cctype>
#include <ostream>

namespace vortimax::cli {

namespace {

struct Item {
    std::string_view tag;
    std::string_view text;
};

constexpr Item kEnvironment[] = {
    {"VORTIMAX_DATA_DIR",
     "The directory of the shipped starter files (palettes, fractals, formulas) that a new "
     "program directory receives. Without it they are read from share/vortimax beside the "
     "directory that holds the program, so an installed tree may be moved as a whole."},
    {"XDG_CONFIG_HOME", "The per-user program directory is $XDG_CONFIG_HOME/vortimax."},
    {"HOME", "Without XDG_CONFIG_HOME the per-user program directory is ~/.config/vortimax."},
};

constexpr Item kFiles[] = {
    {"Vortimax.cfg, PosPrefs.asc",
     "A working directory holding one of these is used as the program directory (a portable "
     "setup); otherwise the per-user one is."},
    {"~/.config/vortimax/",
     "The per-user program directory: settings and the Palettes, Fractals, Formulas, Anims "
     "and Pictures folders, given the starter files at the first start."},
};

// A help line of the command table as a sentence.
std::string sentence(std::string_view text) {
    std::string result = troffEscaped(text);
    if (!result.empty())
        result[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(result[0])));
    if (!result.empty() && result.back() != '.')
        result += '.';
    return result;
}

void writeHeader(std::ostream& out, std::string_view title, std::string_view name,
                 std::string_view summary) {
    out << ".TH " << troffEscaped(title) << " 1 \"\" \"Vortimax " << kProgramVersion
        << "\" \"User Commands\"\n"
        << ".SH NAME\n"
        << troffEscaped(name) << " \\- " << troffEscaped(summary) << '\n';
}

void writeItems(std::ostream& out, std::string_view heading, std::span<const Item> items) {
    out << ".SH " << heading << '\n';
    for (const Item& item : items)
        out << ".TP\n.B " << troffEscaped(item.tag) << '\n' << troffEscaped(item.text) << '\n';
}

// The desktop program's option parser also knows -v and --help-all; the CLI does not.
void writeHelpAndVersion(std::ostream& out, std::string_view program, bool desktop) {
    out << ".TP\n.BR \\-h \", \" \\-\\-help\n"
        << "Print the command line's usage and exit.\n";
    if (desktop)
        out << ".TP\n.B \\-\\-help\\-all\n"
            << "Print the usage together with the options of the window toolkit, such as "
               "\\-platform, and exit.\n";
    out << (desktop ? ".TP\n.BR \\-v \", \" \\-\\-version\n" : ".TP\n.B \\-\\-version\n")
        << "Print \\(lq" << troffEscaped(program) << ' ' << kProgramVersion << "\\(rq and exit.\n";
}

void writeExitStatus(std::ostream& out, std::span<const ExitStatus> statuses) {
    out << ".SH EXIT STATUS\n";
    for (const ExitStatus& status : statuses)
        out << ".TP\n.B " << status.code << '\n' << troffEscaped(status.meaning) << '\n';
}

void writeCommands(std::ostream& out) {
    out << ".SH COMMANDS\n";
    for (const Command& command : commands()) {
        out << ".TP\n\\fB" << troffEscaped(command.name) << "\\fR "
            << troffEscaped(command.arguments) << '\n'
            << sentence(command.help) << '\n';
        out << ".RS\n";
        for (const ArgumentHelp& detail : command.details)
            out << ".TP\n.B " << troffEscaped(detail.argument) << '\n'
                << sentence(detail.help) << '\n';
        out << ".RE\n";
    }
}

} // namespace

std::string troffEscaped(std::string_view text) {
    std::string result;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            result += "\\&";
        if (c == '\\')
            result += "\\e";
        else if (c == '-')
            result += "\\-";
        else
            result += c;
        lineStart = c == '\n';
    }
    return result;
}

void writeCliManualPage(std::ostream& out) {
    writeHeader(out, "VORTIMAX-CLI", "vortimax-cli",
                "calculate, list and convert fractals without a window");
    out << ".SH SYNOPSIS\n.B vortimax\\-cli\n.I command\n.RI [ arguments ]\n.br\n"
        << ".B vortimax\\-cli\n.BR \\-\\-help \" | \" \\-\\-version\n"
        << ".SH DESCRIPTION\n"
        << ".B vortimax\\-cli\n"
        << "is the command-line front end of Vortimax. It calculates fractals into PNG images "
           "that carry their parameters, lists, shows and converts the entries of parameter "
           "files, and checks formula, IFS and L-system libraries. Palettes and formulas "
           "named by a parameter file are found in the program directory, chosen as\n"
        << ".BR vortimax (1)\nchooses it.\n";
    writeCommands(out);
    out << ".SH OPTIONS\n";
    writeHelpAndVersion(out, "vortimax-cli", false);
    writeExitStatus(out, kExitStatuses);
    writeItems(out, "ENVIRONMENT", kEnvironment);
    writeItems(out, "FILES", kFiles);
    out << ".SH SEE ALSO\n.BR vortimax (1)\n";
}

void writeDesktopManualPage(std::ostream& out) {
    writeHeader(out, "VORTIMAX", "vortimax", "fractal generator");
    out << ".SH SYNOPSIS\n.B vortimax\n.RI [ options ] \" [\" file ...]\n"
        << ".SH DESCRIPTION\n"
        << ".B vortimax\n"
        << "is the desktop program of Vortimax: it calculates and shows fractals, and edits "
           "their parameters, palettes and formula libraries. At the first start it sets up "
           "a program directory for its settings and libraries and copies the starter "
           "palettes, fractals and formulas into it.\n"
        << ".SH OPTIONS\n";
    for (const ProgramOption& option : kProgramOptions) {
        out << ".TP\n.BI \\-\\-" << troffEscaped(option.name) << " \" "
            << troffEscaped(option.valueName) << "\"\n"
            << troffEscaped(option.description) << '\n';
    }
    writeHelpAndVersion(out, "Vortimax", true);
    out << ".TP\n.I file\n" << troffEscaped(kFilesArgument.description) << '\n';
    const ExitStatus statuses[] = {
        {kProgramExitSuccess, "The program was closed normally."},
        {kProgramExitStartFailed, "The program directory could not be found or set up."},
    };
    writeExitStatus(out, statuses);
    writeItems(out, "ENVIRONMENT", kEnvironment);
    writeItems(out, "FILES", kFiles);
    out << ".SH SEE ALSO\n.BR vortimax\\-cli (1)\n";
}

} // namespace vortimax::cli
