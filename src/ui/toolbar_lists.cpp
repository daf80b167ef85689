#include "ui/toolbar_lists.h"

#include "app/application.h"
#include "app/command_handlers.h"
#include "app/command_table.h"
#include "model/fractal_view.h"
#include "palette/palette_application.h"
#include "ui/qt_text.h"
#include "ui/tool_window.h"

#include <QComboBox>
#include <QToolBar>

namespace vortimax::ui {

namespace {

constexpr int kFolderList = 205;
constexpr int kFractalList = 204;
constexpr int kPaletteList = 217;

constexpr ToolbarButton kLayout[] = {
    {212, 0, "New", QStyle::SP_FileIcon},
    {213, 0, "Load", QStyle::SP_DialogOpenButton},
    {214, 0, "Save", QStyle::SP_DialogSaveButton},
    {218, 0, "Save all", QStyle::SP_DriveFDIcon},
    {215, 0, "Print", QStyle::SP_ComputerIcon},
    {216, 0, "Copy", QStyle::SP_FileLinkIcon},
    {205, 1, "Folders", QStyle::SP_DirIcon},
    {204, 1, "Fractals", QStyle::SP_FileDialogListView},
    {206, 1, "Calculate", QStyle::SP_MediaPlay},
    {207, 1, "Delete", QStyle::SP_TrashIcon},
    {219, 2, "Size", QStyle::SP_TitleBarMaxButton},
    {210, 2, "Undo", QStyle::SP_ArrowBack},
    {211, 2, "Redo", QStyle::SP_ArrowForward},
    {217, 2, "Palettes", QStyle::SP_DesktopIcon},
    {741, 3, "Pause", QStyle::SP_MediaPause},
    {742, 3, "Resume", QStyle::SP_MediaSeekForward},
    {740, 3, "Clone", QStyle::SP_FileDialogNewFolder},
    {743, 3, "Defaults", QStyle::SP_BrowserReload},
};

// A drop-down list on a toolbar.
class ToolbarList final : public QComboBox {
public:
    ToolbarList(UiContext& context, int kind, QWidget* parent)
        : QComboBox(parent), context_(context), kind_(kind) {
        setSizeAdjustPolicy(QComboBox::AdjustToContents);
        setMinimumContentsLength(12);
        connect(this, &QComboBox::activated, this, [this](int index) { choose(index); });
    }

    void refresh() {
        const QSignalBlocker blocker(this);
        clear();
        int current = -1;
        Application& app = context_.app;
        if (kind_ == kFolderList) {
            for (const Folder& folder : app.workspace().folders().all()) {
                if (&folder == app.workspace().currentFolder())
                    current = count();
                addItem(toQString(folder.name()));
            }
        } else if (kind_ == kFractalList) {
            if (const Folder* folder = app.workspace().currentFolder())
                for (const FractalRecord& record : folder->fractals().all()) {
                    if (&record == folder->currentFractal())
                        current = count();
                    addItem(toQString(record.name));
                }
        } else {
            const Palette* shown = shownPalette();
            for (const Palette& palette : app.palettes().palettes().all()) {
                if (&palette == shown)
                    current = count();
                addItem(toQString(palette.name()));
            }
        }
        setCurrentIndex(current);
        setToolTip(toolTipText());
    }

private:
    const Palette* shownPalette() const {
        const Application& app = context_.app;
        if (const FractalRecord* record = app.currentFractal())
            return &app.palettes().findByName(record->palName);
        return app.palettes().current();
    }

    QString toolTipText() const {
        const ToolbarButtonRow* row = findToolbarButton(kind_);
        return row != nullptr ? toQString(row->help) : QString();
    }

    void choose(int index) {
        Application& app = context_.app;
        Workspace& workspace = app.workspace();
        if (index < 0)
            return;
        if (kind_ == kFolderList) {
            workspace.selectFolder(workspace.folders()[static_cast<std::size_t>(index)]);
        } else if (kind_ == kFractalList) {
            if (Folder* folder = workspace.currentFolder())
                workspace.selectFractal(folder->fractals()[static_cast<std::size_t>(index)]);
        } else {
            applyPalette(app.palettes().palettes()[static_cast<std::size_t>(index)]);
        }
        app.notify(ApplicationChange::Menus);
    }

    // The chosen palette colours the current fractal from now on.
    void applyPalette(Palette& palette) {
        Application& app = context_.app;
        app.palettes().setCurrent(&palette);
        FractalRecord* record = app.currentFractal();
        if (record == nullptr)
            return;
        record->palName = palette.name();
        if (FractalView* view = record->view) {
            pauseView(*view);
            applyPaletteToView(*view, app.palettes());
            redrawView(*view);
        }
    }

    UiContext& context_;
    int kind_;
};

} // namespace

std::span<const ToolbarButton> toolbarLayout() {
    return kLayout;
}

QWidget* createToolbarList(UiContext& context, int buttonId, QWidget* parent) {
    if (buttonId != kFolderList && buttonId != kFractalList && buttonId != kPaletteList)
        return nullptr;
    auto* list = new ToolbarList(context, buttonId, parent);
    list->refresh();
    return list;
}

void refreshToolbarLists(QToolBar& toolbar) {
    for (QComboBox* box : toolbar.findChildren<QComboBox*>())
        if (auto* list = dynamic_cast<ToolbarList*>(box))
            list->refresh();
}

bool toolbarButtonEnabled(const Application& app, int buttonId) {
    if (const CommandHandlerRow* handler = findToolbarHandler(buttonId))
        return needsMet(app, handler->needs);
    constexpr int kPrint = 215;
    constexpr int kCopy = 216;
    if (buttonId == kPrint || buttonId == kCopy)
        return needsMet(app, CommandNeeds::OpenView);
    return true;
}

} // namespace vortimax::ui
