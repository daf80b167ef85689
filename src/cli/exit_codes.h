#pragma once

#include <string_view>

namespace vortimax::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // the command ran and failed
constexpr int kExitUsage = 2;   // bad command line: unknown command, type or option

struct ExitStatus {
    int code;
    std::string_view meaning;
};

// What each status means, as the manual page tells it.
inline constexpr ExitStatus kExitStatuses[] = {
    {kExitSuccess, "The command did what was asked."},
    {kExitFailure, "The command ran and failed: a file could not be read or written, or "
                   "(convert, check) an entry was skipped or did not compile."},
    {kExitUsage, "The command line was wrong: an unknown command, type or option, or a "
                 "missing argument."},
    {128 + 2, "Interrupted (SIGINT) before the output was written; nothing was written."},
    {128 + 15, "Terminated (SIGTERM) before the output was written; nothing was written."},
};

} // namespace vortimax::cli
