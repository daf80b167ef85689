#include "palette/palette_application.h"

#include "base/frontend.h"

#include <algorithm>

namespace vortimax {

namespace {

bool sameOwnColours(const ColourTable& a, const ColourTable& b) {
    return std::equal(a.entries.begin(), a.entries.begin() + kPaletteColours, b.entries.begin());
}

void requestRepaint(FractalView& view) {
    Frontend* frontend = view.environment().frontend;
    const ImageBuffers& buffers = view.buffers();
    if (frontend != nullptr)
        frontend->viewChanged(view.id(), Rect{0, 0, buffers.width, buffers.height});
}

} // namespace

void applyPaletteToView(FractalView& view, const PaletteList& palettes) {
    const FractalRecord& record = view.record();
    pauseViewsReading(view);
    view.colours = displayForm(palettes.findByName(record.palName), record.palOffset);
}

void installPaletteApplication(ViewHooks& hooks, const PaletteList& palettes) {
    hooks.applyPalette = [&palettes](FractalView& view) { applyPaletteToView(view, palettes); };
}

bool showsIndexImage(const FractalView& view) {
    return view.buffers().bytesPerPixel == 1 && view.record().displayDepth == 8 &&
           view.record().dims == 0;
}

PaletteShown showPalette(FractalView& view, const PaletteList& palettes) {
    const FractalRecord& record = view.record();
    const ColourTable form = displayForm(palettes.findByName(record.palName), record.palOffset);
    if (sameOwnColours(form, view.colours))
        return PaletteShown::Unchanged;
    if (showsIndexImage(view)) {
        // The fixed entries 252..254 keep their colours either way.
        std::copy(form.entries.begin(), form.entries.begin() + kPaletteColours,
                  view.colours.entries.begin());
        std::copy(form.hsv.begin(), form.hsv.begin() + kPaletteColours, view.colours.hsv.begin());
        requestRepaint(view);
        return view.environment().screenDepth <= 8 ? PaletteShown::Animated
                                                   : PaletteShown::Repainted;
    }
    pauseView(view);
    view.colours = form;
    redrawView(view);
    return PaletteShown::Recoloured;
}

} // namespace vortimax
