#include "render/geometry/geometry_drivers.h"

#include "model/fractal_record.h"
#include "render/geometry/ifs_driver.h"
#include "render/geometry/lsystem_driver.h"

#include <utility>

namespace vortimax {

void installGeometryDrivers(DriverTable& drivers, ViewHooks& hooks, IfsLookup ifs,
                            LSystemLookup lsystems) {
    drivers[kTypeIfs] = [ifs](FractalView& view, int, int, int, int) { drawIfs(view, ifs); };
    drivers[kTypeLSystem] = [lsystems](FractalView& view, int, int, int, int) {
        drawLSystem(view, lsystems);
    };
    auto previous = std::move(hooks.checkFormula);
    hooks.checkFormula = [ifs, previous](const FractalRecord& record) {
        if (record.type != kTypeIfs)
            return previous ? previous(record) : FormulaCheck::Ok;
        return ifs(record.params().text("Formula")) ? FormulaCheck::Ok
                                                    : FormulaCheck::FormulaNotAvailable;
    };
}

std::string definitionMissingText(std::string_view kind, const std::string& name) {
    return std::string(kind) + " definition \"" + name + "\" isn't available.";
}

} // namespace vortimax
