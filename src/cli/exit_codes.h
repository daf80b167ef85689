#pragma once

namespace vortimax::cli {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1; // the command ran and failed
constexpr int kExitUsage = 2;   // bad command line: unknown command, type or option

} // namespace vortimax::cli
