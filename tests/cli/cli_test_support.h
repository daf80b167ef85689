#pragma once

#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax::test {

// One of the vortimax-cli commands, as the tests call it.
using Command = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

// What a command printed and returned.
struct Outcome {
    int status;
    std::string out, err;
};

// Runs one of the vortimax-cli commands with the arguments that follow the command name.
template <typename Command> Outcome run(Command command, std::vector<std::string> args) {
    std::vector<std::string_view> views(args.begin(), args.end());
    std::ostringstream out, err;
    int status = command(views, out, err);
    return {status, out.str(), err.str()};
}

} // namespace vortimax::test
