#include "model/command_availability.h"

#include "model/fractal_record.h"
#include "model/type_registry.h"

namespace vortimax {

namespace {

bool hasArea(const FractalTypeInfo& type, std::uint32_t) {
    return type.hasArea;
}

bool has3D(const FractalTypeInfo& type, std::uint32_t) {
    return type.has3D;
}

// Julia and Mandel with the formulas z^2+c and z^3+c have a true-colour counterpart.
bool convertsToTrueColour(const FractalTypeInfo& type, std::uint32_t subtype) {
    return (type.id == kTypeJulia || type.id == kTypeMandel) && subtype <= 1;
}

bool convertsToEscapeType(const FractalTypeInfo& type, std::uint32_t) {
    return type.id == kTypeJulia24 || type.id == kTypeMandel24;
}

bool allows256Colours(const FractalTypeInfo& type, std::uint32_t) {
    return type.id != kTypeCompound;
}

constexpr CommandRule kRules[] = {
    {command::kProportional, "Proportional", hasArea},
    {command::kSelect, "Select", hasArea},
    {command::kSelectAll, "Select all", hasArea},
    {command::kDeselect, "Deselect", hasArea},
    {command::kBoxZoomIn, "Boxzoom in", hasArea},
    {command::kBoxZoomOut, "Boxzoom out", hasArea},
    {command::k3DTransformation, "3D Transformation", has3D},
    {command::kToTrueColourType, "To Julia24/Mandel24", convertsToTrueColour},
    {command::kToEscapeType, "To Julia/Mandel", convertsToEscapeType},
    {command::k256Colors, "256 Colors", allows256Colours},
};

} // namespace

std::span<const CommandRule> commandRules() {
    return kRules;
}

bool isCommandAvailable(int commandId, const FractalRecord* current) {
    for (const CommandRule& rule : kRules) {
        if (rule.commandId != commandId)
            continue;
        const FractalTypeInfo* type = current != nullptr ? fractalType(current->type) : nullptr;
        return type != nullptr && rule.available(*type, current->subtype);
    }
    return true;
}

} // namespace vortimax
