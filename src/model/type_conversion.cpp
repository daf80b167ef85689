#include "model/type_conversion.h"

#include "model/descriptor_tables.h"
#include "model/fractal_record.h"
#include "model/type_registry.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vortimax {

namespace {

// (escape-time type, true-colour twin)
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 2> kTwins{{
    {kTypeJulia, kTypeJulia24},
    {kTypeMandel, kTypeMandel24},
}};

void copySharedRows(const ParamBlock& oldBlock, const DescriptorTable& oldTable,
                    FractalRecord& record) {
    BlockRef target = record.params();
    const DescriptorTable& newTable = target.table();
    for (std::size_t i = 0; i < oldTable.size(); ++i) {
        const ParamDescriptor& row = oldTable.row(i);
        auto j = newTable.find(row.key);
        if (!j || newTable.row(*j).kind != row.kind ||
            newTable.row(*j).fieldSize() != row.fieldSize())
            continue;
        const auto* from = oldBlock.data() + oldTable.offset(i);
        std::copy(from, from + row.fieldSize(), target.field(*j));
    }
}

} // namespace

std::optional<std::uint32_t> conversionTarget(std::uint32_t type, ConversionDirection direction) {
    for (auto [escape, trueColour] : kTwins) {
        if (direction == ConversionDirection::ToTrueColour && type == escape)
            return trueColour;
        if (direction == ConversionDirection::ToEscapeTime && type == trueColour)
            return escape;
    }
    return std::nullopt;
}

bool convertFractalType(FractalRecord& record, ConversionDirection direction) {
    auto target = conversionTarget(record.type, direction);
    if (!target)
        return false;
    const DescriptorTable* oldTable = descriptorTable(record.type);
    const ParamBlock oldBlock = record.paramBlock;
    const Settings3DBlock old3D = record.settings3DBlock;
    setDefaults(record, *target, record.subtype);
    record.type = *target;
    record.settings3DBlock = old3D;
    if (oldTable != nullptr)
        copySharedRows(oldBlock, *oldTable, record);
    return true;
}

} // namespace vortimax
