#include "ui/gui_font.h"

#include "ui/qt_text.h"

#include <QApplication>
#include <QWidget>

namespace vortimax::ui {

QFont qtFontOf(const FontSetting& setting) {
    QFont font(toQString(setting.face));
    if (setting.size > 0)
        font.setPointSize(setting.size);
    return font;
}

FontSetting fontSettingOf(const QFont& font, int style) {
    return {toStdString(font.family()), font.pointSize(), style};
}

// Setting the application font also drops the fonts the desktop's theme gave single
// classes (menus, the status bar). Before the event loop runs Qt tells no widget of the
// change, so the widgets made so far are told here.
void applyGuiFont(const FontSetting& setting) {
    QApplication::setFont(qtFontOf(setting));
    for (QWidget* widget : QApplication::allWidgets()) {
        QEvent changed(QEvent::ApplicationFontChange);
        QApplication::sendEvent(widget, &changed);
    }
}

} // namespace vortimax::ui
