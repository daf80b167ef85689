// The desktop program: the application core under a Qt main window.

#include "app/application.h"
#include "app/program_options.h"
#include "app/version.h"
#include "ui/main_window.h"
#include "ui/qt_frontend.h"
#include "ui/qt_text.h"
#include "ui/qt_timer_host.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QScreen>
#include <clocale>

int main(int argc, char* argv[]) {
    using namespace vortimax;
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vortimax"));
    QApplication::setApplicationVersion(
        QString::fromUtf8(kProgramVersion.data(), qsizetype(kProgramVersion.size())));
    // Numbers in files are written and read the same way whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Vortimax fractal generator"));
    options.addHelpOption();
    options.addVersionOption();
    const auto text = [](std::string_view s) {
        return QString::fromUtf8(s.data(), qsizetype(s.size()));
    };
    for (const ProgramOption& option : kProgramOptions)
        options.addOption(QCommandLineOption(text(option.name), text(option.description),
                                             text(option.valueName)));
    const QString dirOption = text(kDirOption.name);
    options.addPositionalArgument(text(kFilesArgument.name), text(kFilesArgument.description),
                                  text(kFilesArgument.valueName));
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
        return kProgramExitStartFailed;
    window.showStarted(started);
    // Absolute names, so that the recent files list names them wherever it is used later.
    std::vector<std::filesystem::path> files;
    for (const QString& file : options.positionalArguments())
        files.push_back(ui::toPath(QFileInfo(file).absoluteFilePath()));
    window.openFiles(files);
    return QApplication::exec();
}
