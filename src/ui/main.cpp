// The desktop program: the application core under a Qt main window.

#include "app/application.h"
#include "ui/main_window.h"
#include "ui/qt_frontend.h"
#include "ui/qt_text.h"
#include "ui/qt_timer_host.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <clocale>

int main(int argc, char* argv[]) {
    using namespace vortimax;
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortimax"));
    // Numbers in files are written and read the same way whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Vortimax fractal generator"));
    options.addHelpOption();
    QCommandLineOption dirOption(QStringLiteral("dir"),
                                 QStringLiteral("Program directory (configuration, libraries)."),
                                 QStringLiteral("directory"));
    options.addOption(dirOption);
    options.process(qt);

    std::optional<std::filesystem::path> dir;
    if (options.isSet(dirOption))
        dir = ui::toPath(options.value(dirOption));

    ui::QtFrontend frontend;
    ui::QtTimerHost timers;
    Application app(frontend, &timers);
    ui::MainWindow window(app, frontend, timers);

    StartupOptions startup;
    startup.directory = processProgramDirectoryInputs(dir, std::filesystem::path(argv[0]));
    const QScreen* screen = QApplication::primaryScreen();
    if (screen != nullptr) {
        startup.screen.bitsPerPixel = screen->depth();
        startup.screen.width = screen->size().width();
        startup.screen.height = screen->size().height();
    }
    const StartupResult started = app.start(startup);
    if (!started.ok)
        return 1;
    window.showStarted(started);
    return QApplication::exec();
}
