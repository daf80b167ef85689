#include "ui/tool_window.h"
#include "ui/tool_windows/animation_window.h"
#include "ui/tool_windows/colour_cycling_window.h"
#include "ui/tool_windows/comment_window.h"
#include "ui/tool_windows/formula_editor_window.h"
#include "ui/tool_windows/fractal_tree_view.h"
#include "ui/tool_windows/fractal_type_list_view.h"
#include "ui/tool_windows/ifs_editor_window.h"
#include "ui/tool_windows/lsystem_editor_window.h"
#include "ui/tool_windows/message_window_view.h"
#include "ui/tool_windows/network_window.h"
#include "ui/tool_windows/palette_editor_window.h"
#include "ui/tool_windows/palette_generator_window.h"
#include "ui/tool_windows/parameter_windows.h"
#include "ui/tool_windows/size_window.h"

namespace vortimax::ui {

namespace {

template <typename Window> ToolWindow* make(UiContext& context, QWidget* parent) {
    return new Window(context, parent);
}

const ToolWindowKind kKinds[] = {
    {"Output", make<MessageWindowView>},
    {"PARM1", createParameterWindow1},
    {"PARM2", createParameterWindow2},
    {"DIMS1", create3DParameterWindow},
    {"AREA", createAreaWindow},
    {"Colormapping", createColourMappingWindow},
    {"Sizewindow", make<SizeWindow>},
    {"Network", make<NetworkWindow>},
    {"Comment", make<CommentWindow>},
    {"FRACTALTREE", make<FractalTreeView>},
    {"FractSel", make<FractalTypeListView>},
    {"FormulaJM", make<FormulaEditorWindow>},
    {"FormulaIFS", make<IfsEditorWindow>},
    {"FormulaLSyst", make<LSystemEditorWindow>},
    {"PALEDIT", make<PaletteEditorWindow>},
    {"MakeMap", make<PaletteGeneratorWindow>},
    {"Colorcycle", make<ColourCyclingWindow>},
    {"Anim1", make<AnimationWindow>},
};

} // namespace

std::span<const ToolWindowKind> toolWindowKinds() {
    return kKinds;
}

} // namespace vortimax::ui
