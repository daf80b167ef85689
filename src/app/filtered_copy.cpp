#include "app/filtered_copy.h"

#include "app/application.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"
#include "render/filters/image_filter.h"

namespace vortimax {

namespace {

void copySelection(const FractalView& from, FractalView& to) {
    to.selectionLeft = from.selectionLeft;
    to.selectionTop = from.selectionTop;
    to.selectionRight = from.selectionRight;
    to.selectionBottom = from.selectionBottom;
}

// The copy shows the fractal as it is now, without filter or relief.
void takeOver(FractalRecord& copy, const FractalRecord& source) {
    copy.type = source.type;
    copy.subtype = source.subtype;
    copy.palName = source.palName;
    copy.palOffset = source.palOffset;
    copy.paramBlock = source.paramBlock;
    copy.settings3DBlock = source.settings3DBlock;
    copy.imageFilter = kFilterOriginal;
    copy.dims = 0;
}

FractalView* newCopy(Application& app, FractalRecord& source, const HalfSize& size) {
    if (source.folder == nullptr)
        return nullptr;
    std::unique_ptr<FractalRecord> copy = cloneRecord(source, app.creationContext());
    takeOver(*copy, source);
    copy->width = size.width;
    copy->height = size.height;
    copy->displayDepth = 24;
    copy->trueColourOn8Bit = source.trueColourOn8Bit;
    FractalRecord& added = app.workspace().addFractal(*source.folder, std::move(copy), true);
    if (openView(added, true, app.views()) != 0 || added.view == nullptr)
        return nullptr;
    return added.view;
}

bool refreshCopy(Application& app, FractalRecord& source, FractalView& copy, const HalfSize& size) {
    pauseView(copy);
    FractalRecord& record = copy.record();
    record.name = source.name;
    takeOver(record, source);
    if (record.width == size.width && record.height == size.height)
        return true;
    if (resizeView(record, size.width, size.height, true, app.views()) != 0 ||
        record.view == nullptr)
        return false;
    pauseView(*record.view); // its pixels come from the source, not from a calculation
    return true;
}

} // namespace

bool linkAntiAliasedCopy(Application& app, FractalView& view) {
    FractalRecord& source = view.record();
    const HalfSize size = antiAliasSize(source.width, source.height);
    if (size.width <= 0 || size.height <= 0)
        return false;
    FractalView* copy = view.filteredCopy;
    if (copy != nullptr && !refreshCopy(app, source, *copy, size))
        return false;
    if (copy == nullptr && (copy = newCopy(app, source, size)) == nullptr)
        return false;
    applyPaletteToView(*copy, app.palettes());
    copySelection(view, *copy);
    view.filteredCopy = copy;
    copy->filterSource = &view;
    return true;
}

} // namespace vortimax
