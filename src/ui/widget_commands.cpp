#include "ui/widget_commands.h"

#include "app/generic_load.h"
#include "app/tool_window_registry.h"
#include "model/fractal_view.h"
#include "palette/palette_commands.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/gui_font.h"
#include "ui/main_window.h"
#include "ui/print_image.h"
#include "ui/qt_frontend.h"
#include "ui/qt_text.h"
#include "ui/status_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMdiArea>
#include <QMessageBox>
#include <algorithm>
#include <iterator>

namespace vortimax::ui {

namespace {

constexpr int kHelpContents = 100;
constexpr int kMaxNameLength = 63;
constexpr std::string_view kFractalSelectionKeyword = "FractSel";
constexpr std::string_view kSizeWindowKeyword = "Sizewindow";
constexpr std::string_view kAboutText =
    "Vortimax\n\nA fractal generator for the Linux desktop.\n"
    "Every fractal is calculated in its own window, in the background,\n"
    "while you zoom, move and edit it.";

// The three rename dialogs: "Change name of ..." / "Please change the name of the" /
// "... below:".
std::optional<std::string> askName(MainWindow& main, std::string_view what,
                                   const std::string& current) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        &main, toQString("Change name of " + std::string(what)),
        toQString("Please change the name of the\n" + std::string(what) + " below:"),
        QLineEdit::Normal, toQString(current), &ok);
    if (!ok)
        return std::nullopt;
    return toStdString(text.left(kMaxNameLength));
}

void renameFolder(MainWindow& main) {
    Workspace& workspace = main.app().workspace();
    if (Folder* folder = workspace.currentFolder())
        if (auto name = askName(main, "folder", folder->name()))
            workspace.renameFolder(*folder, *name);
}

void renameFractal(MainWindow& main) {
    FractalRecord* record = main.app().currentFractal();
    if (record == nullptr)
        return;
    if (auto name = askName(main, "fractal", record->name))
        main.app().workspace().renameFractal(*record, *name);
}

void renamePalette(MainWindow& main) {
    Application& app = main.app();
    FractalRecord* record = app.currentFractal();
    Palette& palette = record != nullptr ? app.palettes().findByName(record->palName)
                       : app.palettes().current() != nullptr ? *app.palettes().current()
                                                             : app.palettes().defaultPalette();
    if (app.palettes().isDefault(palette))
        return;
    if (auto name = askName(main, "palette", palette.name()))
        vortimax::renamePalette(app.palettes(), palette, *name, app.workspace().folders(), nullptr);
}

void about(MainWindow& main) {
    QMessageBox::about(&main, QObject::tr("About Vortimax"), toQString(kAboutText));
}

// The chosen font applies at once; open parameter windows are built anew in it.
void chooseFont(MainWindow& main) {
    Settings& settings = main.app().settings();
    const std::optional<QFont> chosen =
        main.context().frontend.requestFont(qtFontOf(settings.guiFont));
    if (!chosen)
        return;
    settings.guiFont = fontSettingOf(*chosen, settings.guiFont.style);
    applyGuiFont(settings.guiFont);
    for (std::string_view keyword : {"PARM1", "PARM2"})
        if (ToolWindow* window = main.findToolWindow(keyword)) {
            window->close();
            if (auto row = ToolWindowRegistry::findByKeyword(keyword))
                main.openToolWindow(*row);
        }
}

void connectToMaster(MainWindow& main) {
    NetworkControl* network = main.app().network();
    if (network == nullptr || !network->readyToConnect())
        return;
    bool ok = false;
    const QString address =
        QInputDialog::getText(&main, QObject::tr("Connecting to master"),
                              QObject::tr("Please specify the IP address\nof the master Vortimax"),
                              QLineEdit::Normal, QStringLiteral("0.0.0.0"), &ok);
    if (ok)
        network->connectToMaster(toStdString(address));
}

void openByKeyword(MainWindow& main, std::string_view keyword) {
    if (auto row = ToolWindowRegistry::findByKeyword(keyword))
        main.openToolWindow(*row);
}

// The generic Load: several files may be chosen; the first one's extension decides.
void loadAny(MainWindow& main) {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        &main, QObject::tr("Loading..."), fromPath(main.app().settings().paths.projectSaveDir),
        QStringLiteral("*.par *.zar *.map *.png *.frm *.ifs *.l;;*"));
    std::vector<std::filesystem::path> files;
    for (const QString& file : chosen)
        files.push_back(toPath(file));
    loadFiles(main.app(), files);
}

void copyImage(MainWindow& main) {
    if (FractalWindow* window = main.activeFractalWindow())
        QApplication::clipboard()->setImage(window->canvas().currentImage());
}

constexpr WidgetCommand kMenuCommands[] = {
    {29009, [](MainWindow& main) { printCurrentFractal(main); }},
    {29010, [](MainWindow& main) { pageSetup(main); }},
    {29011, about},
    {29089, [](MainWindow& main) { main.showHelp(kHelpContents); }},
    {29090, [](MainWindow& main) { main.showHelp(kHelpContents); }},
    {29123, [](MainWindow& main) { main.arrange(true); }},
    {29126, [](MainWindow& main) { main.arrange(false); }},
    {29131, renameFolder},
    {29133, renameFractal},
    {29136, renamePalette},
    {29146, connectToMaster},
    {29179, chooseFont},
    {29186, [](MainWindow& main) { StatusDialog::show(main); }},
};

constexpr WidgetCommand kToolbarCommands[] = {
    {212, [](MainWindow& main) { openByKeyword(main, kFractalSelectionKeyword); }},
    {213, loadAny},
    {215, [](MainWindow& main) { printCurrentFractal(main); }},
    {216, copyImage},
    {219, [](MainWindow& main) { openByKeyword(main, kSizeWindowKeyword); }},
};

template <std::size_t N> const WidgetCommand* findIn(const WidgetCommand (&table)[N], int id) {
    auto it = std::find_if(std::begin(table), std::end(table),
                           [id](const WidgetCommand& command) { return command.id == id; });
    return it != std::end(table) ? it : nullptr;
}

} // namespace

const WidgetCommand* findWidgetCommand(int id) {
    return findIn(kMenuCommands, id);
}

const WidgetCommand* findWidgetToolbarButton(int id) {
    return findIn(kToolbarCommands, id);
}

} // namespace vortimax::ui
