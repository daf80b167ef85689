#include "cli/slave_command.h"

#include "app/formula_libraries.h"
#include "app/scripted_frontend.h"
#include "cli/exit_codes.h"
#include "cli/interruption.h"
#include "cli/network_options.h"
#include "cli/program_libraries.h"
#include "network/messages.h"
#include "network/row_calculator.h"
#include "network/slave.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vortimax::cli {

namespace {

struct SlaveRequest {
    std::string master;
    std::uint16_t port = net::kMasterPort;
    std::optional<std::filesystem::path> dir;
};

std::optional<SlaveRequest> parseSlaveArguments(std::span<const std::string_view> args,
                                                std::ostream& err) {
    SlaveRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--master" && hasValue) {
            request.master = std::string(args[++i]);
        } else if (arg == "--port" && hasValue) {
            auto port = parsePort(args[++i], false);
            if (!port) {
                err << "vortimax-cli slave: --port needs a number from 1 to 65535\n";
                return std::nullopt;
            }
            request.port = *port;
        } else if (arg == "--dir" && hasValue) {
            request.dir = std::filesystem::path(args[++i]);
        } else {
            err << "vortimax-cli slave: unknown option \"" << arg << "\"\n";
            return std::nullopt;
        }
    }
    if (request.master.empty()) {
        err << "usage: vortimax-cli slave --master HOST [--port P] [--dir DIR]\n";
        return std::nullopt;
    }
    return request;
}

} // namespace

int runSlave(std::span<const std::string_view> args, std::ostream&, std::ostream& err) {
    const auto request = parseSlaveArguments(args, err);
    if (!request)
        return kExitUsage;
    const std::optional<ProgramLibraries> libraries = findProgramLibraries(request->dir, err);
    if (!libraries)
        return kExitFailure;
    // Formula fractals name their formula; the slave reads the same libraries as a render.
    ScriptedFrontend frontend;
    FormulaLibraries formulas;
    std::atomic<bool> noAbort{false};
    Progress progress(noAbort);
    formulas.loadDirectories(libraries->formulaDirectories, progress, frontend);

    std::mutex errLock;
    const auto log = [&err, &errLock](const std::string& line) {
        std::lock_guard lock(errLock);
        err << line << std::endl;
    };
    net::Slave slave(
        [&formulas](const FractalRecord& record) {
            return net::makeRowCalculator(record, [&formulas](std::string_view name) {
                return formulas.compiledFormula(name);
            });
        },
        log);
    // Ctrl-C leaves the master gracefully: it gets its rows back.
    const Interruption interruption;
    if (!slave.connect(request->master, request->port))
        return kExitFailure;
    const bool ended =
        slave.waitUntilDisconnected([&interruption] { return interruption.signal() != 0; });
    if (!ended) {
        slave.disconnect();
        log("Disconnected...");
        return kExitSuccess;
    }
    slave.disconnect();
    return slave.endedGracefully() ? kExitSuccess : kExitFailure;
}

} // namespace vortimax::cli
