#pragma once

#include "model/fractal_view.h"
#include "model/type_registry.h"

#include <gtest/gtest.h>
#include <memory>

namespace vortimax::test {

// A true-colour view without a worker whose values are set by hand; with `relief` it
// keeps the 3D buffers (and their 8-bit copy on an 8-bit screen).
struct ReliefView {
    ViewEnvironment environment;
    std::unique_ptr<FractalRecord> record;
    std::unique_ptr<FractalView> view;

    ReliefView(int width, int height, bool relief = true, int screenDepth = 24)
        : record(createRecord(kTypeMandel, 0, RecordCreationContext{})) {
        record->displayDepth = 24;
        record->width = width;
        record->height = height;
        record->dims = relief ? 1 : 0;
        view = std::make_unique<FractalView>(*record, environment);
        EXPECT_TRUE(allocateBuffers({width, height, 24, false, false, relief, screenDepth},
                                    view->buffers()));
        for (int i = 0; i < 256; ++i) // hue 2i, full saturation, value i
            view->colours.hsv[static_cast<std::size_t>(i)] = {static_cast<std::int16_t>(i), 255,
                                                              static_cast<std::int16_t>(i)};
    }
    ImageBuffers& buffers() { return view->buffers(); }
    template <typename F> void setValues(F valueAt) {
        for (int y = 0; y < buffers().height; ++y)
            for (int x = 0; x <= buffers().width; ++x)
                buffers().value(x, y) = static_cast<float>(valueAt(x, y));
    }
    void set3D(std::string_view key, double value) {
        const BlockRef block = record->settings3D();
        const ParamDescriptor& row = block.table().row(*block.table().find(key));
        if (row.kind == ParamKind::Real)
            block.setReal(key, value);
        else
            block.setInteger(key, static_cast<std::int32_t>(value));
    }
    // Blue, green, red of a 3D image pixel (rows from the bottom).
    std::array<int, 3> pixel3D(int x, int y) {
        const std::uint8_t* p =
            buffers().image3D.data() + (static_cast<std::size_t>(y) * buffers().rowLength + x) * 3;
        return {p[0], p[1], p[2]};
    }
};

} // namespace vortimax::test
