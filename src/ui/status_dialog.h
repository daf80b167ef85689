#pragma once

class QWidget;

namespace vortimax::ui {

class MainWindow;

// "Info...": a small window with the time the current fractal's calculation has taken and
// how much of it is done, kept up to date by the progress timer.
class StatusDialog {
public:
    static void show(MainWindow& main);
};

} // namespace vortimax::ui
