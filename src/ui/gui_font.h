#pragma once

#include "app/settings.h"

#include <QFont>

namespace vortimax::ui {

// The interface font of the configuration as a Qt font, and back (the style value is
// the program's own and stays as it was).
QFont qtFontOf(const FontSetting& setting);
FontSetting fontSettingOf(const QFont& font, int style);

// Every window of the program, menus, status bar and tool windows included, shows its
// texts in the interface font from now on.
void applyGuiFont(const FontSetting& setting);

} // namespace vortimax::ui
