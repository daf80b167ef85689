#include "ui/tool_windows/parameter_windows.h"

#include "model/fractal_record.h"
#include "model/type_registry.h"
#include "render/area/area.h"
#include "ui/tool_windows/form_window.h"

namespace vortimax::ui {

namespace {

// Window ids of the registry's top rows.
constexpr int kParameterWindow1Id = 280;
constexpr int kParameterWindow2Id = 321;
constexpr int k3DWindowId = 400;
constexpr int kAreaWindowId = 221;
constexpr int kColourMappingWindowId = 470;

const FractalTypeInfo* typeOf(const FractalRecord& record) {
    return fractalType(record.type);
}

bool hasSecondWindow(const FractalRecord& record) {
    const FractalTypeInfo* info = typeOf(record);
    return info != nullptr && info->hasParamWindow2;
}

bool has3D(const FractalRecord& record) {
    const FractalTypeInfo* info = typeOf(record);
    return info != nullptr && info->has3D;
}

// The subtype is no row of the table; the window names it.
std::string subtypeNote(const FractalRecord& record) {
    const auto names = subtypeNames(record.type);
    if (record.type == kTypeDynamicSystem && record.subtype < names.size())
        return "System: " + std::string(names[record.subtype]);
    if (record.subtype >= names.size())
        return {};
    const bool map = record.type == kTypeBifurcation || record.type == kTypeLyapunov;
    return std::string(map ? "Map: " : "Formula: ") + std::string(names[record.subtype]);
}

std::string areaNote(const FractalRecord& record) {
    const BigPoint centre = rotationCentre(record, storedCorners(record));
    return "Rotation centre: " + centre.re.toText() + ", " + centre.im.toText();
}

RowFilter firstWindowRows() {
    return [](std::uint32_t type, std::size_t, const ParamDescriptor& row) {
        return isFirstWindowRow(type, row.key);
    };
}

RowFilter secondWindowRows() {
    return [](std::uint32_t type, std::size_t, const ParamDescriptor& row) {
        return isSecondWindowRow(type, row.key);
    };
}

RowFilter areaRows() {
    return
        [](std::uint32_t, std::size_t, const ParamDescriptor& row) { return isAreaRow(row.key); };
}

RowFilter colourMappingRows() {
    return [](std::uint32_t, std::size_t, const ParamDescriptor& row) {
        return isColourMappingRow(row.key);
    };
}

ToolWindow* create(UiContext& context, QWidget* parent, FormWindowDesign design) {
    return new FormWindow(context, std::move(design), parent);
}

} // namespace

ToolWindow* createParameterWindow1(UiContext& context, QWidget* parent) {
    return create(context, parent,
                  {kParameterWindow1Id,
                   "Parameters",
                   ParameterBlock::Parameters,
                   {{"", firstWindowRows()}},
                   nullptr,
                   "This fractal has no parameters.",
                   subtypeNote});
}

ToolWindow* createParameterWindow2(UiContext& context, QWidget* parent) {
    return create(context, parent,
                  {kParameterWindow2Id,
                   "Parameters 2",
                   ParameterBlock::Parameters,
                   {{"", secondWindowRows()}},
                   hasSecondWindow,
                   "This fractal type has no second parameter window.",
                   nullptr});
}

ToolWindow* create3DParameterWindow(UiContext& context, QWidget* parent) {
    std::vector<FormWindowDesign::Page> pages;
    for (std::size_t page = 0; page < pages3D().size(); ++page)
        pages.push_back({pages3D()[page].title, page3DFilter(page)});
    return create(context, parent,
                  {k3DWindowId, "3D Parameter", ParameterBlock::Settings3D, std::move(pages), has3D,
                   "This fractal type has no 3D transformation.", nullptr});
}

ToolWindow* createAreaWindow(UiContext& context, QWidget* parent) {
    return create(context, parent,
                  {kAreaWindowId,
                   "Area",
                   ParameterBlock::Parameters,
                   {{"", areaRows()}},
                   hasComplexArea,
                   "This fractal type has no complex-plane area.",
                   areaNote});
}

ToolWindow* createColourMappingWindow(UiContext& context, QWidget* parent) {
    return create(context, parent,
                  {kColourMappingWindowId,
                   "Colour mapping",
                   ParameterBlock::Parameters,
                   {{"", colourMappingRows()}},
                   nullptr,
                   "This fractal has no parameters.",
                   nullptr});
}

} // namespace vortimax::ui
