#include "ui/main_window.h"

#include "app/command_table.h"
#include "app/generic_load.h"
#include "app/menu_state.h"
#include "app/tool_window_registry.h"
#include "model/fractal_view.h"
#include "model/type_registry.h"
#include "ui/dropped_files.h"
#include "ui/fractal_canvas.h"
#include "ui/fractal_window.h"
#include "ui/gui_font.h"
#include "ui/help_window.h"
#include "ui/print_image.h"
#include "ui/qt_frontend.h"
#include "ui/qt_text.h"
#include "ui/qt_timer_host.h"
#include "ui/toolbar_lists.h"
#include "ui/widget_commands.h"
#include "ui/window_placement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

namespace vortimax::ui {

namespace {

constexpr QSize kRestoredSize(800, 600);
// A tool window never placed yet goes this far right of the main window, each further
// one this much lower.
constexpr int kToolWindowGap = 8;
constexpr int kToolWindowStep = 24;
constexpr int kHelpMainWindow = 100;
constexpr int kHelpMenus = 800;

// The toolbar button that copies the image to the clipboard.
constexpr int kCopyImageButton = 216;

// The top menus in their order; every command's path starts with one of them.
constexpr std::string_view kTopMenus[] = {"File", "Edit", "Fractal", "Windows", "Settings", "Help"};

struct Shortcut {
    int id;
    QKeySequence::StandardKey standard;
    const char* keys;
};

// Keyboard shortcuts of the menu commands.
const Shortcut kShortcuts[] = {
    {29026, QKeySequence::Undo, nullptr},        {29027, QKeySequence::Redo, nullptr},
    {29106, QKeySequence::Save, nullptr},        {29009, QKeySequence::Print, nullptr},
    {29034, QKeySequence::UnknownKey, "Ctrl+E"}, {29041, QKeySequence::SelectAll, nullptr},
    {29036, QKeySequence::ZoomIn, nullptr},      {29037, QKeySequence::ZoomOut, nullptr},
    {29184, QKeySequence::UnknownKey, "F5"},     {29185, QKeySequence::UnknownKey, "F6"},
    {29129, QKeySequence::UnknownKey, "Alt+P"},
};

QStringList splitPath(const std::string& path) {
    return toQString(path).split(QLatin1Char('|'));
}

// Gives the menus of a menu bar or menu access keys: the first letter of each title that
// no earlier menu beside it uses ("&File", "&Edit", "F&ractal").
template <typename MenuHolder> void addMnemonics(MenuHolder& holder) {
    QString used;
    for (QAction* item : holder.actions()) {
        if (item->menu() == nullptr)
            continue;
        QString title = item->text();
        for (qsizetype i = 0; i < title.size(); ++i) {
            const QChar key = title[i].toLower();
            if (key.isLetter() && !used.contains(key)) {
                used += key;
                title.insert(i, QLatin1Char('&'));
                item->setText(title);
                break;
            }
        }
        addMnemonics(*item->menu());
    }
}

// The progress a status bar shows: the current fractal's calculation, or none.
std::optional<int> currentPercent(const Application& app) {
    const FractalRecord* current = app.currentFractal();
    if (current == nullptr || current->view == nullptr)
        return std::nullopt;
    return static_cast<int>(std::clamp(current->view->progress(), 0.0, 1.0) * 100.0);
}

} // namespace

MainWindow::MainWindow(Application& app, QtFrontend& frontend, QtTimerHost& timers)
    : app_(app), frontend_(frontend), timers_(timers), context_{app, *this, frontend},
      mdi_(new QMdiArea(this)) {
    setWindowTitle(toQString(kMainWindowTitle));
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    mdi_->viewport()->setMouseTracking(true);
    mdi_->viewport()->installEventFilter(this);
    frontend_.setParent(this);
    frontend_.setRepaintView([this](int viewId, const Rect& area) { repaintView(viewId, area); });
    timers_.setFire([this](int id) { onTimer(id); });
    app_.setChangeListener([this](ApplicationChange change) { onChange(change); });
    // Message lines may come from any thread; the "Output" window shows them later.
    app_.messages().setListener([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (ToolWindow* output = findToolWindow("Output"))
                    output->refresh();
            },
            Qt::QueuedConnection);
    });
    buildMenus();
    buildToolbars();
    buildStatusBar();
    installViewHooks();
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (auto* fractal = dynamic_cast<FractalWindow*>(window))
            app_.selectFractal(fractal->record());
    });
}

MainWindow::~MainWindow() {
    app_.setChangeListener({});
    app_.messages().setListener({});
    timers_.setFire({});
    frontend_.setRepaintView({});
    app_.views().hooks.viewOpened = nullptr;
    app_.views().hooks.viewClosed = nullptr;
    app_.views().hooks.setTitle = nullptr;
    app_.views().hooks.parametersChanged = nullptr;
}

// --- Building ----------------------------------------------------------------------

void MainWindow::buildMenus() {
    std::map<QString, QMenu*> menus;
    for (std::string_view top : kTopMenus)
        menus[toQString(top) + QLatin1Char('|')] = menuBar()->addMenu(toQString(top));
    auto menuFor = [&](const QStringList& parts) {
        QString path;
        QMenu* menu = nullptr;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            path += parts[i] + QLatin1Char('|');
            QMenu*& entry = menus[path];
            if (entry == nullptr)
                entry = menu != nullptr ? menu->addMenu(parts[i]) : menuBar()->addMenu(parts[i]);
            menu = entry;
        }
        return menu;
    };
    // Submenus in the order they are shown, ahead of the items of their menu.
    for (const char* path : {"File|Folder", "File|Fractal", "File|Palette"}) {
        const QStringList parts = QString::fromLatin1(path).split(QLatin1Char('|'));
        menus[parts[0] + QLatin1Char('|') + parts[1] + QLatin1Char('|')] =
            menus[parts[0] + QLatin1Char('|')]->addMenu(parts[1]);
    }
    QMenu* newDefault = menus[QStringLiteral("Fractal|")]->addMenu(tr("New Defaulttype"));
    std::vector<const CommandRow*> ordered;
    for (const CommandRow& row : commandTable())
        ordered.push_back(&row);
    std::sort(ordered.begin(), ordered.end(),
              [](const CommandRow* a, const CommandRow* b) { return a->order < b->order; });
    for (const CommandRow* entry : ordered) {
        const CommandRow& row = *entry;
        const QStringList parts = splitPath(row.menuPath);
        auto* action = new QAction(parts.back(), this);
        action->setData(row.id);
        action->setStatusTip(toQString(row.help));
        action->setCheckable(hasCheckMark(row.id));
        connect(action, &QAction::triggered, this, [this, id = row.id] { runCommand(id); });
        menuFor(parts)->addAction(action);
        if (row.fractalType)
            newDefault->addAction(action);
        actions_[row.id] = action;
    }
    for (const Shortcut& shortcut : kShortcuts) {
        QAction* target = action(shortcut.id);
        if (target == nullptr)
            continue;
        target->setShortcut(shortcut.keys != nullptr
                                ? QKeySequence(QString::fromLatin1(shortcut.keys))
                                : QKeySequence(shortcut.standard));
    }
    QMenu* file = menus[QStringLiteral("File|")];
    file->addSeparator();
    QMenu* recent = file->addMenu(tr("Recent files"));
    recent->setObjectName(QStringLiteral("recentFiles"));
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentFiles(*recent); });
    file->addSeparator();
    QAction* exit = file->addAction(tr("Exit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    // The toolbar's Copy, also in the Edit menu with its usual key.
    QMenu* edit = menus[QStringLiteral("Edit|")];
    edit->addSeparator();
    QAction* copy = edit->addAction(tr("Copy image"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setObjectName(QStringLiteral("copyImage"));
    connect(copy, &QAction::triggered, this, [this] { runToolbarButton(kCopyImageButton); });
    // The active fractal window shows its whole image scaled down, or at its own size.
    QMenu* windows = menus[QStringLiteral("Windows|")];
    windows->addSeparator();
    QAction* fit = windows->addAction(tr("Fit in window"));
    fit->setObjectName(QStringLiteral("fitInWindow"));
    fit->setCheckable(true);
    connect(fit, &QAction::triggered, this, [this](bool on) {
        if (FractalWindow* window = activeFractalWindow())
            window->setFitInWindow(on);
    });
    connect(windows, &QMenu::aboutToShow, this, [this, fit] {
        FractalWindow* window = activeFractalWindow();
        fit->setEnabled(window != nullptr);
        fit->setChecked(window != nullptr && window->fitsInWindow());
    });
    addMnemonics(*menuBar());
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::refreshMenus);
        menu->installEventFilter(this); // F1 in an open menu
    }
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] { showHelp(activeHelpContext()); });
}

// The parameter files and images loaded last, newest first; choosing one loads it again.
void MainWindow::fillRecentFiles(QMenu& menu) {
    menu.clear();
    const std::vector<std::string>& files = app_.settings().recentFiles;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const QString name = toQString(files[i]);
        QAction* item = menu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        connect(item, &QAction::triggered, this, [this, path = files[i]] {
            loadFiles(app_, {std::filesystem::path(path)});
            refreshAll();
        });
    }
    if (files.empty())
        menu.addAction(tr("(none)"))->setEnabled(false);
}

// F1: the active fractal window's type has its own page; elsewhere the main window's.
int MainWindow::activeHelpContext() const {
    if (FractalWindow* window = activeFractalWindow();
        window != nullptr && window->isActiveWindow())
        if (const FractalTypeInfo* type = fractalType(window->record().type))
            return type->helpContext;
    return kHelpMainWindow;
}

void MainWindow::buildToolbars() {
    for (std::size_t index = 0; index < kToolbarCount; ++index) {
        const QString title = tr("Toolbar %1").arg(index + 1);
        auto* docked = new QToolBar(title, this);
        docked->setObjectName(QStringLiteral("toolbar%1").arg(index + 1));
        docked->setMovable(false);
        addToolBar(Qt::TopToolBarArea, docked);
        auto* floating = new QToolBar(title, this);
        floating->setWindowFlags(Qt::Tool);
        floating->setWindowTitle(title);
        toolbars_.push_back({docked, floating});
    }
    for (const ToolbarButton& button : toolbarLayout()) {
        auto* action =
            new QAction(style()->standardIcon(button.icon), toQString(button.label), this);
        const ToolbarButtonRow* row = findToolbarButton(button.id);
        action->setToolTip(toQString(row != nullptr ? row->help : ""));
        action->setStatusTip(action->toolTip());
        connect(action, &QAction::triggered, this,
                [this, id = button.id] { runToolbarButton(id); });
        toolbarActions_[button.id] = action;
        ToolbarPair& pair = toolbars_.at(button.toolbar);
        if (QWidget* list = createToolbarList(context_, button.id, pair.docked)) {
            pair.docked->addWidget(list);
            pair.floating->addWidget(createToolbarList(context_, button.id, pair.floating));
            continue;
        }
        pair.docked->addAction(action);
        pair.floating->addAction(action);
    }
    applyToolbarModes();
}

void MainWindow::buildStatusBar() {
    statusProgress_ = new QLabel(this);
    statusBar_ = new QProgressBar(this);
    statusBar_->setObjectName(QStringLiteral("calculationProgress"));
    statusBar_->setRange(0, 100);
    statusBar_->setTextVisible(false);
    statusBar_->setMaximumWidth(120);
    statusElapsed_ = new QLabel(this);
    statusZoom_ = new QLabel(this);
    statusSize_ = new QLabel(this);
    statusText_ = new QLabel(this);
    statusBar()->addPermanentWidget(statusBar_);
    for (QLabel* label : {statusProgress_, statusElapsed_, statusZoom_, statusSize_})
        statusBar()->addPermanentWidget(label);
    statusBar()->addWidget(statusText_, 1);
}

// The application creates and ends views; their windows follow.
void MainWindow::installViewHooks() {
    ViewHooks& hooks = app_.views().hooks;
    hooks.viewOpened = [this](FractalView& view) {
        auto* window = new FractalWindow(view, app_);
        fractalWindows_[view.id()] = window;
        mdi_->addSubWindow(window);
        window->show();
        window->fitToImage();
        mdi_->setActiveSubWindow(window);
    };
    hooks.viewClosed = [this](FractalView& view) {
        auto it = fractalWindows_.find(view.id());
        if (it == fractalWindows_.end())
            return;
        FractalWindow* window = it->second;
        fractalWindows_.erase(it);
        window->closeForGood();
        mdi_->removeSubWindow(window);
        window->deleteLater();
    };
    hooks.setTitle = [this](FractalView& view, const std::string& title) {
        if (auto it = fractalWindows_.find(view.id()); it != fractalWindows_.end())
            it->second->setWindowTitle(toQString(title));
    };
    hooks.parametersChanged = [this](FractalRecord&) { refreshToolWindows(); };
}

// --- Starting and ending ---------------------------------------------------------------

void MainWindow::showStarted(const StartupResult& started) {
    // A font the person chose applies; the built-in default (a Windows face at 8 points)
    // leaves the desktop's own font, which suits this screen better.
    const FontSetting& font = app_.settings().guiFont;
    const FontSetting builtIn = Settings{}.guiFont;
    if (font.face != builtIn.face || font.size != builtIn.size)
        applyGuiFont(font);
    const auto& placement = app_.settings().mainWindow;
    if (placement && placement->width > 0 && placement->height > 0)
        setGeometry(placeWindow(availableArea(), QRect(placement->x, placement->y, placement->width,
                                                       placement->height)));
    else
        resize(kRestoredSize.boundedTo(availableArea().size()));
    const int state = placement ? placement->showState : 1;
    if (state == MainWindowPlacement::kMaximised) {
        resize(kRestoredSize);
        showMaximized();
    } else if (state == MainWindowPlacement::kMinimised) {
        showMinimized();
    } else {
        show();
    }
    for (std::size_t row : started.toolWindowsToOpen)
        openToolWindow(row);
    statusBar()->clearMessage();
    refreshAll();
}

void MainWindow::openFiles(const std::vector<std::filesystem::path>& files) {
    openDesktopFiles(app_, files);
    refreshAll();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() != nullptr && !droppedFiles(*event->mimeData()).empty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (event->mimeData() == nullptr)
        return;
    const std::vector<std::filesystem::path> files = droppedFiles(*event->mimeData());
    if (files.empty())
        return;
    event->acceptProposedAction();
    openFiles(files);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closing_ || !app_.confirmQuit()) {
        event->ignore();
        return;
    }
    closing_ = true;
    rememberPlacement();
    for (auto& [row, window] : toolWindows_)
        if (window)
            window->close();
    app_.shutdown();
    event->accept();
}

void MainWindow::rememberPlacement() {
    MainWindowPlacement placement;
    const QRect normal = normalGeometry();
    placement.x = normal.x();
    placement.y = normal.y();
    placement.width = normal.width();
    placement.height = normal.height();
    placement.showState = isMaximized()   ? MainWindowPlacement::kMaximised
                          : isMinimized() ? MainWindowPlacement::kMinimised
                                          : 1;
    app_.settings().mainWindow = placement;
}

// --- Commands --------------------------------------------------------------------------

QAction* MainWindow::action(int id) const {
    auto it = actions_.find(id);
    return it != actions_.end() ? it->second : nullptr;
}

void MainWindow::runCommand(int id) {
    CommandModifiers modifiers;
    modifiers.control = QApplication::keyboardModifiers().testFlag(Qt::ControlModifier);
    if (app_.executeCommand(id, modifiers) == CommandOutcome::ForFrontend)
        runWidgetCommand(id);
    refreshAll();
}

void MainWindow::runToolbarButton(int id) {
    if (app_.executeToolbarButton(id) == CommandOutcome::ForFrontend)
        runWidgetToolbarButton(id);
    refreshAll();
}

void MainWindow::runWidgetCommand(int id) {
    if (ToolWindowRegistry::findByMenuCommand(id)) {
        openToolWindowForCommand(id);
        return;
    }
    if (const WidgetCommand* command = findWidgetCommand(id))
        command->run(*this);
}

void MainWindow::runWidgetToolbarButton(int id) {
    if (const WidgetCommand* command = findWidgetToolbarButton(id))
        command->run(*this);
}

// --- Tool windows ----------------------------------------------------------------------

ToolWindow* MainWindow::openToolWindow(std::size_t registryRow) {
    const ToolWindowRow& row = ToolWindowRegistry::row(registryRow);
    const std::size_t top = row.parent.value_or(registryRow);
    if (auto it = toolWindows_.find(top); it != toolWindows_.end() && it->second) {
        it->second->show();
        it->second->raise();
        it->second->refresh();
        return it->second;
    }
    for (const ToolWindowKind& kind : toolWindowKinds()) {
        if (kind.keyword != row.keyword)
            continue;
        ToolWindow* window = kind.create(context_, this);
        placeToolWindow(*window, toolWindowState(app_.settings(), top));
        toolWindows_[top] = window;
        window->refresh();
        window->show();
        app_.toolWindowOpened(ToolWindowRegistry::row(top).windowId);
        return window;
    }
    return nullptr;
}

// A window is put where it was last, or, never placed yet, beside the main window; either
// way inside the screen, its frame included (taken to be as wide as the main window's).
// A window shown for the first time keeps clear of the fractal being worked on.
void MainWindow::placeToolWindow(ToolWindow& window, const ToolWindowState& state) {
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QSize size = window.size().expandedTo(window.minimumSizeHint()).grownBy(frame);
    const bool stored = state.x != 0 || state.y != 0;
    const QPoint wanted =
        stored
            ? QPoint(state.x, state.y)
            : outer.topRight() + QPoint(kToolWindowGap, kToolWindowStep * int(toolWindows_.size()));
    const QRect placed =
        placeWindow(availableArea(), QRect(wanted, size), stored ? QRect() : activeFractalArea());
    window.resize(placed.size().shrunkBy(frame));
    window.move(placed.topLeft());
}

QRect MainWindow::availableArea() const {
    const QScreen* shown = screen();
    return shown != nullptr ? shown->availableGeometry() : QRect();
}

QRect MainWindow::activeFractalArea() const {
    const FractalWindow* window = activeFractalWindow();
    if (window == nullptr || !window->isVisible())
        return {};
    return QRect(window->mapToGlobal(QPoint(0, 0)), window->size());
}

ToolWindow* MainWindow::openToolWindowForCommand(int menuCommand) {
    auto row = ToolWindowRegistry::findByMenuCommand(menuCommand);
    return row ? openToolWindow(*row) : nullptr;
}

ToolWindow* MainWindow::findToolWindow(std::string_view keyword) const {
    for (const auto& [row, window] : toolWindows_)
        if (window && ToolWindowRegistry::row(row).keyword == keyword)
            return window;
    return nullptr;
}

// --- Fractal windows -------------------------------------------------------------------

FractalWindow* MainWindow::fractalWindow(const FractalRecord& record) const {
    if (record.view == nullptr)
        return nullptr;
    auto it = fractalWindows_.find(record.view->id());
    return it != fractalWindows_.end() ? it->second : nullptr;
}

FractalWindow* MainWindow::activeFractalWindow() const {
    return dynamic_cast<FractalWindow*>(mdi_->activeSubWindow());
}

void MainWindow::repaintView(int viewId, const Rect& area) {
    if (auto it = fractalWindows_.find(viewId); it != fractalWindows_.end())
        it->second->repaintArea(area.x, area.y, area.width, area.height);
}

void MainWindow::fitFractalWindows() {
    for (auto& [id, window] : fractalWindows_) {
        if (window->needsFit())
            window->fitToImage();
        window->canvas().update();
    }
}

// Tile and Cascade arrange the windows, then every image not in scroll-bar mode takes the
// size of its window.
void MainWindow::arrange(bool tile) {
    if (tile)
        mdi_->tileSubWindows();
    else
        mdi_->cascadeSubWindows();
    for (auto& [id, window] : fractalWindows_)
        window->imageFollowsWindow();
}

// --- Changes ---------------------------------------------------------------------------

void MainWindow::onChange(ApplicationChange change) {
    switch (change) {
    case ApplicationChange::Menus:
        refreshMenus();
        refreshToolWindows();
        break;
    case ApplicationChange::Toolbars:
        applyToolbarModes();
        break;
    case ApplicationChange::FractalWindow:
        fitFractalWindows();
        break;
    case ApplicationChange::Status:
        refreshStatusBar();
        break;
    }
}

void MainWindow::onTimer(int id) {
    if (id == kMainTimer)
        app_.setMouseButtonDown(QApplication::mouseButtons().testFlag(Qt::LeftButton));
    app_.onTimer(id);
    // The editor's curves and the offset slider follow the cycling palette.
    if (id == ColourCycling::kTimerId && app_.colourCycling().settings.on)
        for (std::string_view keyword : {"PALEDIT", "Colorcycle"})
            if (ToolWindow* window = findToolWindow(keyword))
                window->refresh();
    if (id == kMainTimer) {
        refreshStatusBar();
        fitFractalWindows();
    }
}

void MainWindow::refreshAll() {
    refreshMenus();
    refreshStatusBar();
    refreshToolWindows();
    for (QToolBar* bar : findChildren<QToolBar*>())
        refreshToolbarLists(*bar);
}

void MainWindow::refreshMenus() {
    for (auto& [id, action] : actions_) {
        const MenuItemState state = menuItemState(app_, id);
        bool enabled = state.enabled;
        if (auto row = ToolWindowRegistry::findByMenuCommand(id)) {
            const std::string_view keyword = ToolWindowRegistry::row(*row).keyword;
            enabled = enabled && std::any_of(toolWindowKinds().begin(), toolWindowKinds().end(),
                                             [&](const ToolWindowKind& kind) {
                                                 return kind.keyword == keyword;
                                             });
        }
        action->setEnabled(enabled);
        if (action->isCheckable())
            action->setChecked(state.checked);
        if (!state.text.empty())
            action->setText(toQString(state.text));
    }
    for (auto& [id, action] : toolbarActions_)
        action->setEnabled(toolbarButtonEnabled(app_, id));
}

void MainWindow::refreshStatusBar() {
    statusText_->setText(toQString(app_.status().text()));
    const StatusFields& fields = app_.statusFields();
    statusProgress_->setText(toQString(fields.progress));
    const std::optional<int> percent = currentPercent(app_);
    statusBar_->setVisible(percent.has_value());
    statusBar_->setValue(percent.value_or(0));
    statusElapsed_->setText(percent ? toQString(fields.elapsed) : QString());
    statusZoom_->setText(toQString(fields.zoom));
    statusSize_->setText(toQString(fields.size));
}

void MainWindow::refreshToolWindows() {
    for (auto& [row, window] : toolWindows_)
        if (window)
            window->refresh();
    for (QToolBar* bar : findChildren<QToolBar*>())
        refreshToolbarLists(*bar);
}

void MainWindow::applyToolbarModes() {
    for (std::size_t index = 0; index < toolbars_.size(); ++index) {
        const ToolbarMode mode = app_.toolbar(index);
        toolbars_[index].docked->setVisible(mode == ToolbarMode::Docked);
        toolbars_[index].floating->setVisible(mode == ToolbarMode::Window);
    }
}

// Moving the mouse over the main window takes the timed status text away.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QMenu*>(watched) != nullptr &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        showHelp(kHelpMenus);
        return true;
    }
    if (event->type() == QEvent::MouseMove && !app_.status().text().empty()) {
        app_.clearStatus();
        refreshStatusBar();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showHelp(int context) {
    HelpWindow::show(this, context);
}

} // namespace vortimax::ui
