#include "network/network_drivers.h"

#include "model/fractal_view.h"
#include "network/master.h"
#include "network/messages.h"

namespace vortimax::net {

void installNetworkDrivers(DriverTable& drivers, std::shared_ptr<Master> master) {
    for (std::uint32_t type = 0; type < kFractalTypeCount; ++type) {
        if (!isNetworkType(type) || !drivers[type])
            continue;
        drivers[type] = [local = drivers[type], master](FractalView& view, int x0, int y0, int x1,
                                                        int y1) {
            if (view.record().networkMode != 0 && master->active() &&
                master->calculate(view, x0, y0, x1, y1) != NetworkOutcome::NoMembers)
                return;
            // Pixels that arrived over the network keep their values: the passes skip them.
            local(view, x0, y0, x1, y1);
        };
    }
}

} // namespace vortimax::net
