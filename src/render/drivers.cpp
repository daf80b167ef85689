#include "render/drivers.h"

#include "render/compound/compound_driver.h"
#include "render/dynamics/bifurcation_driver.h"
#include "render/dynamics/dynamic_system_driver.h"
#include "render/dynamics/lyapunov_driver.h"
#include "render/dynamics/plasma_driver.h"
#include "render/escape/julia24_driver.h"
#include "render/escape/julia_mandel_driver.h"
#include "render/tierazon/tiera_driver.h"

namespace vortimax {

namespace {

struct DriverEntry {
    FractalTypeId type;
    void (*driver)(FractalView& view, int x0, int y0, int x1, int y1);
};

// One line per type.
// clang-format off
constexpr DriverEntry kDrivers[] = {
    {kTypeJulia24, &calculateJulia24},
    {kTypeMandel24, &calculateJulia24},
    {kTypeJulia, &calculateEscapeTime},
    {kTypeMandel, &calculateEscapeTime},
    {kTypeTieraJulia, &calculateTiera},
    {kTypeTieraMandel, &calculateTiera},
    {kTypeLyapunov, &calculateLyapunov},
    {kTypePlasma, &calculatePlasma},
    {kTypeBifurcation, &calculateBifurcation},
    {kTypeDynamicSystem, &calculateDynamicSystem},
    {kTypeCompound, &calculateCompound},
};
// clang-format on

} // namespace

void installDrivers(DriverTable& drivers) {
    for (const DriverEntry& entry : kDrivers)
        drivers[entry.type] = entry.driver;
}

} // namespace vortimax
