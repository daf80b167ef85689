#include "model/fractal_record.h"

#include "model/descriptor_tables.h"
#include "model/type_registry.h"

#include <cstdio>

namespace vortimax {

namespace {

const DescriptorTable& requireTable(std::uint32_t type) {
    const DescriptorTable* table = descriptorTable(type);
    if (table == nullptr)
        throw std::logic_error("fractal type " + std::to_string(type) + " has no parameters");
    return *table;
}

constexpr const char* kIterationWarningFormat =
    "This fractal has a maximum iteration count of %d. Although Vortimax\n"
    "can handle iteration values upto 4 billion, the user interface may seem to\n"
    "block, if you proceed. The GUI will then wait for the fractal to finish its next\n"
    "scan line, which may last very long due to the high iteration value.\n\n"
    "I suggest to decrease the iteration count to some value less than %s\n"
    "and then to increase it step by step.\n\n"
    "Do you really want to proceed using this high iteration count?";

} // namespace

BlockRef FractalRecord::params() {
    return BlockRef(paramBlock, requireTable(type));
}

ConstBlockRef FractalRecord::params() const {
    return ConstBlockRef(paramBlock, requireTable(type));
}

BlockRef FractalRecord::settings3D() {
    return BlockRef(settings3DBlock, settings3DTable());
}

ConstBlockRef FractalRecord::settings3D() const {
    return ConstBlockRef(settings3DBlock, settings3DTable());
}

bool FractalRecord::hasParams() const {
    return descriptorTable(type) != nullptr;
}

std::optional<std::string> maxIterationWarning(const FractalRecord& record) {
    const FractalTypeInfo* info = fractalType(record.type);
    if (info == nullptr || info->iterationWarningLimit == 0)
        return std::nullopt;
    std::int32_t maxIter = record.params().integer("MaxIter");
    if (maxIter <= static_cast<std::int64_t>(info->iterationWarningLimit))
        return std::nullopt;
    std::string limitText(info->iterationWarningText);
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, kIterationWarningFormat, maxIter, limitText.c_str());
    return std::string(buffer);
}

} // namespace vortimax
