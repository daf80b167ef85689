#pragma once

#include <string_view>

namespace vortimax {

// An option of the desktop program's command line, as its --help and manual page show it.
struct ProgramOption {
    std::string_view name;      // without the leading dashes
    std::string_view valueName; // empty for an option without a value
    std::string_view description;
};

inline constexpr ProgramOption kDirOption{
    "dir", "directory",
    "Program directory (configuration, libraries); created and given the starter files when "
    "it is new or empty."};

// The files named after the options, opened at the start as the Load command opens them.
inline constexpr ProgramOption kFilesArgument{
    "files", "[FILE...]",
    "Parameter (.par, .zar), palette (.map), formula (.frm, .ifs, .l) or PNG files to open "
    "at the start, as the Load command opens them."};

// The options beside --help and --version, in the order they are listed.
inline constexpr ProgramOption kProgramOptions[] = {kDirOption};

// Exit statuses of the desktop program.
inline constexpr int kProgramExitSuccess = 0;
inline constexpr int kProgramExitStartFailed = 1; // no program directory could be set up

} // namespace vortimax
