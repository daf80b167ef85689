#pragma once

// The actions behind the menu and toolbar commands, grouped by what they work on. Only
// the handler table refers to them.

#include "app/command_handlers.h"

namespace vortimax::actions {

// Folders, fractals, palettes and images (file_commands.cpp).
CommandOutcome loadFolder(Application& app, const CommandInvocation& command);
CommandOutcome newProjectFolder(Application& app, const CommandInvocation& command);
CommandOutcome newAnimationFolder(Application& app, const CommandInvocation& command);
CommandOutcome saveFolder(Application& app, const CommandInvocation& command);
CommandOutcome deleteFolder(Application& app, const CommandInvocation& command);
CommandOutcome newFractal(Application& app, const CommandInvocation& command);
CommandOutcome deleteFractal(Application& app, const CommandInvocation& command);
CommandOutcome saveFractal(Application& app, const CommandInvocation& command);
CommandOutcome duplicateFractal(Application& app, const CommandInvocation& command);
CommandOutcome loadPalette(Application& app, const CommandInvocation& command);
CommandOutcome savePalette(Application& app, const CommandInvocation& command);
CommandOutcome saveAllPalettes(Application& app, const CommandInvocation& command);
CommandOutcome deletePalette(Application& app, const CommandInvocation& command);
CommandOutcome duplicatePalette(Application& app, const CommandInvocation& command);
CommandOutcome saveImage(Application& app, const CommandInvocation& command);
CommandOutcome loadImage(Application& app, const CommandInvocation& command);

// The current fractal and its window (view_commands.cpp).
CommandOutcome undo(Application& app, const CommandInvocation& command);
CommandOutcome redo(Application& app, const CommandInvocation& command);
CommandOutcome select(Application& app, const CommandInvocation& command);
CommandOutcome selectAll(Application& app, const CommandInvocation& command);
CommandOutcome deselect(Application& app, const CommandInvocation& command);
CommandOutcome defaultValues(Application& app, const CommandInvocation& command);
CommandOutcome boxZoom(Application& app, const CommandInvocation& command);
CommandOutcome convertType(Application& app, const CommandInvocation& command);
CommandOutcome proportional(Application& app, const CommandInvocation& command);
CommandOutcome imageFilter(Application& app, const CommandInvocation& command);
CommandOutcome disconnectFilteredCopy(Application& app, const CommandInvocation& command);
CommandOutcome paletteMode(Application& app, const CommandInvocation& command);
CommandOutcome toggle3D(Application& app, const CommandInvocation& command);
CommandOutcome toggleScrollbars(Application& app, const CommandInvocation& command);
CommandOutcome toggleNetworkMode(Application& app, const CommandInvocation& command);
CommandOutcome recalculate(Application& app, const CommandInvocation& command);
CommandOutcome redraw(Application& app, const CommandInvocation& command);
CommandOutcome calculate(Application& app, const CommandInvocation& command);
CommandOutcome pause(Application& app, const CommandInvocation& command);
CommandOutcome resume(Application& app, const CommandInvocation& command);
CommandOutcome cloneFractal(Application& app, const CommandInvocation& command);

// Program settings, toolbars and the network (settings_commands.cpp).
CommandOutcome saveConfig(Application& app, const CommandInvocation& command);
CommandOutcome toggleAutoSave(Application& app, const CommandInvocation& command);
CommandOutcome allConfirmations(Application& app, const CommandInvocation& command);
CommandOutcome noConfirmations(Application& app, const CommandInvocation& command);
CommandOutcome toggleConfirmation(Application& app, const CommandInvocation& command);
CommandOutcome toolbarMode(Application& app, const CommandInvocation& command);
CommandOutcome startMaster(Application& app, const CommandInvocation& command);
CommandOutcome stopMaster(Application& app, const CommandInvocation& command);
CommandOutcome disconnectFromMaster(Application& app, const CommandInvocation& command);
CommandOutcome restartNetwork(Application& app, const CommandInvocation& command);

} // namespace vortimax::actions
