#include "cli/params_command.h"

#include "base/text_utils.h"
#include "cli/exit_codes.h"
#include "model/fractal_record.h"
#include "model/param_text.h"
#include "model/type_registry.h"

#include <optional>
#include <ostream>
#include <string>

namespace vortimax::cli {

namespace {

constexpr std::string_view kKindNames[] = {"", "real", "integer", "", "bigfixed", "text", "flag"};
constexpr std::string_view kFileClassNames[] = {"none", "key", "params"};
constexpr std::string_view kAnimModeNames[] = {"interpolate", "zero", "copy", "match"};

std::string_view kindName(ParamKind kind) {
    return kKindNames[static_cast<int>(kind)];
}

std::string rangeText(const ParamDescriptor& row, double bound) {
    bool numeric = row.kind != ParamKind::Text && row.kind != ParamKind::Flag;
    return numeric ? formatShortest(bound) : "-";
}

std::string_view animationText(const ParamDescriptor& row) {
    return row.animated ? kAnimModeNames[static_cast<int>(row.animMode)] : "none";
}

void printRows(ConstBlockRef block, std::ostream& out) {
    for (std::size_t i = 0; i < block.table().size(); ++i) {
        const ParamDescriptor& row = block.table().row(i);
        out << row.key << '\t' << row.label << '\t' << kindName(row.kind) << '\t'
            << rangeText(row, row.minimum) << '\t' << rangeText(row, row.maximum) << '\t'
            << displayValue(block, i) << '\t' << kFileClassNames[static_cast<int>(row.fileClass)]
            << '\t' << animationText(row) << '\n';
    }
}

std::string validTypeNames() {
    std::string names;
    for (const auto& type : fractalTypes())
        names += (names.empty() ? "" : ", ") + std::string(type.registryName);
    return names;
}

struct ParamsRequest {
    std::uint32_t type = 0;
    std::uint32_t subtype = 0;
};

std::optional<ParamsRequest> parseArguments(std::span<const std::string_view> args,
                                            std::ostream& err) {
    std::optional<std::string_view> typeName;
    std::optional<std::string_view> subtypeText;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--subtype" && i + 1 < args.size())
            subtypeText = args[++i];
        else if (!typeName && !args[i].starts_with("--"))
            typeName = args[i];
        else {
            err << "vortimax-cli params: unexpected argument \"" << args[i] << "\"\n";
            return std::nullopt;
        }
    }
    if (!typeName) {
        err << "usage: vortimax-cli params TYPE [--subtype N]\n"
            << "types: " << validTypeNames() << '\n';
        return std::nullopt;
    }
    auto type = findTypeByRegistryName(*typeName);
    if (!type) {
        err << "vortimax-cli params: unknown fractal type \"" << *typeName << "\"\n"
            << "valid types: " << validTypeNames() << '\n';
        return std::nullopt;
    }
    ParamsRequest request{*type, 0};
    if (subtypeText) {
        auto subtype = scanLong(*subtypeText);
        std::uint32_t highest = highestSubtype(*type);
        bool whole = subtype && std::to_string(*subtype) == *subtypeText;
        if (!whole || *subtype < 0 || *subtype > highest) {
            err << "vortimax-cli params: subtype \"" << *subtypeText << "\" is not valid for "
                << registryName(*type) << " (0 to " << highest << ")\n";
            return std::nullopt;
        }
        request.subtype = static_cast<std::uint32_t>(*subtype);
    }
    return request;
}

} // namespace

int runParams(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
    auto request = parseArguments(args, err);
    if (!request)
        return kExitUsage;
    auto record = createRecord(request->type, request->subtype, RecordCreationContext{});
    const FractalRecord& view = *record;
    printRows(view.params(), out);
    printRows(view.settings3D(), out);
    return kExitSuccess;
}

} // namespace vortimax::cli
