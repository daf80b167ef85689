// The desktop program: the application core under a Qt main window.

#include "animation/running_animation.h"
#include "animation/video_frame_sink.h"
#include "app/application.h"
#include "app/network_subsystem.h"
#include "app/program_options.h"
#include "app/version.h"
#include "ui/main_window.h"
#include "ui/qt_frontend.h"
#include "ui/qt_text.h"
#include "ui/qt_timer_host.h"
#include "ui/tool_windows/animation_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QScreen>
#include <clocale>

namespace {

QString fromView(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

void describeProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("Vortimax"));
    QCoreApplication::setApplicationVersion(fromView(vortimax::kProgramVersion));
}

void addProgramOptions(QCommandLineParser& options) {
    using namespace vortimax;
    options.setApplicationDescription(QStringLiteral("Vortimax fractal generator"));
    options.addHelpOption();
    options.addVersionOption();
    for (const ProgramOption& option : kProgramOptions)
        options.addOption(QCommandLineOption(fromView(option.name), fromView(option.description),
                                             fromView(option.valueName)));
    options.addPositionalArgument(fromView(kFilesArgument.name),
                                  fromView(kFilesArgument.description),
                                  fromView(kFilesArgument.valueName));
}

bool asksForHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h" || arg == "--help-all" || arg == "--version" ||
            arg == "-v")
            return true;
    }
    return false;
}

// --help and --version are answered without opening a display, so they work over ssh, in
// scripts and on machines without a desktop. The parser prints the text and ends the program.
void answerHelpOrVersion(int argc, char* argv[]) {
    QCoreApplication core(argc, argv);
    describeProgram();
    QCommandLineParser options;
    addProgramOptions(options);
    options.process(core);
}

} // namespace

int main(int argc, char* argv[]) {
    using namespace vortimax;
    if (asksForHelpOrVersion(argc, argv))
        answerHelpOrVersion(argc, argv);
    QApplication qt(argc, argv);
    describeProgram();
    // Numbers in files are written and read the same way whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");

    QCommandLineParser options;
    addProgramOptions(options);
    const QString dirOption = fromView(kDirOption.name);
    options.process(qt);

    std::optional<std::filesystem::path> dir;
    if (options.isSet(dirOption))
        dir = ui::toPath(options.value(dirOption));

    ui::QtFrontend frontend;
    ui::QtTimerHost timers;
    // The running animation outlives the application, whose shutdown aborts it.
    std::unique_ptr<RunningAnimation> animation;
    Application app(frontend, &timers);
    animation = std::make_unique<RunningAnimation>(app.workspace(), app.palettes(), app.views(),
                                                   app.frontend());
    // Videos are written as the compression dialog last chose in this session.
    animation->setVideoSinkFactory(
        videoSinkFactory([] { return ui::sessionVideoSettings(); }, app.frontend()));
    app.setAnimationControl(animation.get());
    NetworkSubsystem network(app);
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
