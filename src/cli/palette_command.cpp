#include "cli/palette_command.h"

#include "cli/exit_codes.h"
#include "palette/map_file.h"
#include "palette/palette_generator.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <system_error>

namespace vortimax::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "vortimax-cli palette: ";

struct ModeName {
    std::string_view name;
    GeneratorMode mode;
};
constexpr ModeName kModes[] = {
    {"startstep", GeneratorMode::StartStep},
    {"sine", GeneratorMode::Sine},
    {"fourier", GeneratorMode::Fourier},
    {"random", GeneratorMode::Random},
};

struct PaletteRequest {
    std::optional<GeneratorMode> mode;
    GeneratorSettings settings;
    std::uint32_t seed = 1;
    std::optional<fs::path> output;
};

// The whole text as a number of type T, or nothing (trailing text, overflow, NaN).
template <typename T> std::optional<T> wholeNumber(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(value))
            return std::nullopt;
    return value;
}

// "P<p>.<c>": the parameter and channel it names.
std::optional<std::pair<std::size_t, std::size_t>> parameterName(std::string_view name) {
    const std::size_t dot = name.find('.');
    if (name.size() < 4 || (name[0] != 'P' && name[0] != 'p') || dot == std::string_view::npos)
        return std::nullopt;
    const auto p = wholeNumber<unsigned>(name.substr(1, dot - 1));
    const auto c = wholeNumber<unsigned>(name.substr(dot + 1));
    if (!p || !c || *p >= kGeneratorParameters || *c > 2)
        return std::nullopt;
    return std::pair<std::size_t, std::size_t>{*p, *c};
}

bool applySetting(std::string_view setting, GeneratorSettings& settings, std::ostream& err) {
    const std::size_t equals = setting.find('=');
    const std::string_view name = setting.substr(0, equals);
    const std::string_view text =
        equals == std::string_view::npos ? std::string_view() : setting.substr(equals + 1);
    if (name == "Component" || name == "Entries") {
        const auto value = wholeNumber<int>(text);
        if (!value || (name == "Component" && (*value < 0 || *value > 2))) {
            err << kPrefix << name << " needs a whole number"
                << (name == "Component" ? " from 0 to 2\n" : "\n");
            return false;
        }
        (name == "Component" ? settings.component : settings.entries) = *value;
        return true;
    }
    const auto parameter = parameterName(name);
    const auto value = wholeNumber<double>(text);
    if (!parameter || !value) {
        err << kPrefix << "--set \"" << setting
            << "\" is not P<p>.<c>=NUMBER (p 0..12, c 0..2), Component=N or Entries=N\n";
        return false;
    }
    settings.p[parameter->first][parameter->second] = *value;
    return true;
}

std::optional<GeneratorMode> modeNamed(std::string_view name) {
    for (const ModeName& mode : kModes)
        if (mode.name == name)
            return mode.mode;
    return std::nullopt;
}

std::optional<PaletteRequest> parseArguments(std::span<const std::string_view> args,
                                             std::ostream& err) {
    PaletteRequest request;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--generate" && hasValue) {
            request.mode = modeNamed(args[++i]);
            if (!request.mode) {
                err << kPrefix << "--generate is startstep, sine, fourier or random\n";
                return std::nullopt;
            }
        } else if (arg == "--set" && hasValue) {
            if (!applySetting(args[++i], request.settings, err))
                return std::nullopt;
        } else if (arg == "--seed" && hasValue) {
            const auto seed = wholeNumber<std::uint32_t>(args[++i]);
            if (!seed) {
                err << kPrefix << "--seed needs a whole number from 0 to 4294967295\n";
                return std::nullopt;
            }
            request.seed = *seed;
        } else if (arg == "-o" && hasValue) {
            request.output = fs::path(args[++i]);
        } else {
            err << kPrefix << "unknown option or missing value \"" << arg << "\"\n";
            return std::nullopt;
        }
    }
    if (!request.mode || !request.output) {
        err << "usage: vortimax-cli palette --generate startstep|sine|fourier|random "
               "[--set NAME=VALUE]... [--seed N] -o OUT.map\n";
        return std::nullopt;
    }
    request.settings.mode = *request.mode;
    return request;
}

} // namespace

int runPalette(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    auto request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    if (auto refusal = generatorRefusal(request->settings)) {
        err << kPrefix << *refusal << '\n';
        return kExitFailure;
    }
    Palette palette;
    palette.setName(request->output->stem().string());
    generatePalette(palette, request->settings, request->seed);
    std::error_code error;
    if (!writeMapFile(palette, *request->output, &error)) {
        err << kPrefix << "cannot write " << request->output->string() << ": " << error.message()
            << '\n';
        return kExitFailure;
    }
    out << request->output->string() << '\n';
    return kExitSuccess;
}

} // namespace vortimax::cli
