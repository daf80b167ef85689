#pragma once

#include "ui/tool_window.h"

namespace vortimax::ui {

// The tool windows built from the descriptor tables.
ToolWindow* createParameterWindow1(UiContext& context, QWidget* parent);    // "PARM1"
ToolWindow* createParameterWindow2(UiContext& context, QWidget* parent);    // "PARM2"
ToolWindow* create3DParameterWindow(UiContext& context, QWidget* parent);   // "DIMS1"
ToolWindow* createAreaWindow(UiContext& context, QWidget* parent);          // "AREA"
ToolWindow* createColourMappingWindow(UiContext& context, QWidget* parent); // "Colormapping"

} // namespace vortimax::ui
